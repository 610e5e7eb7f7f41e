#pragma once
// Writes embedded-format (SQLite) database files from a few lines of C++, for hand-built working
// folders in tests:
//   SqliteBuilder(dir / "Fatture.mdb")
//       .table("DatiFattura", {{"NumeroHotel", "SHORT"}, {"DataEmissione", "TEXT(8)"}, ...})
//       .row({1, "20240108", ...});
// Values: nullptr (null), integers, doubles, texts (UTF-8 in the source), Money.
// The file is created when missing (a second builder on the same file adds tables to it); every
// call writes through at once, so the file can be read while the builder still lives. Errors
// (unknown type name, a text longer than its field, a value of the wrong kind) throw ov::Error.
#include <filesystem>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "core/money.h"

namespace ovtest {

using Cell = std::variant<std::nullptr_t, long long, double, std::string, ov::Money>;

struct CellValue {
    Cell cell;
    CellValue(std::nullptr_t) : cell(nullptr) {}
    CellValue(int v) : cell(static_cast<long long>(v)) {}
    CellValue(long v) : cell(static_cast<long long>(v)) {}
    CellValue(long long v) : cell(v) {}
    CellValue(double v) : cell(v) {}
    CellValue(const char* v) : cell(std::string(v)) {}
    CellValue(std::string v) : cell(std::move(v)) {}
    CellValue(ov::Money v) : cell(v) {}
};

class SqliteBuilder {
public:
    explicit SqliteBuilder(std::filesystem::path file);
    ~SqliteBuilder();
    SqliteBuilder(const SqliteBuilder&) = delete;
    SqliteBuilder& operator=(const SqliteBuilder&) = delete;

    // Columns as (name, engine type name): SHORT, LONG, CURRENCY, DOUBLE, TEXT(n), MEMO, DATETIME, BIT.
    SqliteBuilder& table(const std::string& name, const std::vector<std::pair<std::string, std::string>>& columns);
    // A row of the table last declared; CURRENCY cells given as double or Money are stored exactly.
    SqliteBuilder& row(const std::vector<CellValue>& cells);
    // A saved select query (UTF-8 SQL text), as the suite's files keep queries beside their tables.
    SqliteBuilder& query(const std::string& name, const std::string& sql);

private:
    struct Impl;
    Impl* impl_;
};

// Money from a literal amount: money("12.50").
ov::Money money(const char* text);

}  // namespace ovtest
