#include "row_scanner.h"

namespace mdbread {
namespace {

// Flags of a row's entry in the offset table of its data page.
constexpr unsigned kDeletedRow = 0x8000;   // deleted: never comes back
constexpr unsigned kOverflowRow = 0x4000;  // grew too big: holds a pointer to where it lives now
constexpr unsigned kOffsetMask = 0x1FFF;
constexpr int kMaxOverflowHops = 8;

}  // namespace

RowScanner::RowScanner(MdbTableDef* table)
    : mdb_(table->entry->mdb), table_(table), pageSize_(static_cast<int>(mdb_->fmt->pg_size)),
      rowCountOffset_(mdb_->fmt->row_count_offset) {}

void RowScanner::damaged(const std::string& what) const {
    throw Damaged(std::string("table ") + table_->name + ": " + what);
}

// Next data page of the table, by its usage map, into the page buffer; false after the last.
bool RowScanner::nextDataPage() {
    for (;;) {
        long next = mdb_map_find_next(mdb_, table_->usage_map, static_cast<unsigned>(table_->map_sz),
                                      static_cast<guint32>(currentPage_));
        if (next == 0) return false;
        if (next < 0 || next <= currentPage_) damaged("unreadable page map");
        currentPage_ = next;
        if (mdb_read_pg(mdb_, static_cast<unsigned long>(next)) != pageSize_)
            damaged("page " + std::to_string(next) + " lies beyond the end of the file");
        // The map may name a page that is no longer the table's: skip it, as the engine does.
        if (page()[0] == MDB_PAGE_DATA && u32(page() + 4) == table_->entry->table_pg) return true;
    }
}

int RowScanner::rowCount() const {
    int rows = u16(page() + rowCountOffset_);
    if (rowCountOffset_ + 2 + 2 * rows > pageSize_) damaged("row table of page " + std::to_string(currentPage_));
    return rows;
}

RowScanner::Slot RowScanner::slot(int row) const {
    const unsigned char* pg = page();
    unsigned raw = u16(pg + rowCountOffset_ + 2 + 2 * row);
    Slot s;
    s.flags = raw & ~kOffsetMask;
    s.start = static_cast<int>(raw & kOffsetMask);
    // Rows fill the page from its end: a row ends where the one before it starts.
    s.end = row == 0 ? pageSize_ : static_cast<int>(u16(pg + rowCountOffset_ + 2 * row) & kOffsetMask);
    return s;
}

void RowScanner::checkBounds(const Slot& s, int rows, int row) const {
    int slotTableEnd = rowCountOffset_ + 2 + 2 * rows;
    if (s.start < slotTableEnd || s.end > pageSize_ || s.start >= s.end)
        damaged("row " + std::to_string(row) + " of page " + std::to_string(currentPage_) + " out of bounds");
}

uint32_t RowScanner::forEachRow(const std::function<void(int, int)>& visit) {
    mdb_rewind_table(table_);
    currentPage_ = 0;
    uint32_t count = 0;
    while (nextDataPage()) {
        int rows = rowCount();
        for (int r = 0; r < rows; ++r) {
            Slot s = slot(r);
            if (s.flags & kDeletedRow) continue;
            checkBounds(s, rows, r);
            if (s.flags & kOverflowRow)
                visitOverflowRow(s, visit);
            else
                visit(s.start, s.end);
            ++count;
        }
    }
    return count;
}

// A row that moved: its slot holds the row number (one byte) and page (three bytes) of the data,
// which carries the deleted flag there so that the scan does not meet it twice.
void RowScanner::visitOverflowRow(const Slot& pointer, const std::function<void(int, int)>& visit) {
    long scanPageNumber = currentPage_;
    Slot s = pointer;
    for (int hop = 0;; ++hop) {
        if (hop == kMaxOverflowHops) damaged("overflow rows point in a circle");
        if (s.end - s.start < 4) damaged("short overflow pointer");
        uint32_t target = u32(page() + s.start);
        unsigned long pg = target >> 8;
        int row = static_cast<int>(target & 0xFF);
        currentPage_ = static_cast<long>(pg);
        if (mdb_read_pg(mdb_, pg) != pageSize_ || page()[0] != MDB_PAGE_DATA ||
            u32(page() + 4) != table_->entry->table_pg)
            damaged("overflow row on page " + std::to_string(pg) + " is not the table's");
        int rows = rowCount();
        if (row >= rows) damaged("overflow row missing on page " + std::to_string(pg));
        s = slot(row);
        checkBounds(s, rows, row);
        if (!(s.flags & kOverflowRow)) break;
    }
    visit(s.start, s.end);
    // Back to the page being scanned (read again: libmdb skips reading the page it thinks it holds).
    currentPage_ = scanPageNumber;
    if (mdb_read_pg(mdb_, static_cast<unsigned long>(scanPageNumber)) != pageSize_) damaged("page lost");
}

}  // namespace mdbread
