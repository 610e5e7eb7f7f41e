#pragma once
// Recursive descent over the tokens of an expression, shared by criteria texts and queries:
// Or < And < Not < comparison < & < + - < * / < unary.
//
// Criteria texts get the criteria dialect. Queries also get aggregates (Count(*), Sum, ...),
// subqueries ((SELECT ...), In (SELECT ...), Exists (SELECT ...)), the constants Yes, No, On and
// Off, and references such as Forms!Orders!OrderID (which a query can only take as a parameter).
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "data/query/lexer.h"
#include "data/query/syntax.h"

namespace ov::query {

// Why an expression did not parse; turned into an ov::Error quoting the text at fault.
struct ParseFailure {
    enum Kind { Syntax, UnterminatedText, MissingParenthesis, ArgumentCount, UnknownFunction } kind = Syntax;
    std::string name;  // the unknown function
};

Error toError(const ParseFailure& f, std::string_view text);

// The tokens of a text; a text the lexer cannot split raises the error for `quoteOnError`.
std::vector<Token> tokensOf(std::string_view text, std::string_view quoteOnError);
// The text without blanks and line breaks around it.
std::string_view trimmedText(std::string_view s);

// Words that end or join expressions; a field of that name must be written in brackets.
bool isReserved(const Token& t);

// Parses the select of a subquery, its first token at `pos` (SELECT); leaves `pos` after it.
class SubqueryParser {
public:
    virtual ~SubqueryParser() = default;
    virtual std::shared_ptr<const SelectQuery> parseSubquery(size_t& pos) = 0;
};

class ExprParser {
public:
    // Tokens [0, limit) are the text; `subqueries` is given for queries, null for criteria texts.
    ExprParser(const std::vector<Token>& tokens, size_t limit, SubqueryParser* subqueries = nullptr);

    // The expression at `pos`, as far as it goes; `pos` is left on the first token after it.
    // Throws ParseFailure.
    Expr parseAt(size_t& pos);
    // The expression filling [pos, limit) exactly.
    Expr parseAll(size_t pos);

private:
    const Token& peek(size_t ahead = 0) const;
    bool atEnd() const { return pos_ >= limit_; }
    const Token& next();
    bool acceptWord(const char* w);
    bool acceptSymbol(const char* s);
    void expectClose();
    bool queries() const { return subqueries_ != nullptr; }

    struct Nest {
        explicit Nest(int& depth);
        ~Nest() { --d; }
        int& d;
    };

    Expr node(ExprKind kind, std::vector<Expr> args);
    void count();
    Expr parseOr();
    Expr parseAnd();
    Expr parseNot();
    Expr parseComparison();
    Expr parseConcat();
    Expr parseAdditive();
    Expr parseMultiplicative();
    Expr parseUnary();
    Expr literal(Value v, int param = -1);
    Expr parsePrimary();
    Expr fieldFrom(const Token& first);
    Expr call(const Token& nameToken);
    Expr aggregate(Aggregate which);
    std::shared_ptr<const SelectQuery> subquery();
    bool atSubquery() const;

    const std::vector<Token>& t_;
    size_t pos_ = 0;
    size_t limit_;
    SubqueryParser* subqueries_;
    int params_ = 0;
    int depth_ = 0;
    int nodes_ = 0;
    Token end_;
};

}  // namespace ov::query
