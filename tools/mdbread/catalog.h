#pragma once
// The user tables of a Jet file, from its system table MSysObjects.
#include <string>
#include <vector>

#include "libmdb.h"

namespace mdbread {

struct UserTable {
    std::string name;       // code page 1252
    MdbCatalogEntry entry;  // what libmdb needs to read the table's definition
};

// In catalog order. Reads only the names, kinds, flags and definition pages: the objects'
// property blobs, which libmdb's own catalog reader decodes, are neither needed nor trusted.
// Throws Damaged.
std::vector<UserTable> readUserTables(MdbHandle* mdb);

}  // namespace mdbread
