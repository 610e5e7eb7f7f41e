#include "tableform/form_criteria.h"

#include "state/field_entry.h"
#include "core/cp1252.h"
#include "data/criteria_text.h"
#include "data/query/errors.h"
#include "data/record_set.h"

namespace ov {
namespace {

constexpr std::array<std::string_view, 8> kCriteriaSymbols = {" = ", " < ", " > ", " <= ", " >= ", " <> ", "", ""};
constexpr std::array<std::string_view, 8> kSavedSymbols = {"=", "<", ">", "<=", ">=", "<>", "In", "Non"};

size_t indexOf(FilterOperator op) { return static_cast<size_t>(op); }

// Characters from..from+length-1 (counted from 1) that the text has; nothing past its end.
std::string mid(std::string_view text, size_t from, size_t length) {
    if (from - 1 >= text.size()) return {};
    return std::string(text.substr(from - 1, length));
}

// Whether the first four characters name a date field, in any letter case ("data", "DATA").
bool isDateFieldAnyCase(const std::string& field, const NumberFormat& numbers) {
    return FilterField(field.substr(0, 4), 0, numbers) == "DATA";
}

// Only "Data" exactly: the stored dates of such fields are YYYYMMDD texts.
bool isDateFieldExact(const std::string& field) { return field.compare(0, 4, "Data") == 0; }

// A number the query language reads as one: optional minus, digits, optional decimals.
bool isPlainNumber(std::string_view text) {
    text = cp1252::trim(text);
    size_t i = 0;
    if (i < text.size() && text[i] == '-') ++i;
    size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    if (digits == 0) return false;
    if (i < text.size() && text[i] == '.') {
        ++i;
        size_t decimals = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++decimals;
        if (decimals == 0) return false;
    }
    return i == text.size();
}

// The condition of one row; empty when its operator is none of the eight labels.
std::string condition(const CriteriaRow& row, FilterOperator op, const std::string& includeText,
                      const FieldType type) {
    switch (op) {
        case FilterOperator::Includes:
            return "Instr(" + row.field + ",'" + includeText + "') > 0";
        case FilterOperator::Excludes:
            return "Instr(" + row.field + ",'" + includeText + "') = 0";
        default:
            break;
    }
    std::string text = row.field + std::string(kCriteriaSymbols[indexOf(op)]);
    if (type == FieldType::Text) {
        const std::string& v = row.value;
        std::string compared = isDateFieldExact(row.field) ? mid(v, 7, 4) + mid(v, 4, 2) + mid(v, 1, 2) : v;
        return text + " '" + compared + "' ";
    }
    // Other fields take the number bare. Anything else is written as a quoted literal, so that a
    // typed value can never change the shape of the query; the engine then converts or rejects it.
    if (isPlainNumber(row.value)) return text + row.value;
    return text + criteria::sqlText(row.value);
}

}  // namespace

std::optional<FilterOperator> operatorFromLabel(std::string_view label) {
    for (size_t i = 0; i < kOperatorLabels.size(); ++i)
        if (kOperatorLabels[i] == label) return static_cast<FilterOperator>(i);
    return std::nullopt;
}

std::string_view operatorLabel(FilterOperator op) { return kOperatorLabels[indexOf(op)]; }

std::string_view savedFilterSymbol(FilterOperator op) { return kSavedSymbols[indexOf(op)]; }

std::string labelWordForSymbol(std::string_view symbol) {
    for (size_t i = 0; i < kSavedSymbols.size(); ++i)
        if (kSavedSymbols[i] == symbol) return std::string(cp1252::trim(kOperatorLabels[i]));
    return std::string(symbol);
}

FieldTypeOf fieldTypesOf(const RecordSet& records) {
    return [&records](const std::string& field) {
        const Table& table = records.table();
        int i = table.fieldIndex(field);
        // A saved filter naming a field the table no longer has leaves its row without one.
        if (field.empty())
            throw Error(err::FieldNotFound, "Elemento non trovato in questo insieme: un criterio non ha un campo della "
                                            "tabella '" + cp1252::toUtf8(table.name) + "'.");
        if (i < 0) throw query::unknownFieldError(field, table.name);
        return table.fields[static_cast<size_t>(i)].type;
    };
}

std::string BuildCriteria(CriteriaRows& rows, const FieldTypeOf& typeOf, ProgramState& state,
                          const NumberFormat& numbers) {
    std::string criteria;
    for (CriteriaRow& row : rows) {
        const std::optional<FilterOperator> op = operatorFromLabel(row.op);
        const bool includes = op == FilterOperator::Includes || op == FilterOperator::Excludes;

        // A day-month fragment DDMM is looked for as MMDD, its order inside a stored YYYYMMDD
        // date. The box keeps what was typed, so a second print looks for the same thing.
        std::string includeText;
        if (isDateFieldAnyCase(row.field, numbers)) {
            if (includes) {
                includeText = mid(row.value, 3, 2) + mid(row.value, 1, 2);
            } else {
                row.value = FilterField(row.value, 0, numbers);
                CompleteDate(row.value);
                if (IsValidDate(row.value, state) != 1) row.value.clear();
            }
        } else {
            includeText = row.value;
        }

        const std::string& tested = includes ? includeText : row.value;
        if (!(tested > std::string(" "))) continue;

        row.value = FilterField(row.value, 0, numbers);
        includeText = FilterField(includeText, 0, numbers);
        // An operator text outside the eight labels gives no condition: the row is left out.
        if (!op) continue;
        // Asked for every row, so a field the table lacks is reported rather than printed empty.
        const FieldType type = typeOf(row.field);
        criteria += " and " + condition(row, *op, includeText, type);
    }
    if (criteria.compare(0, 5, " and ") == 0) criteria.erase(0, 5);
    return criteria;
}

bool HoldsInvalidDate(const CriteriaRow& row, ProgramState& state, const NumberFormat& numbers) {
    const std::optional<FilterOperator> op = operatorFromLabel(row.op);
    if (op == FilterOperator::Includes || op == FilterOperator::Excludes) return false;
    if (!isDateFieldAnyCase(row.field, numbers) || cp1252::trim(row.value).empty()) return false;
    std::string value = FilterField(row.value, 0, numbers);
    CompleteDate(value);
    return IsValidDate(value, state) != 1;
}

bool HasCriterion(std::string_view criteria) { return criteria > std::string_view(" "); }

}  // namespace ov
