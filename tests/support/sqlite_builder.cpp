#include "support/sqlite_builder.h"

#include <memory>

#include "core/cp1252.h"
#include "core/error.h"
#include "data/sqlite_store.h"

namespace ovtest {

// Writes go straight to the file (each row its own small transaction, without waiting for the
// disk), so a file is complete and readable as soon as a call returns, even while the builder lives.
struct SqliteBuilder::Impl {
    std::unique_ptr<ov::SqliteStore> store;
    std::string table;
    std::vector<ov::Field> fields;
};

SqliteBuilder::SqliteBuilder(std::filesystem::path file) : impl_(new Impl) {
    try {
        impl_->store = std::make_unique<ov::SqliteStore>(file, file.filename().string(),
                                                         ov::SqliteStore::Open::CreateOrExtend,
                                                         ov::SqliteStore::Durability::Fast);
    } catch (...) {
        delete impl_;
        throw;
    }
}

SqliteBuilder::~SqliteBuilder() { delete impl_; }

SqliteBuilder& SqliteBuilder::table(const std::string& name,
                                    const std::vector<std::pair<std::string, std::string>>& columns) {
    ov::TableDefinition def;
    def.name = ov::cp1252::fromUtf8(name);
    for (const auto& [field, type] : columns) def.fields.push_back(ov::makeField(ov::cp1252::fromUtf8(field), type));
    impl_->store->createTable(def);
    impl_->table = def.name;
    impl_->fields = def.fields;
    return *this;
}

namespace {

ov::Value toValue(const Cell& cell) {
    if (std::holds_alternative<std::nullptr_t>(cell)) return ov::Value::null();
    if (auto* i = std::get_if<long long>(&cell)) return ov::Value::integer(*i);
    if (auto* d = std::get_if<double>(&cell)) return ov::Value::real(*d);
    if (auto* m = std::get_if<ov::Money>(&cell)) return ov::Value::currency(*m);
    return ov::Value::text(ov::cp1252::fromUtf8(std::get<std::string>(cell)));
}

}  // namespace

SqliteBuilder& SqliteBuilder::row(const std::vector<CellValue>& cells) {
    if (impl_->table.empty()) throw ov::Error(ov::err::Usage, "SqliteBuilder: row() before table()");
    ov::Row row;
    row.reserve(cells.size());
    for (const auto& c : cells) row.push_back(toValue(c.cell));
    impl_->store->insertRow(impl_->table, row);
    return *this;
}

SqliteBuilder& SqliteBuilder::query(const std::string& name, const std::string& sql) {
    impl_->store->saveQuery(ov::StoredQuery{ov::cp1252::fromUtf8(name), ov::QueryKind::Select, ov::cp1252::fromUtf8(sql)});
    return *this;
}

ov::Money money(const char* text) {
    auto m = ov::Money::parse(text);
    if (!m) throw ov::Error(ov::err::Usage, std::string("money(): not an amount: ") + text);
    return *m;
}

}  // namespace ovtest
