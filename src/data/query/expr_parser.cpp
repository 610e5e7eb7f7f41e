#include "data/query/expr_parser.h"

#include <array>

#include "core/cp1252.h"
#include "data/query/errors.h"

namespace ov::query {
namespace {

struct FunctionInfo {
    const char* name;
    Function function;
    int minArgs;
    int maxArgs;
};

constexpr std::array<FunctionInfo, 27> kFunctions = {{
    {"Val", Function::Val, 1, 1},      {"Left", Function::Left, 2, 2},     {"Right", Function::Right, 2, 2},
    {"Mid", Function::Mid, 2, 3},      {"InStr", Function::InStr, 2, 4},   {"Len", Function::Len, 1, 1},
    {"Trim", Function::Trim, 1, 1},    {"LTrim", Function::LTrim, 1, 1},   {"RTrim", Function::RTrim, 1, 1},
    {"UCase", Function::UCase, 1, 1},  {"LCase", Function::LCase, 1, 1},   {"Nz", Function::Nz, 1, 2},
    {"CStr", Function::CStr, 1, 1},    {"CLng", Function::CLng, 1, 1},     {"CDbl", Function::CDbl, 1, 1},
    {"CCur", Function::CCur, 1, 1},    {"CInt", Function::CInt, 1, 1},     {"CSng", Function::CSng, 1, 1},
    {"CBool", Function::CBool, 1, 1},  {"IIf", Function::IIf, 3, 3},       {"Abs", Function::Abs, 1, 1},
    {"Int", Function::Int, 1, 1},      {"Fix", Function::Fix, 1, 1},       {"Year", Function::Year, 1, 1},
    {"Month", Function::Month, 1, 1},  {"Day", Function::Day, 1, 1},       {"DatePart", Function::DatePart, 2, 4},
}};

struct AggregateInfo {
    const char* name;
    Aggregate aggregate;
};

constexpr std::array<AggregateInfo, 7> kAggregates = {{
    {"Count", Aggregate::Count}, {"Sum", Aggregate::Sum},     {"Avg", Aggregate::Avg},  {"Min", Aggregate::Min},
    {"Max", Aggregate::Max},     {"First", Aggregate::First}, {"Last", Aggregate::Last},
}};

constexpr std::array<const char*, 15> kReserved = {"AND", "OR",     "NOT",  "LIKE",  "IS", "IN", "BETWEEN", "NULL",
                                                   "SELECT", "FROM", "WHERE", "ORDER", "BY", "TRUE", "FALSE"};

// Limits that keep every recursive walk of a tree (binding, evaluation, destruction) far from the
// end of the stack, whatever text arrives; the reports' texts stay far below them. A query counts
// the nodes of all its expressions together.
constexpr int kMaxNesting = 100;
constexpr int kMaxNodes = 4000;
constexpr int kMaxQueryNodes = 20000;

}  // namespace

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

std::string_view trimmedText(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool isReserved(const Token& t) {
    if (t.kind != TokenKind::Name) return false;
    for (const char* w : kReserved)
        if (t.isWord(w)) return true;
    return false;
}

ExprParser::ExprParser(const std::vector<Token>& tokens, size_t limit, SubqueryParser* subqueries)
    : t_(tokens), limit_(limit), subqueries_(subqueries) {}

ExprParser::Nest::Nest(int& depth) : d(depth) {
    if (++d > kMaxNesting) throw ParseFailure{};
}

Expr ExprParser::parseAt(size_t& pos) {
    pos_ = pos;
    Expr e = parseOr();
    pos = pos_;
    return e;
}

Expr ExprParser::parseAll(size_t pos) {
    Expr e = parseAt(pos);
    if (pos < limit_) throw ParseFailure{};
    return e;
}

const Token& ExprParser::peek(size_t ahead) const {
    size_t k = pos_ + ahead;
    return k < limit_ ? t_[k] : end_;
}

const Token& ExprParser::next() {
    const Token& t = peek();
    if (!atEnd()) ++pos_;
    return t;
}

bool ExprParser::acceptWord(const char* w) {
    if (!peek().isWord(w)) return false;
    ++pos_;
    return true;
}

bool ExprParser::acceptSymbol(const char* s) {
    if (!peek().isSymbol(s)) return false;
    ++pos_;
    return true;
}

void ExprParser::expectClose() {
    if (!acceptSymbol(")")) throw ParseFailure{ParseFailure::MissingParenthesis, {}};
}

void ExprParser::count() {
    if (++nodes_ > (queries() ? kMaxQueryNodes : kMaxNodes)) throw ParseFailure{};
}

Expr ExprParser::node(ExprKind kind, std::vector<Expr> args) {
    count();
    Expr e;
    e.kind = kind;
    e.args = std::move(args);
    return e;
}

Expr ExprParser::parseOr() {
    Expr left = parseAnd();
    while (acceptWord("OR")) left = node(ExprKind::Or, {std::move(left), parseAnd()});
    return left;
}

Expr ExprParser::parseAnd() {
    Expr left = parseNot();
    while (acceptWord("AND")) left = node(ExprKind::And, {std::move(left), parseNot()});
    return left;
}

Expr ExprParser::parseNot() {
    if (acceptWord("NOT")) {
        Nest nest(depth_);
        return node(ExprKind::Not, {parseNot()});
    }
    return parseComparison();
}

Expr ExprParser::parseComparison() {
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
        if (atSubquery()) {
            Expr e = node(ExprKind::InSubquery, {std::move(left)});
            e.subquery = subquery();
            e.negated = negated;
            expectClose();
            return e;
        }
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

Expr ExprParser::parseConcat() {
    Expr left = parseAdditive();
    while (acceptSymbol("&")) {
        left = node(ExprKind::Binary, {std::move(left), parseAdditive()});
        left.binary = BinaryOp::Concat;
    }
    return left;
}

Expr ExprParser::parseAdditive() {
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

Expr ExprParser::parseMultiplicative() {
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

Expr ExprParser::parseUnary() {
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

Expr ExprParser::literal(Value v, int param) {
    count();
    Expr e;
    e.kind = ExprKind::Literal;
    e.literal = std::move(v);
    e.param = param;
    return e;
}

bool ExprParser::atSubquery() const { return queries() && peek().isWord("SELECT"); }

std::shared_ptr<const SelectQuery> ExprParser::subquery() {
    Nest nest(depth_);
    size_t pos = pos_;
    std::shared_ptr<const SelectQuery> q = subqueries_->parseSubquery(pos);
    pos_ = pos;
    return q;
}

Expr ExprParser::parsePrimary() {
    const Token& t = next();
    switch (t.kind) {
        // Number and text literals are numbered in text order, as splitLiterals numbers them.
        case TokenKind::Number: return literal(numberLiteral(t.text), params_++);
        case TokenKind::Text: return literal(Value::text(t.text), params_++);
        case TokenKind::Date: {
            std::optional<Value> d = dateLiteral(t.text);
            if (!d) throw ParseFailure{};
            return literal(*d);
        }
        case TokenKind::Bracketed: return fieldFrom(t);
        case TokenKind::Name:
            if (t.isWord("NULL")) return literal(Value::null());
            if (t.isWord("TRUE")) return literal(Value::boolean(true));
            if (t.isWord("FALSE")) return literal(Value::boolean(false));
            if (queries() && !peek().isSymbol("(") && !peek().isSymbol(".") && !peek().isSymbol("!")) {
                if (t.isWord("YES") || t.isWord("ON")) return literal(Value::boolean(true));
                if (t.isWord("NO") || t.isWord("OFF")) return literal(Value::boolean(false));
            }
            if (queries() && t.isWord("EXISTS") && peek().isSymbol("(") && peek(1).isWord("SELECT")) {
                ++pos_;
                Expr e = node(ExprKind::Exists, {});
                e.subquery = subquery();
                expectClose();
                return e;
            }
            if (peek().isSymbol("(")) return call(t);
            if (isReserved(t)) throw ParseFailure{};
            return fieldFrom(t);
        case TokenKind::Symbol:
            if (t.text == "(") {
                Nest nest(depth_);
                if (atSubquery()) {
                    Expr e = node(ExprKind::Subquery, {});
                    e.subquery = subquery();
                    expectClose();
                    return e;
                }
                Expr inner = parseOr();
                expectClose();
                return inner;
            }
            throw ParseFailure{};
        case TokenKind::End: break;
    }
    throw ParseFailure{};
}

Expr ExprParser::fieldFrom(const Token& first) {
    count();
    Expr e;
    e.kind = ExprKind::Field;
    e.name = first.text;
    auto isNamePart = [](const Token& t) { return t.kind == TokenKind::Name || t.kind == TokenKind::Bracketed; };
    if (peek().isSymbol(".") && isNamePart(peek(1))) {
        ++pos_;
        e.qualifier = std::move(e.name);
        e.name = next().text;
    } else if (queries() && peek().isSymbol("!") && isNamePart(peek(1))) {
        // Forms!Orders!OrderID: a reference to something outside the database, kept whole.
        e.name = "[" + e.name + "]";
        while (peek().isSymbol("!") && isNamePart(peek(1))) {
            ++pos_;
            e.name += "![" + next().text + "]";
        }
    }
    return e;
}

Expr ExprParser::aggregate(Aggregate which) {
    ++pos_;  // "("
    Nest nest(depth_);
    count();
    Expr e;
    e.kind = ExprKind::Aggregate;
    e.aggregate = which;
    if (which == Aggregate::Count && peek().isSymbol("*")) {
        ++pos_;
        e.star = true;
    } else {
        e.args.push_back(parseOr());
    }
    expectClose();
    return e;
}

Expr ExprParser::call(const Token& nameToken) {
    if (queries())
        for (const auto& a : kAggregates)
            if (cp1252::equalNoCase(a.name, nameToken.text)) return aggregate(a.aggregate);
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

}  // namespace ov::query
