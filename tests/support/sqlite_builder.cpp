// Placeholder until the SQLite back end lands.
#include "support/sqlite_builder.h"
namespace ovtest {
struct SqliteBuilder::Impl {};
SqliteBuilder::SqliteBuilder(std::filesystem::path) : impl_(new Impl) {}
SqliteBuilder::~SqliteBuilder() { delete impl_; }
SqliteBuilder& SqliteBuilder::table(const std::string&, const std::vector<std::pair<std::string, std::string>>&) { return *this; }
SqliteBuilder& SqliteBuilder::row(const std::vector<CellValue>&) { return *this; }
ov::Money money(const char* text) { return *ov::Money::parse(text); }
}  // namespace ovtest
