#pragma once
// The pages a table's usage map lists. The map is a row of a data page that the table definition
// points to: a bitmap over the pages from a start page (kind 0), or a list of bitmap pages of
// their own (kind 1). Every page number is checked against the file before anything reads it.
#include <cstdint>
#include <vector>

#include "libmdb.h"

namespace mdbread {

// In page order. Throws Damaged when the map is missing or of an unknown kind, when its row does
// not lie on a data page, when one of its bitmap pages is not a bitmap page, or when it lists a
// page past the end of the file (`pageCount` whole pages).
std::vector<uint32_t> listedPages(MdbTableDef* table, uint32_t pageCount);

// The pages the file's own map (row 0 of page 1) holds as free, in page order: pages a table gave
// up, which may still name it as their owner. Throws Damaged as above.
std::vector<uint32_t> freePages(MdbHandle* mdb, uint32_t pageCount);

}  // namespace mdbread
