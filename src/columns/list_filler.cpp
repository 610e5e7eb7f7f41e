#include "columns/list_filler.h"

#include <algorithm>

#include "state/field_entry.h"
#include "core/cp1252.h"
#include "core/error.h"

namespace ov {
namespace {

// The columns in use: those before the first empty heading.
size_t columnsInUse(const ListColumns& columns) {
    size_t n = 0;
    while (n < columns.size() && !columns[n].heading.empty()) ++n;
    return n;
}

std::string padded(std::string text, int width, bool left) {
    const size_t w = width > 0 ? static_cast<size_t>(width) : 0;
    if (text.size() >= w) return text;
    return left ? text + std::string(w - text.size(), ' ') : std::string(w - text.size(), ' ') + text;
}

// A date field holds YYYYMMDD; the list shows DD/MM/YYYY.
std::string dateText(const std::string& stored) {
    auto part = [&](size_t from, size_t length) { return from < stored.size() ? stored.substr(from, length) : ""; };
    return part(6, 2) + "/" + part(4, 2) + "/" + part(0, 4);
}

bool isDateField(const std::string& name) { return name.size() >= 4 && name.compare(0, 4, "Data") == 0; }

// The text of one column of the current record, cut and padded to the column's width.
std::string cellText(const RecordSet& records, const ListColumn& column, Money& total, const NumberFormat& numbers) {
    const Value& value = records.field(column.field);
    const Table& table = records.table();
    const FieldType type = table.fields[static_cast<size_t>(table.fieldIndex(column.field))].type;
    std::string text = value.toText(numbers);
    const size_t keep = column.width > 1 ? static_cast<size_t>(column.width - 1) : 0;
    if (text.size() > keep) text.resize(keep);
    if (type == FieldType::Currency) text = FilterField(text, 2, numbers);
    if (isDateField(column.field)) text = dateText(text);
    if (column.kind == 'N') total += value.toMoney();
    return padded(std::move(text), column.width, column.alignment == 'L');
}

}  // namespace

void ClearColumnSpecs(ListColumns& columns) { columns.fill(ListColumn{}); }

std::string FillListFromRecords(RecordSet& records, const std::string& criteria, std::vector<std::string>& list,
                                std::string& label, const ListColumns& columns, int maxLines,
                                const ProgramState& state, const NumberFormat& numbers) {
    const size_t used = columnsInUse(columns);
    label.clear();
    for (size_t c = 0; c < used; ++c) {
        const ListColumn& col = columns[c];
        std::string heading = col.heading.substr(0, static_cast<size_t>(std::max(col.width, 0)));
        label += padded(std::move(heading), col.width, true) + " ";
    }

    list.clear();
    std::vector<Money> totals(used);
    const bool keepDuplicates = state.hasOption('L');
    int added = 0;
    bool found = false;
    try {
        found = records.findFirst(criteria);
    } catch (const Error&) {
        found = false;
    }
    while (found && added < maxLines) {
        std::string line;
        for (size_t c = 0; c < used; ++c) {
            try {
                line += cellText(records, columns[c], totals[c], numbers) + " ";
            } catch (const Error&) {
                // A column that cannot be read stays blank; the line keeps its shape.
                line += std::string(static_cast<size_t>(std::max(columns[c].width, 0)) + 1, ' ');
            }
        }
        if (keepDuplicates || std::find(list.begin(), list.end(), line) == list.end()) {
            list.push_back(std::move(line));
            ++added;
        }
        try {
            found = records.findNext(criteria);
        } catch (const Error&) {
            found = false;
        }
    }

    std::string totalsLine;
    for (size_t c = 0; c < used; ++c) {
        std::string text = totals[c].units() == 0 ? " " : FilterField(numbers.general(totals[c]), 2, numbers);
        totalsLine += padded(std::move(text), columns[c].width, false) + " ";
    }
    return totalsLine;
}

}  // namespace ov
