#pragma once
// What the column set-up dialog ImpCOV does, without a display: which invoice item groups feed
// each of the twenty takings columns of the summary (1 to 10 on the U line, 11 to 20 the same
// columns on the NU line) and what heading each column carries. One ColonneOV row per assigned
// group, the column's heading stored again in each row.
//
// The window reads its controls into this object, calls the handler and shows the lines; texts
// are code page 1252. Messages go to the host; database errors are thrown as ov::Error.
#include <string>
#include <vector>

#include "state/program_state.h"
#include "columns/list_filler.h"
#include "core/number_format.h"
#include "core/workspace.h"
#include "data/column_store.h"
#include "platform/host.h"

namespace ov {

class ColumnSetup {
public:
    static constexpr int kColumns = 20;
    static constexpr int kMostLines = 9999;

    ColumnSetup(const Workspace& ws, ProgramState& state, const NumberFormat& numbers, Host& host,
                ColumnStoreOptions storeOptions = {});

    // Opening: the groups that can be assigned, then column 1 as if it had been chosen.
    void load();
    // Column chosen: its heading (that of its first row, empty without rows) and its groups.
    void showColumn(int column);
    // Enter in the heading field: cleans the heading (upper case, apostrophe replaced, empty
    // becomes one blank); true when the focus moves on to the groups.
    bool confirmHeading();
    // A group line clicked: assigns the group to the selected column, unless the column has no
    // heading or the group already feeds a column. On a Jet store the change first asks whether
    // to convert it (ConversionQuestion); No leaves store and lists as they were.
    void assignGroup(const std::string& groupLine);
    // A line of the column's groups clicked: the group is removed from the column.
    void removeGroup(const std::string& columnLine);

    int column() const { return column_; }
    // The heading field, as typed.
    std::string heading;

    const std::vector<std::string>& columnLines() const { return columnLines_; }  // List1(0)
    const std::string& columnLabel() const { return columnLabel_; }               // Label1(2)
    const std::vector<std::string>& groupLines() const { return groupLines_; }    // List1(1)
    const std::string& groupLabel() const { return groupLabel_; }                 // Label1(3)

private:
    void refillColumnLines();
    std::string columnCriteria() const;

    const Workspace& ws_;
    ProgramState& state_;
    NumberFormat numbers_;
    Host& host_;
    ColumnStoreOptions storeOptions_;
    int column_ = 1;
    ListColumns columnListLayout_{};
    ListColumns groupListLayout_{};
    std::vector<std::string> columnLines_, groupLines_;
    std::string columnLabel_, groupLabel_;
};

// What the user is asked (UTF-8) before the first change converts a Jet ColonneOV.mdb: the
// backup named, and what other programs lose. Yes converts; No makes no change.
std::string ConversionQuestion(const std::string& backupName);

// The item code of a list line: the number in its first six characters.
int64_t CodeOfListLine(const std::string& line);

}  // namespace ov
