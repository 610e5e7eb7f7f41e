#pragma once
// Writes one user table of an open Jet file to the stream: its fields, then every live row in
// table order (format in data/jet_stream.h). Throws Damaged.
#include "catalog.h"
#include "long_value.h"
#include "stream_writer.h"

namespace mdbread {

void writeTable(UserTable& table, StreamWriter& out, LongValueReader& longValues);

}  // namespace mdbread
