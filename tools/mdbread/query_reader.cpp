#include "query_reader.h"

#include <map>
#include <memory>

#include "data/jet_stream.h"
#include "data/jet_stream_reader.h"
#include "query_text.h"
#include "row_scanner.h"
#include "stream_writer.h"
#include "table_writer.h"

namespace mdbread {
namespace {

// MSysQueries read the way every table is read (memo expressions included), into memory.
std::shared_ptr<ov::Table> loadQueryRows(UserTable& table, LongValueReader& longValues) {
    StreamWriter memory;
    memory.raw(ov::jetstream::kMagic);
    writeTable(table, memory, longValues);
    memory.u8(static_cast<uint8_t>(ov::jetstream::kStreamEnd));
    memory.u32(1);
    try {
        return ov::jetstream::parseTables(memory.bytes()).at(0);
    } catch (const std::exception& e) {
        throw Damaged(std::string("table MSysQueries: ") + e.what());
    }
}

std::string textOf(const ov::Value& v) { return v.isText() ? std::string(v.asText()) : std::string(); }

}  // namespace

std::vector<ov::StoredQuery> readQueries(Catalog& catalog, LongValueReader& longValues) {
    std::vector<ov::StoredQuery> out;
    if (!catalog.queryRows || catalog.queries.empty()) return out;
    std::shared_ptr<ov::Table> rows = loadQueryRows(*catalog.queryRows, longValues);
    const int objectId = rows->fieldIndex("ObjectId"), attribute = rows->fieldIndex("Attribute"),
              order = rows->fieldIndex("Order"), name1 = rows->fieldIndex("Name1"), name2 = rows->fieldIndex("Name2"),
              expression = rows->fieldIndex("Expression"), flag = rows->fieldIndex("Flag");
    if (objectId < 0 || attribute < 0 || name1 < 0 || name2 < 0 || expression < 0 || flag < 0)
        throw Damaged("table MSysQueries: fields missing");

    std::map<int32_t, std::vector<QueryRow>> byQuery;
    for (const ov::Row& r : rows->rows) {
        const ov::Value& id = r[static_cast<size_t>(objectId)];
        const ov::Value& a = r[static_cast<size_t>(attribute)];
        if (!id.isInteger() || !a.isInteger()) continue;
        QueryRow q;
        q.attribute = static_cast<int>(a.asInteger());
        if (order >= 0) q.order = textOf(r[static_cast<size_t>(order)]);
        q.name1 = textOf(r[static_cast<size_t>(name1)]);
        q.name2 = textOf(r[static_cast<size_t>(name2)]);
        q.expression = textOf(r[static_cast<size_t>(expression)]);
        const ov::Value& f = r[static_cast<size_t>(flag)];
        if (f.isInteger()) q.flag = static_cast<int>(f.asInteger());
        byQuery[static_cast<int32_t>(id.asInteger())].push_back(std::move(q));
    }
    for (const QueryObject& object : catalog.queries) {
        auto it = byQuery.find(object.id);
        if (it == byQuery.end()) continue;  // a query without definition rows: nothing to run
        QueryText text = rebuildQueryText(std::move(it->second), object.flags);
        out.push_back(ov::StoredQuery{object.name, text.kind, std::move(text.sql)});
    }
    return out;
}

}  // namespace mdbread
