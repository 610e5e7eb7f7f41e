#pragma once
// Writes one user table of an open Jet file to the stream: its fields, then every live row in
// table order (format in data/jet_stream.h). Throws Damaged. With `columns`, only the table's
// fields of those names (matched without regard to case), in the table's order; names the table
// lacks are left out.
#include <string>
#include <vector>

#include "catalog.h"
#include "long_value.h"
#include "stream_writer.h"

namespace mdbread {

void writeTable(UserTable& table, StreamWriter& out, LongValueReader& longValues,
                const std::vector<std::string>* columns = nullptr);

}  // namespace mdbread
