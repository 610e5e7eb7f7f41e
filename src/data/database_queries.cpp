// Saved queries and query texts beyond SELECT * FROM one table, run by the query engine over the
// tables and saved queries of the database.
#include <algorithm>
#include <utility>
#include <vector>

#include "core/cp1252.h"
#include "core/error.h"
#include "data/database.h"
#include "data/query/errors.h"
#include "data/query/parser.h"
#include "data/query/query_runner.h"

namespace ov {
namespace {

// A saved query that gives no rows to read, and why, in the engine's Italian names of the kinds.
const char* refusal(QueryKind kind) {
    switch (kind) {
        case QueryKind::MakeTable: return "è una query di creazione tabella e non restituisce record";
        case QueryKind::Append: return "è una query di accodamento e non restituisce record";
        case QueryKind::Update: return "è una query di aggiornamento e non restituisce record";
        case QueryKind::Delete: return "è una query di eliminazione e non restituisce record";
        case QueryKind::DataDefinition: return "è una query di definizione dati e non restituisce record";
        case QueryKind::Crosstab: return nullptr;
        case QueryKind::PassThrough: return nullptr;
        case QueryKind::Select:
        case QueryKind::Union: break;
    }
    return nullptr;
}

// The saved queries being run on this thread, innermost last: a query that comes back to one of
// them would never end.
constexpr size_t kMaxQueryDepth = 32;
thread_local std::vector<std::pair<std::string, std::string>> running;

class Running {
public:
    Running(const std::string& file, const std::string& query) {
        std::pair<std::string, std::string> key{file, cp1252::toUpper(query)};
        if (running.size() >= kMaxQueryDepth || std::find(running.begin(), running.end(), key) != running.end())
            throw Error(query::kCircularReference, "Riferimento circolare causato dalla query '" + cp1252::toUtf8(query) +
                                                        "': la query si riferisce a se stessa.");
        running.push_back(std::move(key));
    }
    ~Running() { running.pop_back(); }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
};

}  // namespace

std::shared_ptr<const Table> Database::runStoredQuery(const StoredQuery& q) {
    const std::string name = cp1252::toUtf8(q.name);
    if (const char* why = refusal(q.kind))
        throw Error(query::kInvalidOperation, "Operazione non valida: la query '" + name + "' " + why + ".");
    if (q.kind == QueryKind::Crosstab)
        throw query::notSupportedError("la query '" + name + "' è una query a campi incrociati, che ovdesk non esegue");
    if (q.kind == QueryKind::PassThrough)
        throw query::notSupportedError("la query '" + name +
                                       "' è una query pass-through, eseguita da un server ODBC esterno");
    Running guard(path_.string(), q.name);
    try {
        if (std::vector<std::string> asked = query::declaredParameters(q.sql); !asked.empty())
            throw query::parametersError(asked);
        std::shared_ptr<const query::QueryStatement> parsed = query::parseQueryCached(q.sql);
        query::QueryContext context{[this](const std::string& n) { return table(n); }, true};
        return query::runQuery(*parsed, context, q.name);
    } catch (const Error& e) {
        throw query::inStoredQuery(e, q.name);
    }
}

std::shared_ptr<const Table> Database::runQueryText(const std::string& text) {
    std::shared_ptr<const query::QueryStatement> parsed = query::parseQueryCached(text);
    query::QueryContext context{[this](const std::string& n) { return table(n); }, false};
    // The rows of a text are named by the text, as the engine names such a record set.
    return query::runQuery(*parsed, context, text.substr(0, 64));
}

}  // namespace ov
