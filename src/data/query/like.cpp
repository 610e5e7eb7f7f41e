#include "data/query/like.h"

#include "core/cp1252.h"

namespace ov::query {

std::optional<LikePattern> LikePattern::compile(std::string_view p) {
    LikePattern out;
    for (size_t i = 0; i < p.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(p[i]);
        Item item;
        if (c == '*') {
            // Consecutive stars mean the same as one.
            if (!out.items_.empty() && out.items_.back().kind == Item::AnyRun) continue;
            item.kind = Item::AnyRun;
        } else if (c == '?') {
            item.kind = Item::AnyChar;
        } else if (c == '#') {
            item.kind = Item::Digit;
        } else if (c == '[') {
            size_t close = p.find(']', i + 1);
            if (close == std::string_view::npos) return std::nullopt;
            std::string_view body = p.substr(i + 1, close - i - 1);
            i = close;
            if (body.empty()) continue;  // "[]" stands for nothing
            item.kind = Item::Set;
            if (body.front() == '!' && body.size() > 1) {
                item.negated = true;
                body.remove_prefix(1);
            }
            for (size_t k = 0; k < body.size(); ++k) {
                char first = body[k];
                char last = first;
                if (k + 2 < body.size() && body[k + 1] == '-') {
                    last = body[k + 2];
                    k += 2;
                }
                item.ranges += first;
                item.ranges += last;
            }
        } else {
            item.kind = Item::Char;
            item.c = cp1252::upper(c);
        }
        out.items_.push_back(std::move(item));
    }
    return out;
}

bool LikePattern::matchesOne(const Item& item, unsigned char c) const {
    switch (item.kind) {
        case Item::Char: return cp1252::upper(c) == item.c;
        case Item::AnyChar: return true;
        case Item::Digit: return c >= '0' && c <= '9';
        case Item::Set: {
            unsigned char forms[3] = {c, cp1252::upper(c), cp1252::lower(c)};
            bool in = false;
            for (size_t k = 0; k + 1 < item.ranges.size() && !in; k += 2) {
                auto lo = static_cast<unsigned char>(item.ranges[k]);
                auto hi = static_cast<unsigned char>(item.ranges[k + 1]);
                for (unsigned char f : forms)
                    if (f >= lo && f <= hi) in = true;
            }
            return in != item.negated;
        }
        case Item::AnyRun: break;
    }
    return false;
}

bool LikePattern::matches(std::string_view text) const {
    // Greedy walk that goes back to the last "*" on a mismatch; every other item takes one character.
    constexpr size_t none = static_cast<size_t>(-1);
    size_t t = 0, p = 0, starItem = none, starText = 0;
    const size_t n = text.size(), m = items_.size();
    while (t < n) {
        if (p < m && items_[p].kind == Item::AnyRun) {
            starItem = p++;
            starText = t;
        } else if (p < m && matchesOne(items_[p], static_cast<unsigned char>(text[t]))) {
            ++p;
            ++t;
        } else if (starItem != none) {
            p = starItem + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < m && items_[p].kind == Item::AnyRun) ++p;
    return p == m;
}

}  // namespace ov::query
