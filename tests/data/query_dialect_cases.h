#pragma once
// One small table and the criteria cases of the query dialect over it, shared by the tests that
// run them on an in-memory table and on a database file. Texts are UTF-8 here; the runners turn
// them into code page 1252 as the program holds them.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/cp1252.h"
#include "core/money.h"
#include "data/table.h"

namespace ovtest::dialect {

struct FixtureRow {
    int id;
    const char* nome;
    const char* nota;
    const char* importo;  // currency as plain decimal
    std::optional<double> num;
    std::optional<int> codice;
    std::optional<int> gruppo;
    const char* data;
    const char* stanza;
};

// Field names and engine types, in order.
inline const std::vector<std::pair<std::string, std::string>>& columns() {
    static const std::vector<std::pair<std::string, std::string>> c = {
        {"Id", "LONG"},        {"Nome", "TEXT(20)"},   {"Nota", "TEXT(50)"},
        {"Importo", "CURRENCY"}, {"Num", "DOUBLE"},    {"Codice", "LONG"},
        {"Gruppo", "LONG"},    {"Data", "TEXT(8)"},    {"Stanza", "TEXT(6)"}};
    return c;
}

inline const std::vector<FixtureRow>& rows() {
    static const std::vector<FixtureRow> r = {
        {1, "Rossi", "0012 Bar", "10.00", 1.5, 1, 1, "20240101", "101"},
        {2, "rossi", "12ab", "7.50", std::nullopt, 2, 1, "20240102", "a3"},
        {3, "Bianchi", "", "-4.80", 3.0, 3, 3, "20240103", "9"},
        {4, nullptr, nullptr, nullptr, 0.0, 4, std::nullopt, nullptr, nullptr},
        {5, "Verdi", "OSPITI ", "0.10", 2.25, 5, 5, "20240229", "201"},
        {6, "O'Brien", "Manutenzione caldaia € 45", "0.20", 2.5, 6, 7, "20241231", "A5"},
        {7, "Niccolò", "Caffè", "1234.5678", -1.0, 7, 7, "20240315", "110"},
    };
    return r;
}

inline std::shared_ptr<ov::Table> inMemoryTable() {
    auto t = std::make_shared<ov::Table>();
    t->name = "T";
    t->fields = {{"Id", ov::FieldType::Long, 4},      {"Nome", ov::FieldType::Text, 20},
                 {"Nota", ov::FieldType::Text, 50},   {"Importo", ov::FieldType::Currency, 8},
                 {"Num", ov::FieldType::Double, 8},   {"Codice", ov::FieldType::Long, 4},
                 {"Gruppo", ov::FieldType::Long, 4},  {"Data", ov::FieldType::Text, 8},
                 {"Stanza", ov::FieldType::Text, 6}};
    auto text = [](const char* s) { return s ? ov::Value::text(ov::cp1252::fromUtf8(s)) : ov::Value::null(); };
    for (const FixtureRow& f : rows()) {
        t->rows.push_back({ov::Value::integer(f.id), text(f.nome), text(f.nota),
                           f.importo ? ov::Value::currency(*ov::Money::parse(f.importo)) : ov::Value::null(),
                           f.num ? ov::Value::real(*f.num) : ov::Value::null(),
                           f.codice ? ov::Value::integer(*f.codice) : ov::Value::null(),
                           f.gruppo ? ov::Value::integer(*f.gruppo) : ov::Value::null(), text(f.data),
                           text(f.stanza)});
    }
    return t;
}

struct Case {
    const char* criteria;
    std::vector<int> ids;  // the matching rows' Id, in table order
};

// Every case holds on the fixture whatever runs it.
inline const std::vector<Case>& matchingCases() {
    static const std::vector<Case> c = {
        // comparisons, text without regard to case, quotes
        {"Codice = 3", {3}},
        {"Codice <> 3", {1, 2, 4, 5, 6, 7}},
        {"Codice < 3", {1, 2}},
        {"Codice > 5", {6, 7}},
        {"Codice <= 2", {1, 2}},
        {"Codice >= 6", {6, 7}},
        {"3 = Codice", {3}},
        {"6 <= Codice", {6, 7}},
        {"Nome = 'ROSSI'", {1, 2}},
        {"Nome = \"rossi\"", {1, 2}},
        {"[Nome] = 'O''Brien'", {6}},
        {"T.Nome = \"O'Brien\"", {6}},
        {"Nome < 'c'", {3}},
        {"Nome = 'NICCOLÒ'", {7}},
        {"Nota = 'OSPITI'", {}},
        {"Nota = 'OSPITI '", {5}},
        {"Importo = 0.1", {5}},
        {"Importo > 1000", {7}},
        {"Importo < 0", {3}},
        {"Num = 1.5", {1}},
        {"Num = 0", {4}},
        {"Data = 20240101", {1}},
        {"Codice = '3'", {3}},
        {"Codice = Gruppo", {1, 3, 5, 7}},
        {"Codice <> Gruppo", {2, 6}},
        {"codice = 3 AND nome = 'bianchi' and DATA = '20240103'", {3}},
        // null in every position
        {"Gruppo = Null", {}},
        {"Gruppo <> Null", {}},
        {"Gruppo Is Null", {4}},
        {"Gruppo Is Not Null", {1, 2, 3, 5, 6, 7}},
        {"Not Gruppo = 1", {3, 5, 6, 7}},
        {"Gruppo = 1 Or Codice = 4", {1, 2, 4}},
        {"Not (Gruppo = 9 And Codice = 9)", {1, 2, 3, 4, 5, 6, 7}},
        {"Not (Gruppo = 9 Or Codice = 4)", {1, 2, 3, 5, 6, 7}},
        {"Gruppo In (1, Null)", {1, 2}},
        {"Gruppo Not In (1, Null)", {}},
        {"Gruppo Not In (1)", {3, 5, 6, 7}},
        {"Gruppo Between Null And 5", {}},
        {"Gruppo + 1 Is Null", {4}},
        {"Nome & Nota Is Null", {4}},
        {"Nome & Gruppo = 'Rossi1'", {1, 2}},
        {"Left(Nome, 1) Is Null", {4}},
        {"Nz(Gruppo, 0) = 0", {4}},
        {"Nz(Nome) = ''", {4}},
        // arithmetic and concatenation
        {"Codice + 1 = 4", {3}},
        {"Codice * 2 - 1 = 5", {3}},
        {"Codice / 2 = 1.5", {3}},
        {"-Codice = -3", {3}},
        {"Codice - -1 = 4", {3}},
        {"Importo * 3 = 0.3", {5}},
        {"Importo + 0.2 = 0.3", {5}},
        {"Importo + Importo = 2469.1356", {7}},
        {"Num * 2 = 5", {6}},
        {"Nome + 'x' = 'ROSSIX'", {1, 2}},
        {"Nome & '-' & Codice = 'Verdi-5'", {5}},
        {"1 + 2 * 3 = 7", {1, 2, 3, 4, 5, 6, 7}},
        {"(1 + 2) * 3 = 9", {1, 2, 3, 4, 5, 6, 7}},
        // Like
        {"Nome Like 'r*'", {1, 2}},
        {"Nome Like '?OSSI'", {1, 2}},
        {"Stanza Like '#'", {3}},
        {"Stanza Like '###'", {1, 5, 7}},
        {"Stanza Like '[a-b]#'", {2, 6}},
        {"Stanza Like '[!0-9]*'", {2, 6}},
        {"Nota Like '*bar'", {1}},
        {"Nota Like '*'", {1, 2, 3, 5, 6, 7}},
        {"Nota Like '*€*'", {6}},
        {"Nome Not Like '*i'", {6, 7}},
        {"Codice Like '1'", {1}},
        // In, Between
        {"Codice In (1, 3, 9)", {1, 3}},
        {"Nome In ('VERDI', 'bianchi')", {3, 5}},
        {"Codice Not In (1, 2, 3)", {4, 5, 6, 7}},
        {"Codice In ('3')", {3}},
        {"Codice Between 2 And 4", {2, 3, 4}},
        {"Codice Not Between 2 And 4", {1, 5, 6, 7}},
        {"Data Between '20240102' And '20240229'", {2, 3, 5}},
        // functions, any case
        {"Val(Left(Nota,4)) = 12", {1, 2}},
        {"val(left(Nota,4)) = 12", {1, 2}},
        {"Val(Nota) = 0", {3, 5, 6, 7}},
        {"Left(Nome, 2) = 'RO'", {1, 2}},
        {"Right(Data, 4) = '0229'", {5}},
        {"Mid(Data, 5, 2) = '01'", {1, 2, 3}},
        {"Mid(Nome, 2) = 'OSSI'", {1, 2}},
        {"InStr(Nome, 'OSS') > 0", {1, 2}},
        {"Instr(Nome,'OSS') = 0", {3, 5, 6, 7}},
        {"InStr(3, Nome, 's') = 3", {1, 2}},
        {"InStr(1, Nome, 'rossi', 0) = 1", {2}},
        {"Len(Nota) = 0", {3}},
        {"Len(Nome) = 5", {1, 2, 5}},
        {"Len(Codice) = 1", {1, 2, 3, 4, 5, 6, 7}},
        {"Trim(Nota) = 'OSPITI'", {5}},
        {"RTrim(Nota) = 'OSPITI'", {5}},
        {"LTrim(' ' & Nome) = 'Verdi'", {5}},
        {"InStr(1, UCase(Nome), 'ROSSI', 0) = 1", {1, 2}},
        {"InStr(1, LCase(Nome), 'niccolò', 0) = 1", {7}},
        {"CStr(Codice) = '3'", {3}},
        {"CLng(Num) = 2", {1, 5, 6}},
        {"CDbl('1.5') = Num", {1}},
    };
    return c;
}

struct ErrorCase {
    const char* criteria;
    int number;
};

inline const std::vector<ErrorCase>& errorCases() {
    static const std::vector<ErrorCase> c = {
        {"Stanza = 9", 3464},        // "a3" is no number
        {"Codice = 'abc'", 3464},    // found before any row is read
        {"Codice = ''", 3464},
        {"Pippo = 1", 3265},
        {"X.Codice = 1", 3265},
        {"Codice = = 1", 3075},
        {"Codice =", 3075},
        {"(Codice = 1", 3075},
        {"Nome = 'abc", 3075},
        {"Codice 1", 3075},
        {"And", 3075},
        {"Codice = 1 Order", 3075},
        {"Nome @ 1", 3075},
        {"Left(Nome) = 'a'", 3075},
        {"Nome Like '[a'", 3075},
        {"Pippo(1) = 1", 3085},
        {"Codice / 0 = 1", 11},
        {"Left(Nome, -1) = 'a'", 5},
        {"Importo + 922337203685477 > 1", 6},  // past the currency range: never a wrapped value
        {"Importo * 922337203685477 > 1", 6},
        {"Importo - 922337203685477 < -922337203685477", 6},
    };
    return c;
}

inline std::string cp(const char* utf8) { return ov::cp1252::fromUtf8(utf8); }

}  // namespace ovtest::dialect
