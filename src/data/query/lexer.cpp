#include "data/query/lexer.h"

#include <charconv>

#include "core/cp1252.h"
#include "core/dates.h"

namespace ov::query {
namespace {

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Letters of code page 1252 may appear in field names (accented Italian names).
bool isNameStart(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_') return true;
    if (c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9A || c == 0x9C || c == 0x9E || c == 0x9F) return true;
    return c >= 0xC0 && c != 0xD7 && c != 0xF7;
}

bool isNameChar(unsigned char c) { return isNameStart(c) || isDigit(c); }

bool isBlank(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool startsNumber(std::string_view s, size_t i) {
    auto at = [&](size_t k) -> unsigned char { return k < s.size() ? static_cast<unsigned char>(s[k]) : 0; };
    return isDigit(at(i)) || (at(i) == '.' && isDigit(at(i + 1)));
}

// Where the number starting at `i` ends: digits, a dot and decimals, an exponent.
size_t numberEnd(std::string_view s, size_t i) {
    auto at = [&](size_t k) -> unsigned char { return k < s.size() ? static_cast<unsigned char>(s[k]) : 0; };
    while (isDigit(at(i))) ++i;
    if (at(i) == '.') {
        ++i;
        while (isDigit(at(i))) ++i;
    }
    if ((at(i) == 'e' || at(i) == 'E') &&
        (isDigit(at(i + 1)) || ((at(i + 1) == '+' || at(i + 1) == '-') && isDigit(at(i + 2))))) {
        i += 2;
        while (isDigit(at(i))) ++i;
    }
    return i;
}

// Where the literal in quotes starting at `i` ends (after its closing quote), its text in `body`
// (in `buffer` when a doubled quote inside stands for one); npos when it is not closed.
size_t quotedEnd(std::string_view s, size_t i, std::string& buffer, std::string_view& body) {
    const char quote = s[i];
    size_t j = i + 1;
    bool doubled = false;
    // The quote is written twice inside the literal to stand for itself.
    while (true) {
        if (j >= s.size()) return std::string_view::npos;
        if (s[j] == quote) {
            if (j + 1 >= s.size() || s[j + 1] != quote) break;
            doubled = true;
            j += 2;
            continue;
        }
        ++j;
    }
    body = s.substr(i + 1, j - i - 1);
    if (doubled) {
        buffer.clear();
        for (size_t k = 0; k < body.size(); ++k) {
            buffer += body[k];
            if (body[k] == quote) ++k;
        }
        body = buffer;
    }
    return j + 1;
}

// Calls emit(kind, text, offset, end) for every token but the end. A text literal comes without
// its quotes, a doubled quote inside made single (in `buffer`); everything else is a view of `s`.
template <typename Emit>
void scan(std::string_view s, std::string& buffer, Emit emit) {
    size_t i = 0;
    const size_t n = s.size();
    auto at = [&](size_t k) -> unsigned char { return k < n ? static_cast<unsigned char>(s[k]) : 0; };
    while (true) {
        while (i < n && isBlank(at(i))) ++i;
        if (i >= n) return;
        const size_t start = i;
        unsigned char c = at(i);
        if (isNameStart(c)) {
            while (i < n && isNameChar(at(i))) ++i;
            emit(TokenKind::Name, s.substr(start, i - start), start, i);
        } else if (startsNumber(s, i)) {
            i = numberEnd(s, i);
            emit(TokenKind::Number, s.substr(start, i - start), start, i);
        } else if (c == '\'' || c == '"') {
            std::string_view body;
            i = quotedEnd(s, i, buffer, body);
            if (i == std::string_view::npos) throw LexError{start, true};
            emit(TokenKind::Text, body, start, i);
        } else if (c == '#') {
            size_t close = s.find('#', i + 1);
            if (close == std::string_view::npos || close == i + 1) throw LexError{start, false};
            i = close + 1;
            emit(TokenKind::Date, s.substr(start + 1, close - start - 1), start, i);
        } else if (c == '[') {
            size_t close = s.find(']', i + 1);
            if (close == std::string_view::npos || close == i + 1) throw LexError{start, false};
            i = close + 1;
            emit(TokenKind::Bracketed, s.substr(start + 1, close - start - 1), start, i);
        } else if ((c == '<' && (at(i + 1) == '>' || at(i + 1) == '=')) || (c == '>' && at(i + 1) == '=')) {
            i += 2;
            emit(TokenKind::Symbol, s.substr(start, 2), start, i);
        } else if (std::string_view("=<>+-*/&(),;.!").find(static_cast<char>(c)) != std::string_view::npos) {
            ++i;
            emit(TokenKind::Symbol, s.substr(start, 1), start, i);
        } else {
            throw LexError{start, false};
        }
    }
}

}  // namespace

bool Token::isWord(std::string_view word) const {
    return kind == TokenKind::Name && cp1252::equalNoCase(text, word);
}

std::vector<Token> tokenize(std::string_view s) {
    std::vector<Token> out;
    std::string buffer;
    scan(s, buffer, [&](TokenKind kind, std::string_view text, size_t offset, size_t) {
        out.push_back(Token{kind, std::string(text), offset});
    });
    out.push_back(Token{TokenKind::End, {}, s.size()});
    return out;
}

Value numberLiteral(std::string_view text) {
    if (text.find_first_of(".eE") == std::string_view::npos) {
        int64_t v = 0;
        auto r = std::from_chars(text.data(), text.data() + text.size(), v);
        if (r.ec == std::errc() && r.ptr == text.data() + text.size()) return Value::integer(v);
    }
    size_t dot = text.find('.');
    if (dot != std::string_view::npos && text.find_first_of("eE") == std::string_view::npos && text.size() - dot - 1 <= 4)
        if (auto m = Money::parse(text)) return Value::currency(*m);
    double d = 0;
    std::from_chars(text.data(), text.data() + text.size(), d);  // the scanner only passes valid numbers
    return Value::real(d);
}

namespace {

// Reads digits at `i`; -1 when there are none.
int readDigits(std::string_view s, size_t& i, int maxDigits, int* count = nullptr) {
    int v = 0, n = 0;
    while (i < s.size() && n < maxDigits && isDigit(static_cast<unsigned char>(s[i]))) {
        v = v * 10 + (s[i] - '0');
        ++i;
        ++n;
    }
    if (count) *count = n;
    return n ? v : -1;
}

void skipBlanks(std::string_view s, size_t& i) {
    while (i < s.size() && isBlank(static_cast<unsigned char>(s[i]))) ++i;
}

}  // namespace

std::optional<Value> dateLiteral(std::string_view text) {
    size_t i = 0;
    skipBlanks(text, i);
    int digits = 0;
    int first = readDigits(text, i, 4, &digits);
    if (first < 0 || i >= text.size()) return std::nullopt;
    char sep = text[i];
    if (sep != '/' && sep != '-') return std::nullopt;
    ++i;
    int second = readDigits(text, i, 2);
    if (second < 0 || i >= text.size() || text[i] != sep) return std::nullopt;
    ++i;
    int yearDigits = 0;
    int third = readDigits(text, i, 4, &yearDigits);
    if (third < 0) return std::nullopt;
    int year, month, day;
    if (digits == 4) {  // year-month-day
        year = first;
        month = second;
        day = third;
    } else {  // month/day/year
        month = first;
        day = second;
        year = third;
        if (yearDigits <= 2) year += year < 30 ? 2000 : 1900;
    }
    if (!Date::isReal(year, month, day)) return std::nullopt;
    double seconds = 0;
    skipBlanks(text, i);
    if (i < text.size()) {
        int h = readDigits(text, i, 2);
        if (h < 0 || i >= text.size() || text[i] != ':') return std::nullopt;
        ++i;
        int m = readDigits(text, i, 2);
        if (m < 0) return std::nullopt;
        int sec = 0;
        if (i < text.size() && text[i] == ':') {
            ++i;
            sec = readDigits(text, i, 2);
            if (sec < 0) return std::nullopt;
        }
        skipBlanks(text, i);
        std::string_view rest = text.substr(i);
        if (cp1252::equalNoCase(rest, "PM") && h < 12) h += 12;
        else if (cp1252::equalNoCase(rest, "AM") && h == 12) h = 0;
        else if (!rest.empty() && !cp1252::equalNoCase(rest, "AM") && !cp1252::equalNoCase(rest, "PM"))
            return std::nullopt;
        if (h > 23 || m > 59 || sec > 59) return std::nullopt;
        seconds = h * 3600.0 + m * 60.0 + sec;
    }
    // The engine counts days from 30/12/1899, which is 25569 days before 01/01/1970.
    double serial = static_cast<double>(Date{year, month, day}.serial() + 25569) + seconds / 86400.0;
    return Value::dateTime(DateTimeValue{serial});
}

void splitLiterals(std::string_view text, LiteralSplit& out) {
    out.shape.clear();
    out.values.clear();
    std::string buffer;
    scan(text, buffer, [&](TokenKind kind, std::string_view t, size_t, size_t) {
        switch (kind) {
            case TokenKind::Number:
                out.shape += '\x01';
                out.values.push_back(numberLiteral(t));
                break;
            case TokenKind::Text:
                out.shape += '\x02';
                out.values.push_back(Value::text(std::string(t)));
                break;
            case TokenKind::Date:
                out.shape += '#';
                out.shape += t;
                out.shape += "# ";
                break;
            case TokenKind::Bracketed:
                out.shape += '[';
                out.shape += t;
                out.shape += ']';
                break;
            default:
                out.shape += t;
                out.shape += ' ';
                break;
        }
    });
}

namespace {

// A literal of a template stands between a blank or an operator and a blank, an operator or the
// end: a literal of another text lexes there into one token of the same kind with the same tokens
// around it.
bool mayPrecede(char c) { return isBlank(static_cast<unsigned char>(c)) || std::string_view("=<>(),&+-*/").find(c) != std::string_view::npos; }
bool mayFollow(char c) { return isBlank(static_cast<unsigned char>(c)) || std::string_view(")=<>,;&+-*/").find(c) != std::string_view::npos; }

}  // namespace

bool makeLiteralTemplate(std::string_view text, LiteralTemplate& out) {
    out.pieces.clear();
    out.kinds.clear();
    std::string buffer;
    size_t pieceStart = 0;
    bool fits = true;
    try {
        scan(text, buffer, [&](TokenKind kind, std::string_view, size_t start, size_t end) {
            if (kind != TokenKind::Number && kind != TokenKind::Text) return;
            if ((start > 0 && !mayPrecede(text[start - 1])) || (end < text.size() && !mayFollow(text[end]))) fits = false;
            out.pieces.emplace_back(text.substr(pieceStart, start - pieceStart));
            out.kinds.push_back(kind);
            pieceStart = end;
        });
    } catch (const LexError&) {
        return false;
    }
    out.pieces.emplace_back(text.substr(pieceStart));
    return fits;
}

bool matchLiteralTemplate(const LiteralTemplate& t, std::string_view text, std::vector<Value>& values) {
    values.clear();
    std::string buffer;
    size_t pos = 0;
    for (size_t k = 0;; ++k) {
        const std::string& piece = t.pieces[k];
        if (text.size() - pos < piece.size() || text.compare(pos, piece.size(), piece) != 0) return false;
        pos += piece.size();
        if (k == t.kinds.size()) return pos == text.size();
        if (t.kinds[k] == TokenKind::Number) {
            if (!startsNumber(text, pos)) return false;
            const size_t end = numberEnd(text, pos);
            values.push_back(numberLiteral(text.substr(pos, end - pos)));
            pos = end;
        } else {
            if (pos >= text.size() || (text[pos] != '\'' && text[pos] != '"')) return false;
            std::string_view body;
            const size_t end = quotedEnd(text, pos, buffer, body);
            if (end == std::string_view::npos) return false;
            values.push_back(Value::text(body));
            pos = end;
        }
    }
}

}  // namespace ov::query
