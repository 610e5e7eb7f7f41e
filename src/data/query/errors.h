#pragma once
// The engine's errors raised by the query dialect, with Italian messages naming the text, the
// field or the table at fault. Texts passed in are code page 1252; messages come out as UTF-8.
#include <string_view>

#include "core/error.h"

namespace ov::query {

// Engine numbers the dialect needs beyond the ones shared by the whole program.
inline constexpr int kUndefinedFunction = 3085;
inline constexpr int kInvalidUse = 5;        // invalid procedure call or argument
inline constexpr int kOverflow = err::Overflow;
inline constexpr int kDivisionByZero = 11;
inline constexpr int kNoEditInProgress = 3020;
inline constexpr int kFieldTooSmall = 3163;

Error syntaxError(std::string_view expressionText);          // 3075
Error stringSyntaxError(std::string_view expressionText);    // 3075, unterminated literal
Error missingParenthesisError(std::string_view expressionText);  // 3075
Error argumentCountError(std::string_view expressionText);   // 3075
Error undefinedFunctionError(std::string_view name);         // 3085
Error statementError(std::string_view statementText);        // 3131
Error unknownFieldError(std::string_view field, std::string_view table);  // 3265
Error typeMismatchError();                                   // 3464
// The same error with the criteria text it arose in, for messages raised while rows are evaluated.
Error inExpression(const Error& e, std::string_view expressionText);

}  // namespace ov::query
