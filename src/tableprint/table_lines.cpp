#include "tableprint/table_lines.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "core/cp1252.h"
#include "data/criteria_text.h"
#include "data/database.h"

namespace ov {

namespace {

std::string blanks(int count) { return std::string(count > 0 ? static_cast<size_t>(count) : 0, ' '); }

// Characters from a 0-based position, empty where the text is shorter.
std::string mid(const std::string& text, size_t from, size_t count) {
    return from < text.size() ? text.substr(from, count) : std::string();
}

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// Columns of the heading and totals lines end at the first empty heading; data lines also stop
// at a heading of a single blank.
bool endsHeadings(const ColumnLayout& c) { return c.heading.empty(); }
bool endsDataLine(const ColumnLayout& c) { return !(c.heading > " "); }

// Beyond this the engine's currency overflows.
constexpr double kMoneyLimit = 922337203685477.0;

bool fitsMoney(double v) { return std::isfinite(v) && std::fabs(v) < kMoneyLimit; }

// Error 6 "Overflow" when the value or the total leaves the currency range: the print job records
// it rather than print a wrong total.
void addToTotal(Money& total, double value) { total += Money::fromDouble(value); }

int floorHalf(int v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }

// A stored date YYYYMMDD as DD/MM/YYYY; anything that is not one (empty, 00000000, a blanked
// repeat) becomes ten blanks.
std::string dateText(const std::string& value) {
    std::string t(cp1252::trim(value));
    if (!(t > "19000000")) return blanks(10);
    return mid(t, 6, 2) + "/" + mid(t, 4, 2) + "/" + mid(t, 0, 4);
}

// A value written into a look-up criteria: texts quoted (so a stored value can never change the
// shape of the criteria), numbers in plain decimal.
std::string keyLiteral(const Value& v, bool textType) {
    if (textType || v.isText()) return criteria::sqlText(v.isText() ? std::string(v.asText()) : v.toText(NumberFormat::english()));
    return criteria::literal(v, false);
}

// The look-up record matching the printed record, or nothing: no match, no key, a criteria the
// engine refuses.
RecordSet* findLookup(const ColumnLayout& c, const RecordSet& record, TableLineState& state) {
    const Table& table = record.table();
    int keyField = table.fieldIndex(c.mainKey);
    int hotelField = table.fieldIndex("NumeroHotel");
    if (keyField < 0 || hotelField < 0) return nullptr;
    const Value& key = record.field(keyField);
    const Value& hotel = record.field(hotelField);
    if (key.isNull() || hotel.isNull()) return nullptr;
    RecordSet* lookup = state.lookupTable(c.lookupDatabase, c.lookupTable);
    if (!lookup) return nullptr;
    std::string condition = "NumeroHotel = " + keyLiteral(hotel, false) + " and " + c.lookupKey + " = " +
                            keyLiteral(key, isTextType(record.fieldType(keyField)));
    try {
        return lookup->findFirst(condition) ? lookup : nullptr;
    } catch (const std::exception&) {
        return nullptr;
    }
}

// "EURO" columns: the field named after the prefix divided by the conversion rate, "###0.00".
// A null, a text that is no number or a zero rate leave the cell blank.
std::optional<std::string> euroValue(const std::string& fieldName, const RecordSet& record, Money rate,
                                     const NumberFormat& fmt) {
    int index = record.table().fieldIndex(fieldName);
    if (index < 0) return std::nullopt;
    const Value& v = record.field(index);
    if (v.isNull() || rate == Money()) return std::string();
    double amount = v.toDouble();
    if (v.isText()) {
        std::optional<double> parsed = fmt.parse(v.asText());
        if (!parsed) return std::string();
        amount = *parsed;
    }
    double converted = amount / rate.toDouble();
    if (!fitsMoney(converted)) return std::string();
    return fmt.fixed2(converted);
}

struct ColumnValue {
    std::string text;
    std::optional<std::string> previous;  // what the column remembers for the next record
};

// The value of one column for the record; nothing when the cell is only the width in blanks (no
// look-up match, a field the table lacks).
std::optional<ColumnValue> columnValue(const ColumnLayout& c, const ColumnState& state, const RecordSet& record,
                                       Money rate, TableLineState& lineState) {
    const NumberFormat& fmt = lineState.numbers();
    const bool blankRepeats = c.repeat == "N";
    if (c.lookupKey > " ") {
        RecordSet* lookup = findLookup(c, record, lineState);
        if (!lookup) return std::nullopt;
        int index = lookup->table().fieldIndex(c.field);
        if (index < 0) return std::nullopt;
        const Value& v = lookup->field(index);
        std::string text = v.toText(fmt);
        if (v.isNull()) return ColumnValue{blanks(c.width), text};
        return ColumnValue{blankRepeats && text == state.previous ? " " : text, text};
    }
    if (startsWith(c.field, "EURO")) {
        std::optional<std::string> euro = euroValue(c.field.substr(4), record, rate, fmt);
        if (!euro) return std::nullopt;
        return ColumnValue{*euro, std::nullopt};
    }
    int index = record.table().fieldIndex(c.field);
    if (index < 0) return std::nullopt;
    const Value& v = record.field(index);
    std::string text = v.toText(fmt);
    // A date-time field named "Data..." prints its day; the YYYYMMDD rule is for dates kept as text.
    if (v.isDateTime() && startsWith(c.field, "Data")) text = mid(text, 6, 4) + mid(text, 3, 2) + mid(text, 0, 2);
    return ColumnValue{blankRepeats && text == state.previous ? " " : text, text};
}

std::string columnCell(const ColumnLayout& c, ColumnState& state, const RecordSet& record, Money rate,
                       TableLineState& lineState, char rule) {
    std::optional<ColumnValue> value;
    try {
        value = columnValue(c, state, record, rate, lineState);
    } catch (const std::exception&) {
        value.reset();  // a field that cannot be read prints like a missing one
    }
    if (!value) return blanks(c.width) + rule;

    std::string text = startsWith(c.field, "Data") ? dateText(value->text) : value->text;
    TableCell cell = MakeCell(text, c.width, rule);
    if (cell.counts && c.total == "S") {
        if (c.lookupKey > " ") {
            addToTotal(state.total, leadingNumber(text));
        } else if (std::optional<double> n = lineState.numbers().parse(text)) {
            addToTotal(state.total, *n);
        }
    }
    if (value->previous) state.previous = *value->previous;
    return cell.text;
}

}  // namespace

FrameChars frameChars(FrameStyle style, FrameLine line) {
    if (style == FrameStyle::Plain) return {'|', '=', '|', '|'};
    switch (line) {
        case FrameLine::Top: return {'\xDA', '\xC4', '\xC2', '\xBF'};
        case FrameLine::Middle: return {'\xC3', '\xC4', '\xC5', '\xB4'};
        case FrameLine::Bottom: break;
    }
    return {'\xC0', '\xC4', '\xC1', '\xD9'};
}

char columnRule(FrameStyle style) { return style == FrameStyle::Box ? '\xB3' : '|'; }

HeadingBlock MakeHeadingBlock(const TableLayout& layout, FrameStyle style, const std::string& hotelLine,
                              const DateTime& now) {
    HeadingBlock b;
    b.hotelLine = hotelLine;

    b.dateLine = now.date.dmy();
    const std::string& title = layout.title();
    int n = floorHalf(layout.lineWidth - 15 - static_cast<int>(title.size()));
    if (n >= 0) {
        char time[16];
        std::snprintf(time, sizeof time, "%02d:%02d", now.hour, now.minute);
        b.dateLine += blanks(n) + title + blanks(n) + time;
    }

    const char rule = columnRule(style);
    const FrameChars top = frameChars(style, FrameLine::Top);
    const FrameChars middle = frameChars(style, FrameLine::Middle);
    const FrameChars bottom = frameChars(style, FrameLine::Bottom);
    b.headingLine = std::string(1, rule);
    b.topLine = std::string(1, top.lead);
    b.middleLine = std::string(1, middle.lead);
    b.bottomLine = std::string(1, bottom.lead);
    bool anyColumn = false;
    for (const ColumnLayout& c : layout.columns) {
        if (endsHeadings(c)) break;
        anyColumn = true;
        const int w = c.width > 0 ? c.width : 0;
        b.headingLine += mid(c.heading, 0, static_cast<size_t>(w)) + blanks(w - static_cast<int>(c.heading.size())) + rule;
        b.topLine += std::string(static_cast<size_t>(w), top.filler) + top.separator;
        b.middleLine += std::string(static_cast<size_t>(w), middle.filler) + middle.separator;
        b.bottomLine += std::string(static_cast<size_t>(w), bottom.filler) + bottom.separator;
    }
    if (anyColumn) {
        b.topLine.back() = top.closing;
        b.middleLine.back() = middle.closing;
        b.bottomLine.back() = bottom.closing;
    }
    return b;
}

TableLineState::TableLineState(const Workspace& ws, const NumberFormat& numbers, size_t columnCount)
    : columns(columnCount), ws_(ws), numbers_(numbers) {}

TableLineState::~TableLineState() = default;

RecordSet* TableLineState::lookupTable(const std::string& database, const std::string& table) {
    auto key = std::make_pair(database, table);
    auto found = tables_.find(key);
    if (found != tables_.end()) return found->second.get();
    std::unique_ptr<RecordSet>& slot = tables_[key];
    try {
        std::shared_ptr<Database>& db = databases_[database];
        if (!db) db = Database::open(ws_, database);
        slot = std::make_unique<RecordSet>(db->openRecordSet(table));
    } catch (const std::exception&) {
        slot.reset();
    }
    return slot.get();
}

TableCell MakeCell(const std::string& value, int width, char separator) {
    if (width < 0) return {std::string(1, separator), false};
    const size_t w = static_cast<size_t>(width);
    if (value.size() > w) return {value.substr(0, w) + separator, false};
    const std::string v = value.empty() ? blanks(width) : value;
    const std::string pad = blanks(width - static_cast<int>(v.size()));
    if (leadingNumber(v) == 0) {
        if (v == "0") return {pad + v + separator, true};
        return {v + pad + separator, false};
    }
    return {pad + v + separator, true};
}

std::string FormatDataLine(const TableLayout& layout, FrameStyle style, const RecordSet& record, Money rate,
                           TableLineState& state) {
    const char rule = columnRule(style);
    if (state.columns.size() < layout.columns.size()) state.columns.resize(layout.columns.size());
    std::string line(1, rule);
    for (size_t i = 0; i < layout.columns.size(); ++i) {
        const ColumnLayout& c = layout.columns[i];
        if (endsDataLine(c)) break;
        line += columnCell(c, state.columns[i], record, rate, state, rule);
    }
    return line;
}

std::string FormatTotalsLine(const TableLayout& layout, FrameStyle style, const TableLineState& state) {
    const char rule = columnRule(style);
    std::string line(1, rule);
    for (size_t i = 0; i < layout.columns.size(); ++i) {
        const ColumnLayout& c = layout.columns[i];
        if (endsHeadings(c)) break;
        Money total = i < state.columns.size() ? state.columns[i].total : Money();
        if (c.width >= 0 && total != Money()) {
            std::string t = state.numbers().general(total);
            line += blanks(c.width - static_cast<int>(t.size())) + t;
        } else {
            line += blanks(c.width);
        }
        line += rule;
    }
    return line;
}

}  // namespace ov
