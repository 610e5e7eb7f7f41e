#pragma once
// Walks the live rows of a Jet table in table order, the way the engine does: data pages by the
// table's usage map, rows by their slot on the page; deleted rows skipped, rows that moved to
// another page (overflow) read where they now live.
//
// A file damaged where the table lies is never read as a shorter table: every page the map lists
// must be one of the table's data pages, every row must lie inside its page, a table without pages
// must have none that hold its rows, and the rows found must be at least as many as the table
// definition counts.
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "libmdb.h"

namespace mdbread {

// The file does not hold together where the table lies; what() says where.
struct Damaged : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline uint16_t u16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t u32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
inline uint64_t u64(const unsigned char* p) { return u32(p) | static_cast<uint64_t>(u32(p + 4)) << 32; }

// Whole pages in the open file: every page number met in it is checked against this before it is
// read (libmdb reads a page past the end as zeros).
uint32_t pageCount(MdbHandle* mdb);

// The number of rows on a data page, and the start and end (exclusive) of row `row` from its slot;
// flags are the slot's deleted and overflow bits. Damaged when the slot table or the row leaves
// the page; `where` names the page in the message.
struct RowSlot {
    int start = 0;
    int end = 0;
    unsigned flags = 0;
};
int rowsOnPage(MdbHandle* mdb, const unsigned char* page, const std::string& where);
RowSlot rowSlot(MdbHandle* mdb, const unsigned char* page, int rows, int row, const std::string& where);

class RowScanner {
public:
    explicit RowScanner(MdbTableDef* table);

    // Calls visit(start, end) for every live row, with the row's page in mdb->pg_buf (bytes
    // start to end-1). Returns the number of rows. Throws Damaged.
    uint32_t forEachRow(const std::function<void(int start, int end)>& visit);

    [[noreturn]] void damaged(const std::string& what) const;
    uint32_t pageCount() const { return pageCount_; }

private:
    const unsigned char* page() const { return mdb_->pg_buf; }
    void readDataPage(uint32_t pg, const char* what);
    void checkNoPageHoldsTheTable();
    std::string where() const;
    bool isDeleted(const unsigned char* pg, int row) const;
    void visitRow(int start, int end, const std::function<void(int, int)>& visit);
    void visitOverflowRow(const RowSlot& pointer, const std::function<void(int, int)>& visit);

    MdbHandle* mdb_;
    MdbTableDef* table_;
    int pageSize_;
    uint32_t pageCount_;
    long currentPage_ = 0;
    // Bytes of rows still to be met: each row lies once on the table's pages, so rows reached
    // twice (slots that point at one row) can never add up to more than those pages hold.
    uint64_t rowBytesLeft_ = 0;
};

}  // namespace mdbread
