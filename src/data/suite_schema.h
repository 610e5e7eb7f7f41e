#pragma once
// The suite's databases: which file holds which tables, with their fields in order and the
// engine's type names of the embedded format (SHORT, LONG, CURRENCY, TEXT(n), ...).
#include <string>
#include <utility>
#include <vector>

namespace ov::schema {

struct TableSchema {
    std::string file;
    std::string table;
    std::vector<std::pair<std::string, std::string>> columns;  // name, engine type name
};

// Every table of every suite database (history copies included) and the program's ColonneOV.
const std::vector<TableSchema>& suiteTables();
// The tables of one file, in order; empty when the file is not one of the suite's.
std::vector<const TableSchema*> tablesOfFile(const std::string& file);

}  // namespace ov::schema
