#include "data/query/parser.h"

#include <array>
#include <charconv>
#include <mutex>
#include <string>
#include <unordered_map>

#include "core/cp1252.h"
#include "data/query/errors.h"
#include "data/query/expr_parser.h"
#include "data/query/lexer.h"

namespace ov::query {
namespace {

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
        st.whereText = std::string(trimmedText(text.substr(tokens[i].offset, tokens[end].offset - tokens[i].offset)));
        try {
            if (end == i) throw ParseFailure{};
            st.where = ExprParser(tokens, end).parseAll(i);
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
        return ExprParser(tokens, end).parseAll(0);
    } catch (const ParseFailure& f) {
        throw toError(f, text);
    }
}

Statement parseStatement(std::string_view text) {
    std::string_view s = trimmedText(text);
    if (startsWithSelect(s)) return parseSelect(s);
    // A bare table name, as given to OpenRecordset.
    if (!s.empty() && s.back() == ';') s = trimmedText(s.substr(0, s.size() - 1));
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

std::shared_ptr<const QueryStatement> parseQueryCached(std::string_view text) {
    static TextCache<QueryStatement> cache;
    return cache.get(text, [](std::string_view t) { return parseQuery(t); });
}

}  // namespace ov::query
