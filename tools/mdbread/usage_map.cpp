#include "usage_map.h"

#include <string>

#include "row_scanner.h"

namespace mdbread {
namespace {

constexpr unsigned char kBitmapPage = 0x05;
constexpr unsigned char kInlineMap = 0;
constexpr unsigned char kPagedMap = 1;

// What a map listing a page past the end of the file means: damage in a table's map, room to grow
// in the file's map of free pages.
enum class PastTheEnd { Damage, Ignore };

// The pages a map's bytes list; `fail` says what is wrong with it.
template <typename Fail>
std::vector<uint32_t> decode(MdbHandle* mdb, const unsigned char* map, size_t size, uint32_t pageCount,
                             PastTheEnd pastTheEnd, Fail&& fail) {
    const size_t pageSize = static_cast<size_t>(mdb->fmt->pg_size);
    if (size < 1) fail("page map missing");
    std::vector<uint32_t> pages;
    auto add = [&](uint64_t page) {
        if (page < pageCount) pages.push_back(static_cast<uint32_t>(page));
        else if (pastTheEnd == PastTheEnd::Damage)
            fail("the page map lists page " + std::to_string(page) + ", past the end of the file");
    };
    if (map[0] == kInlineMap) {
        if (size < 5) fail("page map cut short");
        const uint64_t first = u32(map + 1);
        for (size_t bit = 0; bit < (size - 5) * 8; ++bit)
            if (map[5 + bit / 8] & (1u << (bit % 8))) add(first + bit);
    } else if (map[0] == kPagedMap) {
        const size_t bitsPerPage = (pageSize - 4) * 8;
        for (size_t k = 0; 1 + 4 * k + 4 <= size; ++k) {
            const uint32_t bitmapPage = u32(map + 1 + 4 * k);
            if (bitmapPage == 0) continue;
            if (bitmapPage >= pageCount && pastTheEnd == PastTheEnd::Ignore) continue;
            if (bitmapPage >= pageCount || mdb_read_alt_pg(mdb, bitmapPage) != mdb->fmt->pg_size ||
                mdb->alt_pg_buf[0] != kBitmapPage)
                fail("page " + std::to_string(bitmapPage) + " of the page map is not a page map");
            const unsigned char* bits = mdb->alt_pg_buf + 4;
            for (size_t bit = 0; bit < bitsPerPage; ++bit)
                if (bits[bit / 8] & (1u << (bit % 8))) add(k * bitsPerPage + bit);
        }
    } else {
        fail("page map of unknown kind " + std::to_string(map[0]));
    }
    return pages;
}

}  // namespace

std::vector<uint32_t> freePages(MdbHandle* mdb, uint32_t pageCount) {
    auto fail = [](const std::string& what) { throw Damaged("the file's page map: " + what); };
    constexpr uint32_t kFileMapPage = 1;
    if (pageCount <= kFileMapPage || mdb_read_alt_pg(mdb, kFileMapPage) != mdb->fmt->pg_size ||
        mdb->alt_pg_buf[0] != MDB_PAGE_DATA)
        fail("page 1 is not a data page");
    const RowSlot s = rowSlot(mdb, mdb->alt_pg_buf, rowsOnPage(mdb, mdb->alt_pg_buf, "page 1"), 0, "page 1");
    // Decoding reads bitmap pages into the same buffer: the map is copied first.
    const std::vector<unsigned char> map(mdb->alt_pg_buf + s.start, mdb->alt_pg_buf + s.end);
    return decode(mdb, map.data(), map.size(), pageCount, PastTheEnd::Ignore, fail);
}

std::vector<uint32_t> listedPages(MdbTableDef* table, uint32_t pageCount) {
    MdbHandle* mdb = table->entry->mdb;
    auto fail = [&](const std::string& what) { throw Damaged(std::string("table ") + table->name + ": " + what); };

    // libmdb copied the map from wherever the pointer led, a page past the end included (it reads
    // as zeros there, an empty map): the pointer is checked here.
    if (table->entry->table_pg >= pageCount || mdb_read_alt_pg(mdb, table->entry->table_pg) != mdb->fmt->pg_size)
        fail("definition page lost");
    const uint32_t mapRow = u32(mdb->alt_pg_buf + mdb->fmt->tab_usage_map_offset);
    const uint32_t mapPage = mapRow >> 8;
    if (mapPage == 0 || mapPage >= pageCount || mdb_read_alt_pg(mdb, mapPage) != mdb->fmt->pg_size ||
        mdb->alt_pg_buf[0] != MDB_PAGE_DATA)
        fail("the page map's page " + std::to_string(mapPage) + " is not a data page");
    return decode(mdb, table->usage_map, table->usage_map ? table->map_sz : 0, pageCount, PastTheEnd::Damage, fail);
}

}  // namespace mdbread
