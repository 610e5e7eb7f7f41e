#include "data/column_needs.h"

#include <algorithm>

#include "core/cp1252.h"

namespace ov {
namespace {

thread_local const ColumnNeeds* current = nullptr;

}  // namespace

bool hasName(const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return cp1252::equalNoCase(n, name); });
}

const std::vector<std::string>* ColumnNeeds::of(const std::string& table) const {
    for (const auto& [name, fields] : tables_)
        if (cp1252::equalNoCase(name, table)) return &fields;
    return nullptr;
}

const ColumnNeeds* currentColumnNeeds() { return current; }

ColumnNeedsScope::ColumnNeedsScope(const ColumnNeeds* needs) : previous_(current) { current = needs; }

ColumnNeedsScope::~ColumnNeedsScope() { current = previous_; }

bool columnsCover(const std::vector<std::string>* had, const std::vector<std::string>* wanted) {
    if (!had) return true;
    if (!wanted) return false;
    return std::all_of(wanted->begin(), wanted->end(), [&](const std::string& n) { return hasName(*had, n); });
}

}  // namespace ov
