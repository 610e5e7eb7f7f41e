#include "data/query/indexes.h"

#include <algorithm>

#include "core/cp1252.h"
#include "data/query/evaluator.h"

namespace ov::query {
namespace {

ColumnKind widen(ColumnKind k, const Value& v) {
    ColumnKind mine = v.isText() ? ColumnKind::Text : ColumnKind::Number;
    if (k == ColumnKind::Empty || k == mine) return mine;
    return ColumnKind::Mixed;
}

}  // namespace

bool makeIndexKey(const Value& v, IndexKey& key) {
    if (v.isNull()) return false;
    key.isText = v.isText();
    if (key.isText) {
        std::string_view s = v.asText();
        key.text.resize(s.size());
        for (size_t i = 0; i < s.size(); ++i) key.text[i] = static_cast<char>(cp1252::upper(static_cast<unsigned char>(s[i])));
    } else {
        key.number = v.toDouble() + 0.0;  // -0 and 0 are one key
    }
    return true;
}

void appendKey(const Value& v, std::string& key) {
    thread_local IndexKey k;
    if (!makeIndexKey(v, k)) {
        key += '0';
        return;
    }
    if (k.isText) {
        key += 'T';
        uint32_t n = static_cast<uint32_t>(k.text.size());
        key.append(reinterpret_cast<const char*>(&n), sizeof n);
        key += k.text;
    } else {
        key += 'N';
        key.append(reinterpret_cast<const char*>(&k.number), sizeof k.number);
    }
}

FieldIndex::FieldIndex(const Table& table, int field) : field_(field) {
    const size_t f = static_cast<size_t>(field);
    rank_.assign(table.rows.size(), 0);
    for (size_t i = 0; i < table.rows.size(); ++i) {
        const Row& row = table.rows[i];
        if (f >= row.size() || row[f].isNull()) continue;
        kind_ = widen(kind_, row[f]);
        order_.push_back(static_cast<uint32_t>(i));
    }
    if (kind_ == ColumnKind::Mixed) {
        order_.clear();
        return;
    }
    std::stable_sort(order_.begin(), order_.end(),
                     [&](uint32_t a, uint32_t b) { return compareForSort(table.rows[a][f], table.rows[b][f]) < 0; });
    IndexKey key;
    for (size_t k = 0; k < order_.size(); ++k) {
        const Value& v = table.rows[order_[k]][f];
        if (k == 0 || compareForSort(table.rows[order_[k - 1]][f], v) != 0) {
            groupStart_.push_back(static_cast<uint32_t>(k));
            auto rank = static_cast<uint32_t>(groupStart_.size());
            makeIndexKey(v, key);
            if (key.isText) textRank_.emplace(key.text, rank);
            else numberRank_.emplace(key.number, rank);
        }
        rank_[order_[k]] = static_cast<uint32_t>(groupStart_.size());
    }
    groupStart_.push_back(static_cast<uint32_t>(order_.size()));
}

bool FieldIndex::canAnswer(const Value& bound) const {
    if (bound.isNull()) return false;
    if (kind_ == ColumnKind::Empty) return true;
    if (kind_ == ColumnKind::Mixed) return false;
    return (kind_ == ColumnKind::Text) == bound.isText();
}

FieldIndex::Slice FieldIndex::range(const Table& table, const std::optional<RangeBound>& low,
                                    const std::optional<RangeBound>& high) const {
    const size_t f = static_cast<size_t>(field_);
    auto valueAt = [&](uint32_t row) -> const Value& { return table.rows[row][f]; };
    auto first = order_.begin(), last = order_.end();
    if (low) {
        // First value above the bound (or equal to it when inclusive).
        first = std::partition_point(order_.begin(), order_.end(), [&](uint32_t r) {
            int c = compareForSort(valueAt(r), low->value);
            return low->inclusive ? c < 0 : c <= 0;
        });
    }
    if (high) {
        last = std::partition_point(first, order_.end(), [&](uint32_t r) {
            int c = compareForSort(valueAt(r), high->value);
            return high->inclusive ? c <= 0 : c < 0;
        });
    }
    Slice s;
    s.first = static_cast<size_t>(first - order_.begin());
    s.last = static_cast<size_t>(last - order_.begin());
    if (s.last > s.first) {
        s.lowRank = rank_[order_[s.first]];
        s.highRank = rank_[order_[s.last - 1]] + 1;
    }
    return s;
}

FieldIndex::Slice FieldIndex::equal(const IndexKey& key) const {
    Slice s;
    uint32_t rank = 0;
    if (key.isText) {
        auto it = textRank_.find(key.text);
        if (it != textRank_.end()) rank = it->second;
    } else {
        auto it = numberRank_.find(key.number);
        if (it != numberRank_.end()) rank = it->second;
    }
    if (rank == 0) return s;
    s.first = groupStart_[rank - 1];
    s.last = groupStart_[rank];
    s.lowRank = rank;
    s.highRank = rank + 1;
    return s;
}

SubsetIndex::SubsetIndex(const FieldIndex& field, const std::vector<uint32_t>& rows) {
    entries_.reserve(rows.size());
    for (size_t p = 0; p < rows.size(); ++p)
        entries_.push_back(uint64_t{field.rankOf(rows[p])} << 32 | static_cast<uint32_t>(p));
    std::sort(entries_.begin(), entries_.end());
}

std::pair<const uint64_t*, const uint64_t*> SubsetIndex::equal(const FieldIndex::Slice& slice) const {
    if (slice.size() == 0) return {nullptr, nullptr};
    uint64_t lo = uint64_t{slice.lowRank} << 32, hi = uint64_t{slice.highRank} << 32;
    const uint64_t* b = entries_.data();
    const uint64_t* e = b + entries_.size();
    return {std::lower_bound(b, e, lo), std::lower_bound(b, e, hi)};
}

TableIndexes& indexesOf(const Table& table) {
    static std::mutex creation;
    std::lock_guard lock(creation);
    // A copy of a table shares the pointer but not the rows: indexes built on other rows are of no use.
    if (!table.indexes || table.indexes->rowsData != table.rows.data() || table.indexes->rowCount != table.rows.size()) {
        auto fresh = std::make_shared<TableIndexes>();
        fresh->rowsData = table.rows.data();
        fresh->rowCount = table.rows.size();
        fresh->fields.resize(table.fields.size());
        table.indexes = std::move(fresh);
    }
    return *table.indexes;
}

std::shared_ptr<const FieldIndex> fieldIndexOf(const Table& table, int field) {
    TableIndexes& ix = indexesOf(table);
    std::lock_guard lock(ix.mutex);
    auto& slot = ix.fields.at(static_cast<size_t>(field));
    if (!slot) slot = std::make_shared<const FieldIndex>(table, field);
    return slot;
}

}  // namespace ov::query
