#pragma once
// Helpers that clean up what the user types into entry fields and check date texts "DD/MM/YYYY".
// Texts are code page 1252 bytes. Check results are 16-bit integers: 1 yes, 0 no.
#include <cstdint>
#include <string>
#include <string_view>

#include "state/program_state.h"
#include "core/number_format.h"

namespace ov {

// Upper-cases the text and keeps what the mode allows:
//   0 free text: everything, the apostrophe turned into "´" (byte 180) so the text can stand
//     between single quotes in a query; an empty result is one blank;
//   1 number: digits, "," and "-"; an empty result is "0";
//   2 amount: as 1, then read in the user's notation and written "#,###,###,##0" (a text that is
//     not a number stays as it is);
//   any other mode keeps nothing ("0").
std::string FilterField(std::string_view text, int16_t mode, const NumberFormat& numbers);

// Digits typed without separators become a date text: "DDMMYY" (00-24 -> 20YY, 25-99 -> 19YY) or
// "DDMMYYYY"; any other length, or a text that already holds a "/", is left alone.
// Updates text and returns the same value.
std::string CompleteDate(std::string& text);

// 1 when the trimmed text is ten characters holding a day that exists in its month, a month 1-12
// and a year from 1900. Rewrites February of state.monthLengths for the year read.
int16_t IsValidDate(std::string_view text, ProgramState& state);

// 1 when the first date is not after the second (equal dates are in order), else 0.
int16_t DatesInOrder(std::string_view first, std::string_view second);

// 1 for every year divisible by 4 (no century rule), else 0.
int16_t IsLeapYear(int16_t year);

}  // namespace ov
