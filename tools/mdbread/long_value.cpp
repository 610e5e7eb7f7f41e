#include "long_value.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "row_scanner.h"

namespace mdbread {
namespace {

// The field's first four bytes: the length and, in the top bits, where the data lies.
constexpr uint32_t kInline = 0x80000000;
constexpr uint32_t kOnePage = 0x40000000;
constexpr uint32_t kKindMask = 0xC0000000;
constexpr unsigned kDeletedRow = 0x8000;
// Long-value pages carry this word where data pages name their table.
constexpr char kLongValueSignature[4] = {'L', 'V', 'A', 'L'};

}  // namespace

LongValueReader::LongValueReader(MdbHandle* mdb)
    : mdb_(mdb), pages_(pageCount(mdb)), bytesLeft_(uint64_t{pages_} * static_cast<uint64_t>(mdb->fmt->pg_size)) {}

LongValueReader::Piece LongValueReader::pieceAt(uint32_t pageAndRow) {
    const uint32_t page = pageAndRow >> 8;
    const int row = static_cast<int>(pageAndRow & 0xFF);
    const std::string where = "memo page " + std::to_string(page);
    if (page == 0 || page >= pages_ || mdb_read_alt_pg(mdb_, page) != mdb_->fmt->pg_size)
        throw Damaged(where + " lies beyond the end of the file");
    const unsigned char* pg = mdb_->alt_pg_buf;
    if (pg[0] != MDB_PAGE_DATA || std::memcmp(pg + 4, kLongValueSignature, 4) != 0)
        throw Damaged(where + " is not a memo page");
    const int rows = rowsOnPage(mdb_, pg, where);
    if (row >= rows) throw Damaged(where + ": row " + std::to_string(row) + " missing");
    const RowSlot s = rowSlot(mdb_, pg, rows, row, where);
    if (s.flags & kDeletedRow) throw Damaged(where + ": row " + std::to_string(row) + " deleted");
    return {pg + s.start, static_cast<size_t>(s.end - s.start)};
}

std::string LongValueReader::read(const unsigned char* field, size_t size) {
    if (size < MDB_MEMO_OVERHEAD) return {};
    const uint32_t head = u32(field);
    const size_t length = head & ~kKindMask;
    if (head & kInline) {
        if (length > size - MDB_MEMO_OVERHEAD) throw Damaged("memo longer than its row");
        return std::string(reinterpret_cast<const char*>(field + MDB_MEMO_OVERHEAD), length);
    }
    if (length > bytesLeft_)
        throw Damaged("memo of " + std::to_string(length) + " bytes, more than the file holds");
    const bool chain = (head & kKindMask) == 0;
    if (!chain && (head & kKindMask) != kOnePage) throw Damaged("memo of unknown kind");

    std::string bytes;
    std::set<uint32_t> met;
    uint32_t next = u32(field + 4);
    while (bytes.size() < length) {
        if (next == 0) throw Damaged("memo chain ends before its length");
        if (!met.insert(next).second) throw Damaged("memo chain comes back on itself");
        const Piece piece = pieceAt(next);
        if (!chain) {
            // The row holds the value and nothing else: another length is another row.
            if (piece.size != length) throw Damaged("memo row of another length");
            bytes.assign(reinterpret_cast<const char*>(piece.data), length);
            break;
        }
        if (piece.size < 4) throw Damaged("memo chain piece too short");
        bytes.append(reinterpret_cast<const char*>(piece.data + 4), std::min(piece.size - 4, length - bytes.size()));
        next = u32(piece.data);
    }
    bytesLeft_ -= bytes.size();
    return bytes;
}

}  // namespace mdbread
