#include "data/query/indexes.h"

#include <algorithm>
#include <cstring>

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
        cp1252::toUpper(v.asText(), key.text);
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
    const size_t n = table.rows.size();
    rank_.assign(n, 0);
    for (size_t i = 0; i < n && kind_ != ColumnKind::Mixed; ++i) {
        const Row& row = table.rows[i];
        if (f < row.size() && !row[f].isNull()) kind_ = widen(kind_, row[f]);
    }
    if (kind_ == ColumnKind::Mixed || kind_ == ColumnKind::Empty) {
        groupStart_.push_back(0);
        return;
    }
    // Rows grouped by key (rank_ holds group + 1 for now), a row of each group standing for it.
    std::vector<uint32_t> sample;
    IndexKey key;
    const bool text = kind_ == ColumnKind::Text;
    for (size_t i = 0; i < n; ++i) {
        const Row& row = table.rows[i];
        if (f >= row.size() || !makeIndexKey(row[f], key)) continue;
        const auto group = static_cast<uint32_t>(sample.size());
        const uint32_t g = text ? textRank_.try_emplace(key.text, group).first->second
                                : numberRank_.try_emplace(key.number, group).first->second;
        if (g == group) sample.push_back(static_cast<uint32_t>(i));
        rank_[i] = g + 1;
    }
    // The distinct keys in value order: capitals compare byte by byte as texts compare without
    // regard to case; numbers by value, exactly.
    const size_t groups = sample.size();
    std::vector<uint32_t> byValue(groups);
    for (uint32_t g = 0; g < groups; ++g) byValue[g] = g;
    if (text) {
        std::vector<const std::string*> keyOf(groups);
        for (const auto& [k, g] : textRank_) keyOf[g] = &k;
        std::sort(byValue.begin(), byValue.end(), [&](uint32_t a, uint32_t b) { return *keyOf[a] < *keyOf[b]; });
    } else {
        std::sort(byValue.begin(), byValue.end(), [&](uint32_t a, uint32_t b) {
            return compareForSort(table.rows[sample[a]][f], table.rows[sample[b]][f]) < 0;
        });
    }
    std::vector<uint32_t> rankOfGroup(groups);
    for (uint32_t r = 0; r < groups; ++r) rankOfGroup[byValue[r]] = r + 1;
    for (auto& entry : textRank_) entry.second = rankOfGroup[entry.second];
    for (auto& entry : numberRank_) entry.second = rankOfGroup[entry.second];
    // Rows by rank, each rank's rows in table order.
    groupStart_.assign(groups + 1, 0);
    for (size_t i = 0; i < n; ++i) {
        if (rank_[i] == 0) continue;
        rank_[i] = rankOfGroup[rank_[i] - 1];
        ++groupStart_[rank_[i]];
    }
    for (size_t r = 1; r <= groups; ++r) groupStart_[r] += groupStart_[r - 1];
    order_.resize(groupStart_[groups]);
    std::vector<uint32_t> next(groupStart_.begin(), groupStart_.end() - 1);
    for (size_t i = 0; i < n; ++i)
        if (rank_[i] != 0) order_[next[rank_[i] - 1]++] = static_cast<uint32_t>(i);
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

SubsetIndex::SubsetIndex(const Table& table, int field, const std::vector<uint32_t>& rows) {
    const size_t f = static_cast<size_t>(field);
    entries_.reserve(rows.size());
    IndexKey key;
    for (size_t p = 0; p < rows.size(); ++p) {
        const Row& row = table.rows[rows[p]];
        if (f >= row.size() || !makeIndexKey(row[f], key)) continue;
        kind_ = widen(kind_, row[f]);
        const auto fresh = static_cast<uint32_t>(textGroup_.size() + numberGroup_.size());
        const uint32_t group = key.isText ? textGroup_.try_emplace(key.text, fresh).first->second
                                          : numberGroup_.try_emplace(key.number, fresh).first->second;
        entries_.push_back(uint64_t{group} << 32 | static_cast<uint32_t>(p));
    }
    std::sort(entries_.begin(), entries_.end());
}

bool SubsetIndex::canAnswer(const Value& bound) const {
    if (bound.isNull() || kind_ == ColumnKind::Mixed) return false;
    return kind_ == ColumnKind::Empty || (kind_ == ColumnKind::Text) == bound.isText();
}

std::pair<const uint64_t*, const uint64_t*> SubsetIndex::equal(const IndexKey& key) const {
    uint32_t group;
    if (key.isText) {
        auto it = textGroup_.find(key.text);
        if (it == textGroup_.end()) return {nullptr, nullptr};
        group = it->second;
    } else {
        auto it = numberGroup_.find(key.number);
        if (it == numberGroup_.end()) return {nullptr, nullptr};
        group = it->second;
    }
    const uint64_t* b = entries_.data();
    const uint64_t* e = b + entries_.size();
    const uint64_t lo = uint64_t{group} << 32;
    const uint64_t* first = std::lower_bound(b, e, lo);
    return {first, std::lower_bound(first, e, lo + (uint64_t{1} << 32))};
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
        fresh->stats.resize(table.fields.size());
        fresh->probed.resize(table.fields.size());
        table.indexes = std::move(fresh);
    }
    return *table.indexes;
}

const ColumnStats& columnStatsOf(const Table& table, int field) {
    TableIndexes& ix = indexesOf(table);
    std::lock_guard lock(ix.mutex);
    auto& slot = ix.stats.at(static_cast<size_t>(field));
    if (!slot) {
        auto s = std::make_shared<ColumnStats>();
        const size_t f = static_cast<size_t>(field);
        for (const Row& row : table.rows) {
            if (f >= row.size() || row[f].isNull()) {
                ++s->nulls;
                continue;
            }
            const Value& v = row[f];
            if (s->kind == ColumnKind::Empty) s->min = s->max = v;
            s->kind = widen(s->kind, v);
            if (compareForSort(v, s->min) < 0) s->min = v;
            if (compareForSort(v, s->max) > 0) s->max = v;
        }
        slot = std::move(s);
    }
    return *slot;
}

std::shared_ptr<const std::vector<uint32_t>> ranksAlong(const Table& table, const FieldIndex& by, const FieldIndex& of) {
    TableIndexes& ix = indexesOf(table);
    std::lock_guard lock(ix.mutex);
    auto& slot = ix.along[{by.field(), of.field()}];
    if (!slot) {
        auto ranks = std::make_shared<std::vector<uint32_t>>();
        ranks->reserve(by.order().size());
        for (uint32_t row : by.order()) ranks->push_back(of.rankOf(row));
        slot = std::move(ranks);
    }
    return slot;
}

bool probedBefore(const Table& table, int field) {
    TableIndexes& ix = indexesOf(table);
    std::lock_guard lock(ix.mutex);
    auto& seen = ix.probed.at(static_cast<size_t>(field));
    const bool before = seen != 0;
    seen = 1;
    return before;
}

std::shared_ptr<const FieldIndex> builtFieldIndex(const Table& table, int field) {
    TableIndexes& ix = indexesOf(table);
    std::lock_guard lock(ix.mutex);
    return ix.fields.at(static_cast<size_t>(field));
}

std::shared_ptr<const FieldIndex> fieldIndexOf(const Table& table, int field) {
    TableIndexes& ix = indexesOf(table);
    std::lock_guard lock(ix.mutex);
    auto& slot = ix.fields.at(static_cast<size_t>(field));
    if (!slot) slot = std::make_shared<const FieldIndex>(table, field);
    return slot;
}

}  // namespace ov::query
