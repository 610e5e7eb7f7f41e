#include "data/query/errors.h"

#include <string>

#include "core/cp1252.h"

namespace ov::query {
namespace {

std::string quoted(std::string_view text) { return "'" + cp1252::toUtf8(text) + "'"; }

}  // namespace

Error syntaxError(std::string_view text) {
    return Error(err::SyntaxError,
                 "Errore di sintassi (operatore mancante) nell'espressione della query " + quoted(text) + ".");
}

Error stringSyntaxError(std::string_view text) {
    return Error(err::SyntaxError, "Errore di sintassi nella stringa nell'espressione della query " + quoted(text) + ".");
}

Error missingParenthesisError(std::string_view text) {
    return Error(err::SyntaxError,
                 "Parentesi chiusa, parentesi quadra chiusa o barra verticale mancante nell'espressione della query " +
                     quoted(text) + ".");
}

Error argumentCountError(std::string_view text) {
    return Error(err::SyntaxError,
                 "Numero di argomenti errato utilizzato con la funzione nell'espressione della query " + quoted(text) +
                     ".");
}

Error undefinedFunctionError(std::string_view name) {
    return Error(kUndefinedFunction, "Funzione " + quoted(name) + " non definita nell'espressione.");
}

Error statementError(std::string_view text) {
    return Error(err::QuerySyntax, "Errore di sintassi nella clausola FROM o nell'istruzione " + quoted(text) + ".");
}

Error unknownFieldError(std::string_view field, std::string_view table) {
    return Error(err::FieldNotFound,
                 "Elemento non trovato in questo insieme: il campo " + quoted(field) + " non esiste nella tabella " +
                     quoted(table) + ".");
}

Error typeMismatchError() {
    return Error(err::TypeMismatch, "Tipo di dati non corrispondente nell'espressione criterio.");
}

Error inExpression(const Error& e, std::string_view text) {
    std::string m = e.message();
    if (!m.empty() && m.back() == '.') m.pop_back();
    return Error(e.number(), m + " (" + quoted(text) + ").", e.source());
}

Error noTableError(std::string_view text) {
    return Error(kNoTableInQuery,
                 "L'input della query deve contenere almeno una tabella o una query: " + quoted(text) + ".");
}

Error ambiguousFieldError(std::string_view field) {
    return Error(kAmbiguousField, "Il campo specificato " + quoted(field) +
                                      " potrebbe fare riferimento a più tabelle elencate nella clausola FROM "
                                      "dell'istruzione SQL.");
}

Error aggregateInWhereError(std::string_view clause) {
    return Error(kAggregateInWhere, "Impossibile utilizzare una funzione di aggregazione nella clausola " +
                                        cp1252::toUtf8(clause) + ".");
}

Error notInAggregateError(std::string_view field) {
    return Error(kNotInAggregate, "La query non include l'espressione specificata " + quoted(field) +
                                      " come parte di una funzione di aggregazione.");
}

Error unionColumnsError() {
    return Error(kUnionColumns, "Il numero di colonne nelle due tabelle o query selezionate di una query di unione "
                                "non corrisponde.");
}

Error subqueryRowsError() {
    return Error(kSubqueryRows, "Questa sottoquery può restituire al massimo un record.");
}

Error parametersError(const std::vector<std::string>& names) {
    std::string list;
    for (size_t i = 0; i < names.size(); ++i) list += (i ? ", " : "") + cp1252::toUtf8(names[i]);
    return Error(kTooFewParameters, "Parametri insufficienti. Previsto " + std::to_string(names.size()) +
                                        ": la query chiede " + (names.size() == 1 ? "il parametro " : "i parametri ") +
                                        list + ", che ovdesk non può chiedere.");
}

Error notSupportedError(std::string_view whatUtf8) {
    return Error(kNotSupported, "Operazione non supportata: " + std::string(whatUtf8) + ".");
}

Error inStoredQuery(const Error& e, std::string_view queryName) {
    const std::string prefix = "Query " + quoted(queryName) + ": ";
    if (e.message().rfind("Query '", 0) == 0) return e;  // already said of the innermost query
    return Error(e.number(), prefix + e.message(), e.source());
}

}  // namespace ov::query
