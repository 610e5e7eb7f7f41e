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

}  // namespace ov::query
