// Queries of the engine's SQL: selects with joins, grouping, subqueries and unions.
#include <memory>
#include <string>

#include "core/cp1252.h"
#include "data/query/errors.h"
#include "data/query/expr_parser.h"
#include "data/query/lexer.h"
#include "data/query/parser.h"

namespace ov::query {
namespace {

constexpr int kMaxFromNesting = 64;
// Parentheses of FROM clauses being parsed on this thread, derived tables' own included.
thread_local int fromDepth_ = 0;

// Words that end a part of a select: an expression or a table stops before them.
constexpr const char* kClauseWords[] = {"FROM",  "WHERE", "GROUP", "HAVING", "ORDER", "UNION", "ON",
                                        "INNER", "LEFT",  "RIGHT", "JOIN",   "IN",    "WITH",  "AS"};

class QueryParser final : public SubqueryParser {
public:
    explicit QueryParser(std::string_view text) : text_(text), tokens_(tokensOf(text, text)) {
        end_ = tokens_.size() - 1;
        // Spare end tokens, so that looking ahead never leaves the list.
        tokens_.push_back(tokens_.back());
        tokens_.push_back(tokens_.back());
        expr_ = std::make_unique<ExprParser>(tokens_, end_, this);
    }

    QueryStatement statement() {
        QueryStatement st;
        st.text = std::string(text_);
        if (word("PARAMETERS")) {
            ++pos_;
            parameters(st);
        }
        st.parts.push_back(select());
        while (word("UNION")) {
            ++pos_;
            bool all = word("ALL");
            if (all) ++pos_;
            st.unionAll.push_back(all);
            st.parts.push_back(select());
        }
        // The ORDER BY of a union's last select sorts the whole union.
        if (st.parts.size() > 1) st.orderBy = std::move(st.parts.back().orderBy);
        if (symbol(";")) ++pos_;
        if (pos_ != end_) throw frameError();
        return st;
    }

    std::vector<std::string> declaredParameters() {
        QueryStatement st;
        if (word("PARAMETERS")) {
            ++pos_;
            parameters(st);
        }
        return st.parameters;
    }

    std::shared_ptr<const SelectQuery> parseSubquery(size_t& pos) override {
        size_t saved = pos_;
        pos_ = pos;
        auto q = std::make_shared<SelectQuery>(select());
        pos = pos_;
        pos_ = saved;
        return q;
    }

private:
    const Token& at(size_t k = 0) const { return tokens_[std::min(pos_ + k, tokens_.size() - 1)]; }
    bool word(const char* w, size_t k = 0) const { return at(k).isWord(w); }
    bool symbol(const char* s, size_t k = 0) const { return at(k).isSymbol(s); }
    bool isName(size_t k = 0) const {
        const Token& t = at(k);
        return t.kind == TokenKind::Bracketed || (t.kind == TokenKind::Name && !isReserved(t) && !isClauseWord(t));
    }
    static bool isClauseWord(const Token& t) {
        for (const char* w : kClauseWords)
            if (t.isWord(w)) return true;
        return false;
    }
    Error frameError() const { return statementError(text_); }
    void expectWord(const char* w) {
        if (!word(w)) throw frameError();
        ++pos_;
    }
    std::string name() {
        if (!isName()) throw frameError();
        std::string n = at().text;
        ++pos_;
        return n;
    }
    std::string textFrom(size_t first, size_t last) const {
        size_t from = tokens_[first].offset, to = tokens_[last].offset;
        return std::string(trimmedText(text_.substr(from, to > from ? to - from : 0)));
    }
    // The text an expression starting at `first` covers, for messages: up to the next clause word
    // or comma outside parentheses.
    std::string extentOf(size_t first) const {
        int depth = 0;
        size_t k = first;
        for (; k < end_; ++k) {
            const Token& t = tokens_[k];
            if (t.isSymbol("(")) ++depth;
            else if (t.isSymbol(")") && --depth < 0) break;
            else if (depth == 0 && (t.isSymbol(",") || t.isSymbol(";") || (isClauseWord(t) && !t.isWord("IN") &&
                                                                             !t.isWord("LEFT") && !t.isWord("RIGHT"))))
                break;
        }
        return textFrom(first, k);
    }

    Expr expression(std::string* text = nullptr) {
        size_t first = pos_;
        // An expression missing between the words of the frame: the frame is broken.
        if (pos_ >= end_ || symbol(",") || symbol(";") || (isClauseWord(at()) && !word("LEFT") && !word("RIGHT")) ||
            word("SELECT") || word("ORDER") || word("WHERE"))
            throw frameError();
        try {
            Expr e = expr_->parseAt(pos_);
            if (text) *text = textFrom(first, pos_);
            return e;
        } catch (const ParseFailure& f) {
            throw toError(f, extentOf(first));
        }
    }

    void parameters(QueryStatement& st) {
        do {
            // The name, then its type and an optional size: Text (50).
            size_t first = pos_;
            if (at().kind != TokenKind::Bracketed && at().kind != TokenKind::Name) throw frameError();
            ++pos_;
            while (symbol("!") || symbol(".")) pos_ += 2;
            std::string written = textFrom(first, pos_);
            st.parameters.push_back(written);
            if (at().kind == TokenKind::Name) ++pos_;
            if (symbol("(")) {
                while (!symbol(")") && pos_ < end_) ++pos_;
                if (!symbol(")")) throw frameError();
                ++pos_;
            }
        } while (symbol(",") && ++pos_);
        if (!symbol(";")) throw frameError();
        ++pos_;
    }

    SelectQuery select() {
        size_t first = pos_;
        expectWord("SELECT");
        SelectQuery q;
        if (word("DISTINCT")) {
            q.distinct = true;
            ++pos_;
        } else if (word("DISTINCTROW")) {
            q.distinctRow = true;
            ++pos_;
        } else if (word("ALL")) {
            ++pos_;
        }
        if (word("TOP")) {
            ++pos_;
            if (at().kind != TokenKind::Number) throw frameError();
            Value n = numberLiteral(at().text);
            if (!n.isInteger() || n.asInteger() < 0) throw frameError();
            q.top = n.asInteger();
            ++pos_;
            if (word("PERCENT")) {
                q.topPercent = true;
                ++pos_;
            }
        }
        do q.items.push_back(selectItem());
        while (symbol(",") && ++pos_);
        if (word("INTO")) throw notSupportedError("una query che crea una tabella (SELECT ... INTO)");
        if (!word("FROM")) {
            if (pos_ == end_ || symbol(";") || word("WHERE") || word("UNION") || word("ORDER") || symbol(")"))
                throw noTableError(textFrom(first, pos_));
            throw frameError();
        }
        ++pos_;
        do q.from.push_back(fromTerm());
        while (symbol(",") && ++pos_);
        if (word("IN") && at(1).kind == TokenKind::Text) {
            q.externalDatabase = at(1).text;
            pos_ += 2;
            if (at().kind == TokenKind::Bracketed) ++pos_;
        }
        if (word("WHERE")) {
            ++pos_;
            q.where = expression(&q.whereText);
        }
        if (word("GROUP") && word("BY", 1)) {
            pos_ += 2;
            do q.groupBy.push_back(expression());
            while (symbol(",") && ++pos_);
        }
        if (word("HAVING")) {
            ++pos_;
            q.having = expression(&q.havingText);
        }
        if (word("ORDER") && word("BY", 1)) {
            pos_ += 2;
            do {
                SortItem s;
                s.expr = expression(&s.text);
                if (word("DESC")) {
                    s.descending = true;
                    ++pos_;
                } else if (word("ASC")) {
                    ++pos_;
                }
                q.orderBy.push_back(std::move(s));
            } while (symbol(",") && ++pos_);
        }
        if (word("WITH") && word("OWNERACCESS", 1) && word("OPTION", 2)) pos_ += 3;
        q.text = textFrom(first, pos_);
        return q;
    }

    SelectItem selectItem() {
        SelectItem item;
        if (symbol("*")) {
            ++pos_;
            item.star = true;
            return item;
        }
        if ((at().kind == TokenKind::Name || at().kind == TokenKind::Bracketed) && symbol(".", 1) && symbol("*", 2)) {
            item.star = true;
            item.starOf = at().text;
            pos_ += 3;
            return item;
        }
        item.expr = expression();
        if (word("AS")) {
            ++pos_;
            if (at().kind != TokenKind::Name && at().kind != TokenKind::Bracketed) throw frameError();
            item.alias = at().text;
            ++pos_;
        }
        return item;
    }

    std::shared_ptr<const FromItem> fromTerm() {
        std::shared_ptr<const FromItem> left = fromPrimary();
        for (;;) {
            JoinKind kind;
            if (word("INNER") && word("JOIN", 1)) {
                kind = JoinKind::Inner;
                pos_ += 2;
            } else if ((word("LEFT") || word("RIGHT")) && (word("JOIN", 1) || (word("OUTER", 1) && word("JOIN", 2)))) {
                kind = word("LEFT") ? JoinKind::Left : JoinKind::Right;
                pos_ += word("OUTER", 1) ? 3 : 2;
            } else {
                return left;
            }
            auto join = std::make_shared<FromItem>();
            join->join = kind;
            join->left = std::move(left);
            join->right = fromPrimary();
            expectWord("ON");
            join->on = expression(&join->onText);
            left = std::move(join);
        }
    }

    std::shared_ptr<const FromItem> fromPrimary() {
        auto item = std::make_shared<FromItem>();
        if (symbol("(")) {
            // Parentheses nest as deep as joins do in practice; a text nesting deeper is refused
            // before the walk runs out of stack.
            if (++fromDepth_ > kMaxFromNesting) throw frameError();
            struct Leave {
                int& d;
                ~Leave() { --d; }
            } leave{fromDepth_};
            ++pos_;
            if (word("SELECT")) {
                size_t start = pos_;
                int depth = 0;
                // The derived table's text runs to the matching parenthesis.
                size_t k = pos_;
                for (; k < end_; ++k) {
                    if (tokens_[k].isSymbol("(")) ++depth;
                    else if (tokens_[k].isSymbol(")") && depth-- == 0) break;
                }
                if (k >= end_) throw frameError();
                item->derived = std::make_shared<QueryStatement>(parseQuery(textFrom(start, k)));
                pos_ = k + 1;
                if (word("AS")) ++pos_;
                item->alias = name();
                return item;
            }
            std::shared_ptr<const FromItem> inner = fromTerm();
            if (!symbol(")")) throw frameError();
            ++pos_;
            return inner;
        }
        item->table = name();
        if (word("AS")) {
            ++pos_;
            item->alias = name();
        } else if (isName()) {
            item->alias = name();
        }
        return item;
    }

    std::string_view text_;
    std::vector<Token> tokens_;
    size_t end_ = 0;
    size_t pos_ = 0;
    std::unique_ptr<ExprParser> expr_;
};

}  // namespace

std::vector<std::string> declaredParameters(std::string_view text) {
    QueryParser parser(trimmedText(text));
    return parser.declaredParameters();
}

QueryStatement parseQuery(std::string_view text) {
    std::string_view s = trimmedText(text);
    QueryParser parser(s);
    return parser.statement();
}

}  // namespace ov::query
