#include "support/suite_folder.h"

#include <set>

#include "data/suite_schema.h"

namespace ovtest {

SuiteFolder::SuiteFolder() = default;

SuiteFolder& SuiteFolder::add(const std::string& file, const std::string& table, std::vector<CellValue> row) {
    rows_[{file, table}].push_back(std::move(row));
    return *this;
}

void SuiteFolder::build(const std::vector<std::string>& skip) {
    std::set<std::string> skipped(skip.begin(), skip.end());
    std::map<std::string, std::unique_ptr<SqliteBuilder>> builders;
    for (const auto& t : ov::schema::suiteTables()) {
        if (skipped.count(t.file)) continue;
        auto& b = builders[t.file];
        if (!b) b = std::make_unique<SqliteBuilder>(folder_.path() / t.file);
        b->table(t.table, t.columns);
        for (const auto& r : rows_[{t.file, t.table}]) b->row(r);
    }
}

ov::Workspace SuiteFolder::workspace(std::map<std::string, std::string> env, ov::Date today) const {
    return ov::Workspace(folder_.path(), std::make_shared<ov::MapEnvironment>(std::move(env)),
                         [today] { return ov::DateTime{today, 10, 15, 0}; });
}

}  // namespace ovtest
