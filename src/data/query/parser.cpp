#include "data/query/parser.h"

#include <array>
#include <charconv>
#include <mutex>
#include <string>
#include <unordered_map>

#include "core/cp1252.h"
#include "data/query/errors.h"
#include "data/query/lexer.h"

namespace ov::query {
namespace {

// Why an expression did not parse; turned into an ov::Error quoting the whole expression.
struct ParseFailure {
    enum Kind { Syntax, UnterminatedText, MissingParenthesis, ArgumentCount, UnknownFunction } kind = Syntax;
    std::string name;  // the unknown function
};

struct FunctionInfo {
    const char* name;
    Function function;
    int minArgs;
    int maxArgs;
};

constexpr std::array<FunctionInfo, 15> kFunctions = {{
    {"Val", Function::Val, 1, 1},      {"Left", Function::Left, 2, 2},     {"Right", Function::Right, 2, 2},
    {"Mid", Function::Mid, 2, 3},      {"InStr", Function::InStr, 2, 4},   {"Len", Function::Len, 1, 1},
    {"Trim", Function::Trim, 1, 1},    {"LTrim", Function::LTrim, 1, 1},   {"RTrim", Function::RTrim, 1, 1},
    {"UCase", Function::UCase, 1, 1},  {"LCase", Function::LCase, 1, 1},   {"Nz", Function::Nz, 1, 2},
    {"CStr", Function::CStr, 1, 1},    {"CLng", Function::CLng, 1, 1},     {"CDbl", Function::CDbl, 1, 1},
}};

// Words that end or join expressions; a field of that name must be written in brackets.
constexpr std::array<const char*, 15> kReserved = {"AND", "OR",     "NOT",  "LIKE",  "IS", "IN", "BETWEEN", "NULL",
                                                    "SELECT", "FROM", "WHERE", "ORDER", "BY", "TRUE", "FALSE"};

bool isReserved(const Token& t) {
    if (t.kind != TokenKind::Name) return false;
    for (const char* w : kReserved)
        if (t.isWord(w)) return true;
    return false;
}

// Limits that keep every recursive walk of a tree (binding, evaluation, destruction) far from the
// end of the stack, whatever text arrives; the reports' texts stay far below them.
constexpr int kMaxNesting = 100;
constexpr int kMaxNodes = 4000;

// Recursive descent over tokens [pos, limit): Or < And < Not < comparison < & < + - < * / < unary.
class ExprParser {
public:
    ExprParser(const std::vector<Token>& tokens, size_t pos, size_t limit) : t_(tokens), pos_(pos), limit_(limit) {}

    Expr parseAll() {
        Expr e = parseOr();
        if (!atEnd()) throw ParseFailure{};
        return e;
    }

private:
    const Token& peek(size_t ahead = 0) const {
        size_t k = pos_ + ahead;
        return k < limit_ ? t_[k] : end_;
    }
    bool atEnd() const { return pos_ >= limit_; }
    const Token& next() {
        const Token& t = peek();
        if (!atEnd()) ++pos_;
        return t;
    }
    bool acceptWord(const char* w) {
        if (!peek().isWord(w)) return false;
        ++pos_;
        return true;
    }
    bool acceptSymbol(const char* s) {
        if (!peek().isSymbol(s)) return false;
        ++pos_;
        return true;
    }
    void expectClose() {
        if (!acceptSymbol(")")) throw ParseFailure{ParseFailure::MissingParenthesis, {}};
    }

    // Entered at every place the descent recurses: parentheses, Not, unary signs, arguments.
    struct Nest {
        explicit Nest(int& depth) : d(depth) {
            if (++d > kMaxNesting) throw ParseFailure{};
        }
        ~Nest() { --d; }
        int& d;
    };

    Expr node(ExprKind kind, std::vector<Expr> args) {
        count();
        Expr e;
        e.kind = kind;
        e.args = std::move(args);
        return e;
    }

    Expr parseOr() {
        Expr left = parseAnd();
        while (acceptWord("OR")) left = node(ExprKind::Or, {std::move(left), parseAnd()});
        return left;
    }

    Expr parseAnd() {
        Expr left = parseNot();
        while (acceptWord("AND")) left = node(ExprKind::And, {std::move(left), parseNot()});
        return left;
    }

    void count() {
        if (++nodes_ > kMaxNodes) throw ParseFailure{};
    }

    Expr parseNot() {
        if (acceptWord("NOT")) {
            Nest nest(depth_);
            return node(ExprKind::Not, {parseNot()});
        }
        return parseComparison();
    }

    Expr parseComparison() {
        Expr left = parseConcat();
        const Token& t = peek();
        if (t.kind == TokenKind::Symbol) {
            static const std::pair<const char*, CompareOp> ops[] = {{"=", CompareOp::Eq},  {"<>", CompareOp::Ne},
                                                                    {"<", CompareOp::Lt},  {">", CompareOp::Gt},
                                                                    {"<=", CompareOp::Le}, {">=", CompareOp::Ge}};
            for (auto& [sym, op] : ops) {
                if (t.text == sym) {
                    ++pos_;
                    Expr e = node(ExprKind::Compare, {std::move(left), parseConcat()});
                    e.compare = op;
                    return e;
                }
            }
            return left;
        }
        if (acceptWord("IS")) {
            bool negated = acceptWord("NOT");
            if (!acceptWord("NULL")) throw ParseFailure{};
            Expr e = node(ExprKind::IsNull, {std::move(left)});
            e.negated = negated;
            return e;
        }
        bool negated = false;
        if (peek().isWord("NOT") && (peek(1).isWord("LIKE") || peek(1).isWord("IN") || peek(1).isWord("BETWEEN"))) {
            ++pos_;
            negated = true;
        }
        if (acceptWord("LIKE")) {
            Expr e = node(ExprKind::Like, {std::move(left), parseConcat()});
            e.negated = negated;
            return e;
        }
        if (acceptWord("IN")) {
            if (!acceptSymbol("(")) throw ParseFailure{};
            std::vector<Expr> args;
            args.push_back(std::move(left));
            do args.push_back(parseConcat());
            while (acceptSymbol(","));
            expectClose();
            Expr e = node(ExprKind::In, std::move(args));
            e.negated = negated;
            return e;
        }
        if (acceptWord("BETWEEN")) {
            Expr low = parseConcat();
            if (!acceptWord("AND")) throw ParseFailure{};
            Expr high = parseConcat();
            Expr e = node(ExprKind::Between, {std::move(left), std::move(low), std::move(high)});
            e.negated = negated;
            return e;
        }
        return left;
    }

    Expr parseConcat() {
        Expr left = parseAdditive();
        while (acceptSymbol("&")) {
            left = node(ExprKind::Binary, {std::move(left), parseAdditive()});
            left.binary = BinaryOp::Concat;
        }
        return left;
    }

    Expr parseAdditive() {
        Expr left = parseMultiplicative();
        while (true) {
            BinaryOp op;
            if (acceptSymbol("+")) op = BinaryOp::Add;
            else if (acceptSymbol("-")) op = BinaryOp::Sub;
            else return left;
            left = node(ExprKind::Binary, {std::move(left), parseMultiplicative()});
            left.binary = op;
        }
    }

    Expr parseMultiplicative() {
        Expr left = parseUnary();
        while (true) {
            BinaryOp op;
            if (acceptSymbol("*")) op = BinaryOp::Mul;
            else if (acceptSymbol("/")) op = BinaryOp::Div;
            else return left;
            left = node(ExprKind::Binary, {std::move(left), parseUnary()});
            left.binary = op;
        }
    }

    Expr parseUnary() {
        if (acceptSymbol("-")) {
            Nest nest(depth_);
            return node(ExprKind::Negate, {parseUnary()});
        }
        if (acceptSymbol("+")) {
            Nest nest(depth_);
            return parseUnary();
        }
        return parsePrimary();
    }

    Expr literal(Value v, int param = -1) {
        count();
        Expr e;
        e.kind = ExprKind::Literal;
        e.literal = std::move(v);
        e.param = param;
        return e;
    }

    Expr parsePrimary() {
        const Token& t = next();
        switch (t.kind) {
            // Number and text literals are numbered in text order, as splitLiterals numbers them.
            case TokenKind::Number: return literal(numberLiteral(t.text), params_++);
            case TokenKind::Text: return literal(Value::text(t.text), params_++);
            case TokenKind::Bracketed: return fieldFrom(t);
            case TokenKind::Name:
                if (t.isWord("NULL")) return literal(Value::null());
                if (t.isWord("TRUE")) return literal(Value::boolean(true));
                if (t.isWord("FALSE")) return literal(Value::boolean(false));
                if (peek().isSymbol("(")) return call(t);
                if (isReserved(t)) throw ParseFailure{};
                return fieldFrom(t);
            case TokenKind::Symbol:
                if (t.text == "(") {
                    Nest nest(depth_);
                    Expr inner = parseOr();
                    expectClose();
                    return inner;
                }
                throw ParseFailure{};
            case TokenKind::End: break;
        }
        throw ParseFailure{};
    }

    Expr fieldFrom(const Token& first) {
        count();
        Expr e;
        e.kind = ExprKind::Field;
        e.name = first.text;
        if (peek().isSymbol(".") && (peek(1).kind == TokenKind::Name || peek(1).kind == TokenKind::Bracketed)) {
            ++pos_;
            e.qualifier = std::move(e.name);
            e.name = next().text;
        }
        return e;
    }

    Expr call(const Token& nameToken) {
        const FunctionInfo* info = nullptr;
        for (const auto& f : kFunctions)
            if (cp1252::equalNoCase(f.name, nameToken.text)) info = &f;
        if (!info) throw ParseFailure{ParseFailure::UnknownFunction, nameToken.text};
        ++pos_;  // "("
        Nest nest(depth_);
        count();
        Expr e;
        e.kind = ExprKind::Call;
        e.function = info->function;
        if (!peek().isSymbol(")")) {
            do e.args.push_back(parseOr());
            while (acceptSymbol(","));
        }
        expectClose();
        int n = static_cast<int>(e.args.size());
        if (n < info->minArgs || n > info->maxArgs) throw ParseFailure{ParseFailure::ArgumentCount, {}};
        return e;
    }

    const std::vector<Token>& t_;
    size_t pos_;
    size_t limit_;
    int params_ = 0;
    int depth_ = 0;
    int nodes_ = 0;
    Token end_;
};

Error toError(const ParseFailure& f, std::string_view text) {
    switch (f.kind) {
        case ParseFailure::UnterminatedText: return stringSyntaxError(text);
        case ParseFailure::MissingParenthesis: return missingParenthesisError(text);
        case ParseFailure::ArgumentCount: return argumentCountError(text);
        case ParseFailure::UnknownFunction: return undefinedFunctionError(f.name);
        case ParseFailure::Syntax: break;
    }
    return syntaxError(text);
}

std::vector<Token> tokensOf(std::string_view text, std::string_view quoteOnError) {
    try {
        return tokenize(text);
    } catch (const LexError& e) {
        throw toError(ParseFailure{e.unterminatedText ? ParseFailure::UnterminatedText : ParseFailure::Syntax, {}},
                      quoteOnError);
    }
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

bool startsWithSelect(std::string_view s) {
    if (s.size() < 6 || !cp1252::equalNoCase(s.substr(0, 6), "SELECT")) return false;
    if (s.size() == 6) return true;
    char c = s[6];
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '*';
}

// A table or field name token: bare word (not a reserved one) or bracketed.
bool isNameToken(const Token& t) {
    return t.kind == TokenKind::Bracketed || (t.kind == TokenKind::Name && !isReserved(t));
}

Statement parseSelect(std::string_view text) {
    std::vector<Token> tokens = tokensOf(text, text);
    // Two more end tokens, so that looking two tokens ahead never leaves the list.
    tokens.push_back(tokens.back());
    tokens.push_back(tokens.back());
    size_t i = 1;  // past SELECT
    auto frameError = [&] { return statementError(text); };

    // Select list: "*" or "table.*".
    if (tokens[i].isSymbol("*")) {
        ++i;
    } else if (isNameToken(tokens[i]) && tokens[i + 1].isSymbol(".") && tokens[i + 2].isSymbol("*")) {
        i += 3;
    } else {
        throw frameError();
    }
    if (!tokens[i].isWord("FROM")) throw frameError();
    ++i;
    if (!isNameToken(tokens[i])) throw frameError();
    Statement st;
    st.table = tokens[i].text;
    ++i;

    // The condition runs up to ORDER BY, a closing ";" or the end.
    auto isOrderBy = [&](size_t k) { return tokens[k].isWord("ORDER") && tokens[k + 1].isWord("BY"); };
    auto isFinalSemicolon = [&](size_t k) {
        return tokens[k].isSymbol(";") && tokens[k + 1].kind == TokenKind::End;
    };
    if (tokens[i].isWord("WHERE")) {
        ++i;
        size_t end = i;
        while (tokens[end].kind != TokenKind::End && !isOrderBy(end) && !isFinalSemicolon(end)) ++end;
        st.whereText = std::string(trimmed(text.substr(tokens[i].offset, tokens[end].offset - tokens[i].offset)));
        try {
            if (end == i) throw ParseFailure{};
            st.where = ExprParser(tokens, i, end).parseAll();
        } catch (const ParseFailure& f) {
            throw toError(f, st.whereText);
        }
        i = end;
    }
    if (isOrderBy(i)) {
        i += 2;
        do {
            if (!isNameToken(tokens[i])) throw frameError();
            OrderKey key;
            key.field = tokens[i++].text;
            // "Table.Field": the field of the only table.
            if (tokens[i].isSymbol(".") && isNameToken(tokens[i + 1])) {
                if (!cp1252::equalNoCase(key.field, st.table)) throw unknownFieldError(key.field + "." + tokens[i + 1].text, st.table);
                key.field = tokens[i + 1].text;
                i += 2;
            }
            if (tokens[i].isWord("DESC")) {
                key.descending = true;
                ++i;
            } else if (tokens[i].isWord("ASC")) {
                ++i;
            }
            st.orderBy.push_back(std::move(key));
            if (!tokens[i].isSymbol(",")) break;
            ++i;
        } while (true);
    }
    if (tokens[i].isSymbol(";")) ++i;
    if (tokens[i].kind != TokenKind::End) throw frameError();
    return st;
}

template <typename T>
class TextCache {
public:
    template <typename Make>
    std::shared_ptr<const T> get(std::string_view text, Make make) {
        {
            std::lock_guard lock(mutex_);
            auto it = map_.find(std::string(text));
            if (it != map_.end()) return it->second;
        }
        auto made = std::make_shared<const T>(make(text));
        std::lock_guard lock(mutex_);
        // Statements carry dates, so a long run makes many; start afresh rather than grow without end.
        if (map_.size() >= kLimit) map_.clear();
        map_.emplace(std::string(text), made);
        return made;
    }

private:
    static constexpr size_t kLimit = 512;
    std::mutex mutex_;
    std::unordered_map<std::string, std::shared_ptr<const T>> map_;
};

}  // namespace

Expr parseCriteria(std::string_view text) {
    std::vector<Token> tokens = tokensOf(text, text);
    try {
        size_t end = tokens.size() - 1;  // the End token
        if (end == 0) throw ParseFailure{};
        return ExprParser(tokens, 0, end).parseAll();
    } catch (const ParseFailure& f) {
        throw toError(f, text);
    }
}

Statement parseStatement(std::string_view text) {
    std::string_view s = trimmed(text);
    if (startsWithSelect(s)) return parseSelect(s);
    // A bare table name, as given to OpenRecordset.
    if (!s.empty() && s.back() == ';') s = trimmed(s.substr(0, s.size() - 1));
    if (s.size() >= 2 && s.front() == '[' && s.back() == ']') s = s.substr(1, s.size() - 2);
    Statement st;
    st.table = std::string(s);
    return st;
}

std::shared_ptr<const Expr> parseCriteriaCached(std::string_view text, const std::string& shape) {
    static TextCache<Expr> cache;
    return cache.get(shape, [&](std::string_view) { return parseCriteria(text); });
}

std::shared_ptr<const Statement> parseStatementCached(std::string_view text) {
    static TextCache<Statement> cache;
    return cache.get(text, [](std::string_view t) { return parseStatement(t); });
}

}  // namespace ov::query
