#pragma once
// The engine's errors raised by the query dialect, with Italian messages naming the text, the
// field or the table at fault. Texts passed in are code page 1252; messages come out as UTF-8.
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"

namespace ov::query {

// Engine numbers the dialect needs beyond the ones shared by the whole program.
inline constexpr int kUndefinedFunction = 3085;
inline constexpr int kInvalidUse = 5;        // invalid procedure call or argument
inline constexpr int kOverflow = err::Overflow;
inline constexpr int kDivisionByZero = 11;
inline constexpr int kNoEditInProgress = 3020;
inline constexpr int kFieldTooSmall = 3163;
inline constexpr int kTooFewParameters = 3061;
inline constexpr int kNoTableInQuery = 3067;
inline constexpr int kAmbiguousField = 3079;
inline constexpr int kAggregateInWhere = 3096;
inline constexpr int kCircularReference = 3103;
inline constexpr int kNotInAggregate = 3122;
inline constexpr int kInvalidOperation = 3219;
inline constexpr int kNotSupported = 3251;
inline constexpr int kUnionColumns = 3307;
inline constexpr int kSubqueryRows = 3354;

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

// Queries.
Error noTableError(std::string_view statementText);                          // 3067
Error ambiguousFieldError(std::string_view field);                           // 3079
Error aggregateInWhereError(std::string_view clause);                        // 3096: "WHERE", "JOIN"...
Error notInAggregateError(std::string_view field);                           // 3122
Error unionColumnsError();                                                   // 3307
Error subqueryRowsError();                                                   // 3354
Error parametersError(const std::vector<std::string>& names);                // 3061: the names as written
Error notSupportedError(std::string_view whatUtf8);                          // 3251, what ovdesk does not do
// The same error, said of the saved query it arose in.
Error inStoredQuery(const Error& e, std::string_view queryName);

}  // namespace ov::query
