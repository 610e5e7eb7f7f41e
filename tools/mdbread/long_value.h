#pragma once
// The bytes of a long value (memo) field: inline in its row, in one row of a long-value page, or
// in a chain of such rows. Each piece is checked before it is read: the page must exist and be a
// long-value page, the row must lie inside it, a chain must not come back on itself and must carry
// the declared length. A long value's bytes lie once in the file, so all the long values of the
// file together never add up to more than its size: a crafted length cannot drive memory.
#include <cstddef>
#include <cstdint>
#include <string>

#include "libmdb.h"

namespace mdbread {

class LongValueReader {
public:
    explicit LongValueReader(MdbHandle* mdb);

    // `field` is the field's `size` bytes in the row. Throws Damaged.
    std::string read(const unsigned char* field, size_t size);

private:
    struct Piece {
        const unsigned char* data;
        size_t size;
    };
    Piece pieceAt(uint32_t pageAndRow);

    MdbHandle* mdb_;
    uint32_t pages_;
    uint64_t bytesLeft_;
};

}  // namespace mdbread
