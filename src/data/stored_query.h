#pragma once
// A query saved in a database file: its name, its kind and its SQL text, as the engine shows it.
// The kinds carry the engine's own type codes, the ones a file keeps for its saved queries.
#include <cstdint>
#include <string>

namespace ov {

enum class QueryKind : uint8_t {
    Select = 0,
    Crosstab = 16,
    Delete = 32,
    Update = 48,
    Append = 64,
    MakeTable = 80,
    DataDefinition = 96,
    PassThrough = 112,
    Union = 128,
};

// A code read from a file; false for codes the engine does not define.
inline bool isQueryKind(int code) {
    switch (code) {
        case 0: case 16: case 32: case 48: case 64: case 80: case 96: case 112: case 128: return true;
        default: return false;
    }
}

struct StoredQuery {
    std::string name;  // code page 1252
    QueryKind kind = QueryKind::Select;
    std::string sql;   // code page 1252
};

}  // namespace ov
