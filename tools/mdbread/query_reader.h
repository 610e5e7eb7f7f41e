#pragma once
// The saved queries of an open Jet file: the rows of its system table MSysQueries, gathered by
// query, each query's kind and SQL text rebuilt from them. Throws Damaged.
#include <vector>

#include "catalog.h"
#include "long_value.h"
#include "data/stored_query.h"

namespace mdbread {

// In catalog order; none when the file has no MSysQueries.
std::vector<ov::StoredQuery> readQueries(Catalog& catalog, LongValueReader& longValues);

}  // namespace mdbread
