#include "tableform/saved_filter.h"

#include "core/cp1252.h"
#include "core/file_access.h"
#include "core/text_file.h"

namespace ov {
namespace {

constexpr size_t kPrefixLength = 13;  // "Compresso = " + the letter; "In Ordine di "

// Field, symbol and value of a criteria line: before the first blank, up to the next blank, the rest.
SavedCriterion splitCriterion(const std::string& line, const std::array<std::string, 8>& filterParams) {
    std::string_view rest = line;
    auto cut = [&rest]() {
        size_t blank = rest.find(' ');
        std::string_view part = rest.substr(0, blank);
        rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
        return part;
    };
    std::string field(cp1252::trim(cut()));
    std::string symbol(cp1252::trim(cut()));
    std::string value(cp1252::trim(rest));

    // "Param1" to "Param8" stand for the values the opener supplies.
    if (value.size() == 6 && value.compare(0, 5, "Param") == 0 && value[5] >= '1' && value[5] <= '8')
        value = filterParams[static_cast<size_t>(value[5] - '1')];
    return {std::move(field), labelWordForSymbol(symbol), std::move(value)};
}

}  // namespace

std::string savedFilterNameForTable(const std::string& table) { return table + ".fil"; }

std::string savedFilterNameForLayout(const std::string& layoutFile) {
    return layoutFile.substr(0, layoutFile.size() >= 4 ? layoutFile.size() - 4 : 0) + ".fil";
}

SavedFilter ParseSavedFilter(const std::vector<std::string>& lines, const std::array<std::string, 8>& filterParams) {
    SavedFilter filter;
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        if (n == 0) {
            filter.compressed = line.size() >= kPrefixLength && line[kPrefixLength - 1] == 'S';
        } else if (n == 1) {
            filter.orderField = line.size() > kPrefixLength ? std::string(cp1252::trim(line.substr(kPrefixLength))) : "";
        } else if (filter.criteria.size() < kCriteriaRows) {
            filter.criteria.push_back(splitCriterion(line, filterParams));
        }
    }
    return filter;
}

std::optional<SavedFilter> ReadSavedFilter(const Workspace& ws, const std::string& file,
                                           const std::array<std::string, 8>& filterParams) {
    auto path = findSettingsFile(ws, file);
    if (!path) return std::nullopt;
    return ParseSavedFilter(ReadLines(*path), filterParams);
}

void WriteSavedFilter(const Workspace& ws, const std::string& file, bool compressed, const std::string& orderField,
                      const CriteriaRows& rows) {
    LineWriter out(ws.pathFor(file));
    out.line(compressed ? "Compresso = S" : "Compresso = N");
    out.line("In Ordine di " + orderField);
    for (const CriteriaRow& row : rows) {
        if (cp1252::trim(row.value).empty()) continue;
        std::string symbol;
        if (auto op = operatorFromLabel(row.op)) symbol = std::string(savedFilterSymbol(*op)) + " ";
        out.line(row.field + " " + symbol + row.value);
    }
    out.close();
}

}  // namespace ov
