#pragma once
// Walks the live rows of a Jet table in table order, the way the engine does: data pages by the
// table's usage map, rows by their slot on the page; deleted rows skipped, rows that moved to
// another page (overflow) read where they now live.
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

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

class RowScanner {
public:
    explicit RowScanner(MdbTableDef* table);

    // Calls visit(start, end) for every live row, with the row's page in mdb->pg_buf (bytes
    // start to end-1). Returns the number of rows. Throws Damaged.
    uint32_t forEachRow(const std::function<void(int start, int end)>& visit);

    [[noreturn]] void damaged(const std::string& what) const;

private:
    struct Slot {
        int start = 0;
        int end = 0;
        unsigned flags = 0;
    };
    const unsigned char* page() const { return mdb_->pg_buf; }
    bool nextDataPage();
    int rowCount() const;
    Slot slot(int row) const;
    void checkBounds(const Slot& s, int rows, int row) const;
    void visitOverflowRow(const Slot& pointer, const std::function<void(int, int)>& visit);

    MdbHandle* mdb_;
    MdbTableDef* table_;
    int pageSize_;
    int rowCountOffset_;
    long currentPage_ = 0;
};

}  // namespace mdbread
