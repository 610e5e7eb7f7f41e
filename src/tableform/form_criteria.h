#pragma once
// The eight criteria rows of the filtered print form ("Stampa") and the condition text built from
// them for the table print engine. Texts are code page 1252 bytes.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "state/program_state.h"
#include "core/number_format.h"
#include "data/value.h"

namespace ov {

class RecordSet;

enum class FilterOperator { Equal, Less, Greater, UpTo, From, NotEqual, Includes, Excludes };

inline constexpr int kCriteriaRows = 8;

// The operator labels in list order, each with its leading and trailing blank.
inline constexpr std::array<std::string_view, 8> kOperatorLabels = {
    " uguale a ", " inferiore a ", " superiore a ", " fino a ", " da ", " diverso da ", " include ", " non include "};

// The operator of a label compared exactly, blanks included; nothing for any other text.
std::optional<FilterOperator> operatorFromLabel(std::string_view label);
std::string_view operatorLabel(FilterOperator op);
// The symbol the saved filter file writes ("=", "<", ">", "<=", ">=", "<>", "In", "Non").
std::string_view savedFilterSymbol(FilterOperator op);
// The label word of a saved filter symbol ("<=" -> "fino a"); any other symbol comes back unchanged.
std::string labelWordForSymbol(std::string_view symbol);

struct CriteriaRow {
    std::string field;  // Combo1(r)
    std::string op;     // Combo2(r): one of the labels, blanks included
    std::string value;  // Text1(r): rewritten while the criteria text is built
};
using CriteriaRows = std::array<CriteriaRow, kCriteriaRows>;

// The type of a field of the form's record set; throws for a field the record set lacks.
using FieldTypeOf = std::function<FieldType(const std::string& field)>;
// Field types read from a record set: Error 3265 naming the field and the table for an unknown one.
FieldTypeOf fieldTypesOf(const RecordSet& records);

// The condition text of the rows that have a value, joined by " and ", in row order. Each value
// box is rewritten as the user sees it afterwards: dates completed (an invalid date empties the
// box and drops its row), capitals, apostrophes turned into "´". Empty when no row is left.
std::string BuildCriteria(CriteriaRows& rows, const FieldTypeOf& typeOf, ProgramState& state,
                          const NumberFormat& numbers);

// Whether a row with a value on a date field, compared as a date, holds no real day once completed
// (010124 is 01/01/2024; 310224 is none): the criteria text empties such a box and drops the row.
bool HoldsInvalidDate(const CriteriaRow& row, ProgramState& state, const NumberFormat& numbers);

// A criteria text that can be printed with: greater than a single blank.
bool HasCriterion(std::string_view criteria);

// The message when no criterion is left.
inline constexpr const char* kNoCriterionText = "E' necessario definire un criterio di stampa!";
inline constexpr const char* kNoCriterionTitle = "Mancano dati!";

}  // namespace ov
