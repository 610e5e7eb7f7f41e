#include "row_scanner.h"

#include <sys/stat.h>

#include <algorithm>

#include "usage_map.h"

namespace mdbread {
namespace {

// Flags of a row's entry in the offset table of its data page.
constexpr unsigned kDeletedRow = 0x8000;   // deleted: never comes back
constexpr unsigned kOverflowRow = 0x4000;  // grew too big: holds a pointer to where it lives now
constexpr unsigned kOffsetMask = 0x1FFF;
constexpr int kMaxOverflowHops = 8;

}  // namespace

bool RowScanner::isDeleted(const unsigned char* pg, int row) const {
    return u16(pg + mdb_->fmt->row_count_offset + 2 + 2 * row) & kDeletedRow;
}

uint32_t pageCount(MdbHandle* mdb) {
    struct stat st;
    if (::fstat(fileno(mdb->f->stream), &st) != 0 || st.st_size < 0) return 0;
    return static_cast<uint32_t>(static_cast<uint64_t>(st.st_size) / static_cast<uint64_t>(mdb->fmt->pg_size));
}

int rowsOnPage(MdbHandle* mdb, const unsigned char* page, const std::string& where) {
    const int offset = mdb->fmt->row_count_offset;
    const int rows = u16(page + offset);
    if (offset + 2 + 2 * rows > mdb->fmt->pg_size) throw Damaged(where + ": row table out of bounds");
    return rows;
}

RowSlot rowSlot(MdbHandle* mdb, const unsigned char* page, int rows, int row, const std::string& where) {
    const int offset = mdb->fmt->row_count_offset;
    const int pageSize = static_cast<int>(mdb->fmt->pg_size);
    const unsigned raw = u16(page + offset + 2 + 2 * row);
    RowSlot s;
    s.flags = raw & ~kOffsetMask;
    s.start = static_cast<int>(raw & kOffsetMask);
    // Rows fill the page from its end: a row ends where the one before it starts.
    s.end = row == 0 ? pageSize : static_cast<int>(u16(page + offset + 2 * row) & kOffsetMask);
    if (s.start < offset + 2 + 2 * rows || s.end > pageSize || s.start >= s.end)
        throw Damaged(where + ": row " + std::to_string(row) + " out of its page");
    return s;
}

RowScanner::RowScanner(MdbTableDef* table)
    : mdb_(table->entry->mdb), table_(table), pageSize_(static_cast<int>(mdb_->fmt->pg_size)),
      pageCount_(mdbread::pageCount(mdb_)) {}

void RowScanner::damaged(const std::string& what) const {
    throw Damaged(std::string("table ") + table_->name + ": " + what);
}

std::string RowScanner::where() const {
    return std::string("table ") + table_->name + ", page " + std::to_string(currentPage_);
}

// Reads page `pg` into the page buffer; it must be one of the table's data pages.
void RowScanner::readDataPage(uint32_t pg, const char* what) {
    currentPage_ = pg;
    if (pg == 0 || pg >= pageCount_ || mdb_read_pg(mdb_, pg) != pageSize_)
        damaged(std::string(what) + " " + std::to_string(pg) + " lies beyond the end of the file");
    if (page()[0] != MDB_PAGE_DATA || u32(page() + 4) != table_->entry->table_pg)
        damaged(std::string(what) + " " + std::to_string(pg) + " is not one of the table's data pages");
}

void RowScanner::visitRow(int start, int end, const std::function<void(int, int)>& visit) {
    const uint64_t bytes = static_cast<uint64_t>(end - start);
    if (bytes > rowBytesLeft_) damaged("rows read twice on page " + std::to_string(currentPage_));
    rowBytesLeft_ -= bytes;
    visit(start, end);
}

// A table whose map lists no page: no page may hold rows of it, unless the file's map says the page
// is free (a page a table gave up keeps naming it). Another table's definition swapped into this
// one's place would otherwise read as an empty table.
void RowScanner::checkNoPageHoldsTheTable() {
    const std::vector<uint32_t> free = freePages(mdb_, pageCount_);
    for (uint32_t pg = 1; pg < pageCount_; ++pg) {
        if (mdb_read_alt_pg(mdb_, pg) != pageSize_) damaged("page " + std::to_string(pg) + " lost");
        const unsigned char* p = mdb_->alt_pg_buf;
        if (p[0] == MDB_PAGE_DATA && u32(p + 4) == table_->entry->table_pg &&
            !std::binary_search(free.begin(), free.end(), pg))
            damaged("page " + std::to_string(pg) + " holds rows of the table that its page map does not list");
    }
}

uint32_t RowScanner::forEachRow(const std::function<void(int, int)>& visit) {
    const std::vector<uint32_t> pages = listedPages(table_, pageCount_);
    if (pages.empty()) checkNoPageHoldsTheTable();
    rowBytesLeft_ = static_cast<uint64_t>(pages.size()) * static_cast<uint64_t>(pageSize_);
    uint32_t count = 0;
    for (uint32_t pg : pages) {
        readDataPage(pg, "page");
        const std::string here = where();  // once a page: the rows of a page are many
        const int rows = rowsOnPage(mdb_, page(), here);
        for (int r = 0; r < rows; ++r) {
            if (isDeleted(page(), r)) continue;
            const RowSlot s = rowSlot(mdb_, page(), rows, r, here);
            if (s.flags & kOverflowRow)
                visitOverflowRow(s, visit);
            else
                visitRow(s.start, s.end, visit);
            ++count;
        }
    }
    // The definition keeps the number of rows. A file closed improperly may keep fewer (even 0),
    // never more: more means rows lost.
    if (count < table_->num_rows)
        damaged(std::to_string(count) + " rows found, the table definition counts " + std::to_string(table_->num_rows));
    return count;
}

// A row that moved: its slot holds the row number (one byte) and page (three bytes) of the data,
// which carries the deleted flag there so that the scan does not meet it twice.
void RowScanner::visitOverflowRow(const RowSlot& pointer, const std::function<void(int, int)>& visit) {
    const long scanPageNumber = currentPage_;
    RowSlot s = pointer;
    for (int hop = 0;; ++hop) {
        if (hop == kMaxOverflowHops) damaged("overflow rows point in a circle");
        if (s.end - s.start < 4) damaged("short overflow pointer");
        const uint32_t target = u32(page() + s.start);
        const int row = static_cast<int>(target & 0xFF);
        readDataPage(target >> 8, "overflow row on page");
        const int rows = rowsOnPage(mdb_, page(), where());
        if (row >= rows) damaged("overflow row missing on page " + std::to_string(currentPage_));
        s = rowSlot(mdb_, page(), rows, row, where());
        if (!(s.flags & kOverflowRow)) break;
    }
    visitRow(s.start, s.end, visit);
    // Back to the page being scanned (read again: libmdb skips reading the page it thinks it holds).
    readDataPage(static_cast<uint32_t>(scanPageNumber), "page");
}

}  // namespace mdbread
