#pragma once
// Indexes built on first use. A loaded table never changes, so its indexes hang on the table
// (Table::indexes) and serve every record set and every day of a report.
//
// A field's index orders the rows by value and gives every row the rank of its value (0 for
// null, equal values one rank). A range of values is then a range of ranks, an equality a single
// rank found by hashing, and testing a row against a bound or ordering two rows is a comparison
// of two integers. It is built by grouping the rows by their key (text in capitals, numbers by
// value) and sorting the distinct keys only: a date column of a year has 366 of them.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "data/query/lexer.h"
#include "data/table.h"

namespace ov::query {

struct Shape;

// What the non-null values of a field hold; an index answers only for values of the same kind.
enum class ColumnKind : uint8_t { Empty, Text, Number, Mixed };

// A value as a hash key: text in capitals (equal without regard to case), numbers by value.
struct IndexKey {
    bool isText = false;
    std::string text;
    double number = 0;
};
// False for null: null equals nothing.
bool makeIndexKey(const Value& v, IndexKey& key);
// Appends the value as a part of a hash key made of several values (groups, DISTINCT, joins):
// text without regard to case, numbers by value, null a value of its own.
void appendKey(const Value& v, std::string& key);

struct RangeBound {
    Value value;
    bool inclusive = true;
};

class FieldIndex {
public:
    FieldIndex(const Table& table, int field);

    ColumnKind kind() const { return kind_; }
    // False for a null bound and for a bound of the other kind (the engine converts those row by row).
    bool canAnswer(const Value& bound) const;

    struct Slice {
        size_t first = 0, last = 0;          // order()[first, last)
        uint32_t lowRank = 0, highRank = 0;  // the ranks [lowRank, highRank) of those rows
        size_t size() const { return last - first; }
        bool holds(uint32_t rank) const { return rank >= lowRank && rank < highRank; }
    };
    Slice range(const Table& table, const std::optional<RangeBound>& low, const std::optional<RangeBound>& high) const;
    Slice equal(const IndexKey& key) const;

    // Row positions with a non-null value, by value; equal values in table order.
    const std::vector<uint32_t>& order() const { return order_; }
    uint32_t rankOf(uint32_t row) const { return rank_[row]; }
    int field() const { return field_; }

private:
    int field_;
    ColumnKind kind_ = ColumnKind::Empty;
    std::vector<uint32_t> order_;
    std::vector<uint32_t> rank_;        // by row position
    std::vector<uint32_t> groupStart_;  // by rank - 1: where its rows start in order_; one more at the end
    std::unordered_map<std::string, uint32_t> textRank_;
    std::unordered_map<double, uint32_t> numberRank_;
};

// The positions of a record set's rows (a subset of a table, in any order) grouped by one field's
// key, for find operations: built from the subset's own values, so a find over a day's rows never
// builds an index of the whole table.
class SubsetIndex {
public:
    SubsetIndex(const Table& table, int field, const std::vector<uint32_t>& rows);
    // As FieldIndex::canAnswer, for the subset's values.
    bool canAnswer(const Value& bound) const;
    // The positions, ascending, whose value equals the key.
    std::pair<const uint64_t*, const uint64_t*> equal(const IndexKey& key) const;
    static uint32_t positionOf(uint64_t entry) { return static_cast<uint32_t>(entry); }

private:
    ColumnKind kind_ = ColumnKind::Empty;
    std::vector<uint64_t> entries_;  // group << 32 | position, sorted
    std::unordered_map<std::string, uint32_t> textGroup_;
    std::unordered_map<double, uint32_t> numberGroup_;
};

// What a column holds: the kind of its values, how many are null, the smallest and the largest
// (in the order of ORDER BY).
struct ColumnStats {
    ColumnKind kind = ColumnKind::Empty;
    size_t nulls = 0;
    Value min, max;
};

// Everything the query engine keeps beside one loaded table.
struct TableIndexes {
    const Row* rowsData = nullptr;  // the rows these indexes were built on
    size_t rowCount = 0;
    std::mutex mutex;
    std::vector<std::shared_ptr<const FieldIndex>> fields;                 // by field position
    std::vector<std::shared_ptr<const ColumnStats>> stats;                 // by field position
    std::vector<uint8_t> probed;                                           // by field position: filtered on before
    std::map<std::pair<int, int>, std::shared_ptr<const std::vector<uint32_t>>> along;  // see ranksAlong
    std::unordered_map<std::string, std::shared_ptr<const Shape>> shapes;  // bound criteria, by shape
    std::vector<std::pair<LiteralTemplate, std::shared_ptr<const Shape>>> templates;  // forms of texts met
};

TableIndexes& indexesOf(const Table& table);
std::shared_ptr<const FieldIndex> fieldIndexOf(const Table& table, int field);
const ColumnStats& columnStatsOf(const Table& table, int field);
// The ranks of `of`'s values for the rows of `by`'s order(), in that order: a range of `by`
// tested against a range of `of` reads them one after another, not row by row across the table
// (the guests arrived by a day and leaving after it).
std::shared_ptr<const std::vector<uint32_t>> ranksAlong(const Table& table, const FieldIndex& by, const FieldIndex& of);
// Notes a filter on the field; whether one came before. A field filtered on once (a one-day
// run) is cheaper to test row by row than to index; the second filter pays for the index.
bool probedBefore(const Table& table, int field);
// The field's index when something has built it already; null otherwise.
std::shared_ptr<const FieldIndex> builtFieldIndex(const Table& table, int field);

// Below this many rows a plain walk is as quick as using an index.
inline constexpr size_t kIndexThreshold = 32;

}  // namespace ov::query
