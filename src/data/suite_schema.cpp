#include "data/suite_schema.h"

#include "core/cp1252.h"

namespace ov::schema {
namespace {

using Cols = std::vector<std::pair<std::string, std::string>>;

const Cols kScheda = {{"NumeroHotel", "SHORT"},       {"NumeroProgressivo", "LONG"},  {"NumeroCamera", "TEXT(6)"},
                      {"Cognome", "TEXT(40)"},        {"Nome", "TEXT(40)"},           {"DataArrivo", "TEXT(8)"},
                      {"DataPartenza", "TEXT(8)"},    {"DataPartenzaReale", "TEXT(8)"}, {"CodiceCapoFamiglia", "LONG"},
                      {"CodiceCapoGruppo", "LONG"},   {"CodiceCapoCamera", "LONG"},   {"Lingua", "TEXT(10)"}};
const Cols kArrangiamento = {{"NumeroHotel", "SHORT"}, {"CodiceCliente", "LONG"}, {"DataInizio", "TEXT(8)"},
                             {"DataFine", "TEXT(8)"},  {"Arrangiamento", "TEXT(6)"}};
const Cols kDitta = {{"NumeroHotel", "SHORT"}, {"CodiceCliente", "LONG"}, {"RagioneSociale", "TEXT(60)"}};

}  // namespace

const std::vector<TableSchema>& suiteTables() {
    static const std::vector<TableSchema> tables = {
        {"AnagraficaHotels.mdb", "AnagraficaHotels",
         {{"NumeroHotel", "SHORT"}, {"Numero", "SHORT"}, {"RagioneSociale", "TEXT(60)"}, {"CodiceAssistenza", "TEXT(20)"},
          {"Indirizzo", "TEXT(60)"}, {"Citta", "TEXT(40)"}}},
        {"CodiciVari.mdb", "CodiciVari",
         {{"NumeroHotel", "SHORT"}, {"Tipo", "SHORT"}, {"Sigla", "TEXT(10)"}, {"Descrizione", "TEXT(40)"},
          {"Nazione", "TEXT(20)"}}},
        {"Fatture.mdb", "DatiFattura",
         {{"NumeroHotel", "SHORT"}, {"DataEmissione", "TEXT(8)"}, {"TipoDocumento", "TEXT(10)"}, {"NDocumento", "LONG"},
          {"Contatore", "SHORT"}, {"NCamera", "TEXT(6)"}, {"CodiceCliente", "LONG"}, {"NomeDitta", "TEXT(60)"},
          {"Totale", "CURRENCY"}, {"CorrPagato", "CURRENCY"}, {"RiepAcc", "TEXT(1)"}, {"Annullato", "TEXT(1)"}}},
        {"Fatture.mdb", "Incassi",
         {{"NumeroHotel", "SHORT"}, {"DataEmissione", "TEXT(8)"}, {"TipoDocumento", "TEXT(10)"}, {"NDocumento", "LONG"},
          {"Contatore", "SHORT"}, {"Sigla", "TEXT(10)"}, {"Importo", "CURRENCY"}, {"Nota", "TEXT(50)"}}},
        {"Registro_Acconti.mdb", "Registro_Acconti",
         {{"NumeroHotel", "SHORT"}, {"DataEmissione", "TEXT(8)"}, {"TipoDocumento", "TEXT(10)"}, {"NDocumento", "LONG"},
          {"Contatore", "SHORT"}, {"NCamera", "TEXT(6)"}, {"Totale", "CURRENCY"}}},
        {"Scheda_Cliente.mdb", "Scheda_Cliente", kScheda},
        {"SchedaStoricoClienti.mdb", "Scheda_Cliente", kScheda},
        {"Arrangiamento.mdb", "Arrangiamento", kArrangiamento},
        {"ArrangiamentoStoricoClienti.mdb", "Arrangiamento", kArrangiamento},
        {"Arrangiamenti.mdb", "NomiArrangiamenti",
         {{"NumeroHotel", "SHORT"}, {"Sigla", "TEXT(6)"}, {"Descrizione", "TEXT(40)"}, {"Tipo", "TEXT(1)"}}},
        {"Ditta_Intestataria.mdb", "Ditta_Intestataria", kDitta},
        {"DittaStoricoClienti.mdb", "Ditta_Intestataria", kDitta},
        {"Dettaglio.mdb", "Dettaglio",
         {{"NumeroHotel", "SHORT"}, {"Tipo", "TEXT(20)"}, {"DataInserimento", "TEXT(8)"}, {"Dettaglio", "TEXT(20)"},
          {"Valore", "LONG"}}},
        {"Stampanti.mdb", "Stampanti",
         {{"NumeroHotel", "SHORT"}, {"Numero", "SHORT"}, {"Destinazione", "TEXT(30)"}, {"TipoStampa", "SHORT"},
          {"Linea", "TEXT(100)"}}},
        {"Stampanti.mdb", "SetStampa",
         {{"TipoStampa", "SHORT"}, {"Descrizione", "TEXT(40)"}, {"Compresso", "TEXT(36)"}, {"Grassetto", "TEXT(36)"}}},
        {"Contatori.mdb", "Contatori", {{"NumeroHotel", "SHORT"}, {"LungPagComp", "SHORT"}, {"LungPagNoComp", "SHORT"}}},
        {"VociFattura.mdb", "VociFattura",
         {{"NumeroHotel", "SHORT"}, {"Codice", "SHORT"}, {"GruppoFatturazione", "SHORT"}, {"Descrizione", "TEXT(40)"}}},
        {"ColonneOV.mdb", "ColonneOV",
         {{"NumeroHotel", "SHORT"}, {"NumeroColonna", "SHORT"}, {"Intestazione", "TEXT(10)"}, {"CodiceVoce", "SHORT"},
          {"Descrizione", "TEXT(40)"}}},
    };
    return tables;
}

std::vector<const TableSchema*> tablesOfFile(const std::string& file) {
    std::vector<const TableSchema*> out;
    for (const auto& t : suiteTables())
        if (cp1252::equalNoCase(t.file, file)) out.push_back(&t);
    return out;
}

}  // namespace ov::schema
