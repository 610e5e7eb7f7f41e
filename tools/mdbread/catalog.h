#pragma once
// The user tables and saved queries of a Jet file, from its system table MSysObjects.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "libmdb.h"

namespace mdbread {

struct UserTable {
    std::string name;       // code page 1252
    MdbCatalogEntry entry;  // what libmdb needs to read the table's definition
    bool system = false;    // a system table of the engine (MSysQueries), defined as one
};

// A saved query: its rows in MSysQueries carry its id.
struct QueryObject {
    std::string name;  // code page 1252
    int32_t id = 0;
    uint32_t flags = 0;  // the object's flags; bits 4 to 7 tell the query's kind
};

struct Catalog {
    std::vector<UserTable> tables;
    std::vector<QueryObject> queries;
    std::optional<UserTable> queryRows;  // the system table MSysQueries, when the file has one
};

// In catalog order. Reads only the names, kinds, flags and definition pages: the objects'
// property blobs, which libmdb's own catalog reader decodes, are neither needed nor trusted.
// Throws Damaged.
Catalog readCatalog(MdbHandle* mdb);

}  // namespace mdbread
