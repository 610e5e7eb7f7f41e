// Fuzz target: the helper's stream as ovdesk reads it. Whatever the bytes, the reader gives tables
// or MalformedStream, and never holds more than the bytes warrant.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "data/jet_stream_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        ov::jetstream::parseTables(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const ov::jetstream::MalformedStream&) {
    }
    return 0;
}
