#pragma once
// The saved filter file of a printed table ("<table>.fil"): the compression choice, the order
// field and the criteria rows that have a value, one per line:
//   Compresso = S
//   In Ordine di NumeroColonna
//   Intestazione = FATTURE
//   DataEmissione In 1206
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/workspace.h"
#include "tableform/form_criteria.h"

namespace ov {

struct SavedCriterion {
    std::string field;
    std::string labelWord;  // "uguale a", "fino a", ...; an unknown symbol as it was written
    std::string value;      // "ParamK" already replaced by the K-th filter parameter
};

struct SavedFilter {
    // Nothing when the file is too short to hold the line (the form then keeps its choice).
    std::optional<bool> compressed;
    std::optional<std::string> orderField;
    std::vector<SavedCriterion> criteria;  // at most eight, in file order (row 0 first)
};

// "<table>.fil" for the table name; the layout file name without ".stp" followed by ".fil".
std::string savedFilterNameForTable(const std::string& table);
std::string savedFilterNameForLayout(const std::string& layoutFile);

// The lines of a saved filter file. Lines after the eighth criterion are ignored; a criteria
// line with fewer than two blanks leaves the missing parts empty.
SavedFilter ParseSavedFilter(const std::vector<std::string>& lines, const std::array<std::string, 8>& filterParams);
// The saved filter of the working folder; nothing when the file does not exist.
std::optional<SavedFilter> ReadSavedFilter(const Workspace& ws, const std::string& file,
                                           const std::array<std::string, 8>& filterParams);

// Writes the file, replacing any earlier one: the rows whose value, trimmed, is not empty, each
// as field, blank, symbol and blank (nothing for an operator outside the labels), value untrimmed.
void WriteSavedFilter(const Workspace& ws, const std::string& file, bool compressed, const std::string& orderField,
                      const CriteriaRows& rows);

}  // namespace ov
