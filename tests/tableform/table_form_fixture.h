#pragma once
// A working folder for the filtered print form: the printer tables of the print tests, the column
// table with its layout "ColonneOV.stp", and invoices with their layout "DatiFattura.stp" (a date
// field "DataEmissione" stored as YYYYMMDD text).
#include <string>

#include "print/print_fixture.h"
#include "support/suite_folder.h"

namespace ovtest {

inline const char* const kColumnLayout =
    "1,Colonne configurate,ColonneOV.mdb,ColonneOV,,,,,,\r\n"
    "2,Col.,,,NumeroColonna,4,N,N,,\r\n"
    "3,Intestazione,,,Intestazione,12,N,S,,\r\n"
    "4,Codice,,,CodiceVoce,6,N,S,,\r\n";

inline const char* const kInvoiceLayout =
    "1,Documenti,Fatture.mdb,DatiFattura,,,,,,\r\n"
    "2,Data,,,DataEmissione,10,N,S,,\r\n"
    "3,Tipo,,,TipoDocumento,4,N,S,,\r\n"
    "4,Num.,,,NDocumento,6,N,S,,\r\n";

inline void addColumnRows(SuiteFolder& f) {
    const char* table = "ColonneOV";
    f.add("ColonneOV.mdb", table, {1, 3, "RISTORANTE", 15, "Ristorante"});
    f.add("ColonneOV.mdb", table, {1, 1, "BAR", 12, "Bar"});
    f.add("ColonneOV.mdb", table, {1, 2, "MINIBAR", 7, "Minibar"});
    f.add("ColonneOV.mdb", table, {2, 5, "GARAGE", 25, "Garage"});
    f.add("ColonneOV.mdb", table, {1, 4, "L\u00B4ANGOLO", 30, "Angolo"});
}

inline void addInvoiceRows(SuiteFolder& f) {
    auto invoice = [&f](const char* date, const char* type, int number) {
        f.add("Fatture.mdb", "DatiFattura", {1, date, type, number, 1, "101", 0, nullptr, 0.0, 0.0, "N", "N"});
    };
    invoice("20241206", "R", 1);
    invoice("20241231", "F", 2);
    invoice("20250101", "R", 3);
    invoice("20240612", "C", 4);
}

// Printer tables, both tables and both layouts; the folder is built.
inline void buildTableFormFolder(SuiteFolder& f, const PrintTables& tables = {}) {
    addPrintTables(f, tables);
    addColumnRows(f);
    addInvoiceRows(f);
    f.build();
    f.writeText("ColonneOV.stp", kColumnLayout);
    f.writeText("DatiFattura.stp", kInvoiceLayout);
}

}  // namespace ovtest
