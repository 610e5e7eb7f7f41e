#pragma once
// The pictures' working folders are filled with small embedded-format tables written here.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "data/sqlite_store.h"

// A table of the given fields (name, type such as "SHORT" or "TEXT(30)") and rows, added to the file.
inline void writeShotTable(const std::filesystem::path& file, const std::string& name,
                           const std::vector<std::pair<std::string, std::string>>& fields,
                           const std::vector<ov::Row>& rows) {
    ov::SqliteStore store(file, file.filename().string(), ov::SqliteStore::Open::CreateOrExtend,
                          ov::SqliteStore::Durability::Fast);
    ov::TableDefinition def{name, {}};
    for (const auto& [field, type] : fields) def.fields.push_back(ov::makeField(field, type));
    store.createTable(def);
    for (const auto& r : rows) store.insertRow(name, r);
    store.close();
}
