#pragma once
// Splits a query or criteria text (code page 1252) into tokens.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/value.h"

namespace ov::query {

enum class TokenKind {
    Name,       // a bare word: field name, keyword or function name
    Bracketed,  // [a name]: never a keyword
    Number,
    Text,       // 'text' or "text", the doubled quote inside already made single
    Date,       // #1/31/95#: the text between the number signs
    Symbol,     // = <> < > <= >= + - * / & ( ) , ; . !
    End,
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;
    size_t offset = 0;  // where the token starts in the source text

    bool isSymbol(std::string_view s) const { return kind == TokenKind::Symbol && text == s; }
    // A bare word equal to `word` without regard to case.
    bool isWord(std::string_view word) const;
};

// A text the lexer cannot split: an unterminated literal or bracket, a character the dialect
// does not use. `unterminatedText` tells the message to give.
struct LexError {
    size_t offset = 0;
    bool unterminatedText = false;
};

// Throws LexError. The last token is always End.
std::vector<Token> tokenize(std::string_view source);

// The value of a number token: whole numbers exact, decimals with at most four decimals as
// currency (so that amounts add up exactly), others as doubles.
Value numberLiteral(std::string_view text);

// The value of a date token: month/day/year (two-digit years 00-29 are 2000-2029, as the engine
// reads them) or year-month-day, optionally followed by a time hh:mm[:ss] [AM|PM]. Empty when the
// text is no date.
std::optional<Value> dateLiteral(std::string_view text);

// A text with its number and text literals taken out: `shape` is the text with each literal
// replaced by a marker, `values` are the literals in order. Texts of one shape parse alike, so
// a report building "CodiceCliente = " & code for every guest parses and binds the text once.
struct LiteralSplit {
    std::string shape;
    std::vector<Value> values;
};
// Throws LexError. `out` is overwritten; its storage is reused.
void splitLiterals(std::string_view text, LiteralSplit& out);

// A text cut at its number and text literals: the fixed pieces around them and their kinds. A
// text of the same form (the same pieces, other literals) gives its literals by a comparison of
// the pieces, without being split again: a walk builds "CodiceCliente = " & code for every guest.
struct LiteralTemplate {
    std::vector<std::string> pieces;  // one more than kinds: before each literal, and after the last
    std::vector<TokenKind> kinds;     // Number or Text
};
// The template of a text; false when the text does not lex, or when a literal stands where a
// literal of another text might lex into other tokens (right after a name, say).
bool makeLiteralTemplate(std::string_view text, LiteralTemplate& out);
// The literals of a text of the template's form, as splitLiterals gives them; false when the text
// is of another form.
bool matchLiteralTemplate(const LiteralTemplate& t, std::string_view text, std::vector<Value>& values);

}  // namespace ov::query
