#pragma once
// Evaluation of bound expressions over one row, with the engine's semantics: three-valued logic
// (a comparison with null is null, and null is not a match), text compared without regard to case,
// a text compared with a number read as a number (Error 3464 when it is not one), exact currency.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/number_format.h"
#include "data/query/bound.h"

namespace ov::query {

enum class Tri : uint8_t { False, True, Null };

// The truth of a condition on a row, with the literals of `b`; only True is a match.
Tri truth(const Node& node, const Row& row, const Bindings& b);
// The value of a node on a row: a reference to the row's field or the literal when it is one,
// otherwise computed into `scratch`.
const Value& evaluate(const Node& node, const Row& row, const Bindings& b, Value& scratch);

// Engine comparison: empty when either side is null; <0, 0, >0 otherwise. Error 3464 when a
// text that is not a number meets a number.
std::optional<int> compareValues(const Value& a, const Value& b);
// Order of ORDER BY: nulls first, text without regard to case, numbers by value.
int compareForSort(const Value& a, const Value& b);

// A text that reads as a number as a whole: blanks around it, a sign, digits with a dot for the
// decimals, an exponent. Empty when it is not one (an empty text is not a number).
std::optional<double> readNumber(std::string_view text);
// A number as a value: whole numbers stay exact.
Value numberValue(double d);

// The notation numbers take when they become text (&, CStr, Len, Left of a number).
const NumberFormat& textFormat();
std::string textOf(const Value& v);

// The arithmetic of + - * / & on two values, as the expressions compute it (sums of a group use it).
Value combine(BinaryOp op, const Value& left, const Value& right);

// The built-in functions (functions.cpp); args are already evaluated.
Value callFunction(Function f, const Value* args, size_t count);

}  // namespace ov::query
