#pragma once
// Turns the Jet helper's output (format in data/jet_stream.h) into loaded tables and saved queries.
#include <functional>
#include <memory>
#include <string>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "data/stored_query.h"
#include "data/table.h"

namespace ov::jetstream {

// The bytes are not a complete, well-formed stream: cut short, garbled or with extra bytes.
struct MalformedStream : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Contents {
    std::vector<std::shared_ptr<Table>> tables;
    std::vector<StoredQuery> queries;
    std::string queriesUnreadable;  // why the saved queries are missing; empty when they were read
};

Contents parseStream(std::string_view bytes);
// Appends the next bytes of a stream to its argument; false at the stream's end.
using ByteSource = std::function<bool(std::string&)>;
// The same, from bytes taken as they come.
Contents parseStream(const ByteSource& more);
// The tables alone.
std::vector<std::shared_ptr<Table>> parseTables(std::string_view bytes);

}  // namespace ov::jetstream
