#pragma once
// A hand-built working folder of the suite in the embedded format: every database of the suite
// with its tables (empty unless rows are added), written by build().
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/workspace.h"
#include "support/sqlite_builder.h"
#include "support/temp_folder.h"

namespace ovtest {

class SuiteFolder {
public:
    SuiteFolder();

    // A row of a table; `file` tells history copies apart ("SchedaStoricoClienti.mdb").
    SuiteFolder& add(const std::string& file, const std::string& table, std::vector<CellValue> row);
    // Writes every database; files named in `skip` are left out (to test a missing file).
    void build(const std::vector<std::string>& skip = {});

    void writeText(const std::string& name, const std::string& bytes) { folder_.write(name, bytes); }
    std::string read(const std::string& name) const { return folder_.read(name); }
    const std::filesystem::path& path() const { return folder_.path(); }

    // A workspace on the folder with a fixed environment and clock.
    ov::Workspace workspace(std::map<std::string, std::string> env = {{"PCLocal", "1"}},
                            ov::Date today = ov::Date{2024, 1, 31}) const;

private:
    TempFolder folder_;
    std::map<std::pair<std::string, std::string>, std::vector<std::vector<CellValue>>> rows_;
};

}  // namespace ovtest
