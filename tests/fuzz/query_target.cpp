// Fuzz target: the query parser and evaluator. The bytes are a criteria text, run as the WHERE of
// a statement, as a find, and as a whole statement, over the dialect tests' table with a row of
// extreme values. The engine's errors (ov::Error) are answers; anything else is a finding.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <numeric>
#include <string>

#include "core/error.h"
#include "data/query/parser.h"
#include "data/query/planner.h"
#include "data/query_dialect_cases.h"
#include "data/record_set.h"

namespace {

std::shared_ptr<const ov::Table> fuzzTable() {
    auto t = ovtest::dialect::inMemoryTable();
    t->rows.push_back({ov::Value::integer(std::numeric_limits<int64_t>::min()), ov::Value::text(std::string(300, 'Z')),
                       ov::Value::text("%*?[#"), ov::Value::currency(ov::Money::fromUnits(std::numeric_limits<int64_t>::min())),
                       ov::Value::real(std::numeric_limits<double>::max()), ov::Value::integer(std::numeric_limits<int64_t>::max()),
                       ov::Value::real(-std::numeric_limits<double>::infinity()), ov::Value::text("99999999"),
                       ov::Value::text("")});
    return t;
}

template <typename F>
void answered(F&& f) {
    try {
        f();
    } catch (const ov::Error&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::shared_ptr<const ov::Table> table = fuzzTable();
    const std::string text(reinterpret_cast<const char*>(data), size);
    answered([&] { ov::query::selectRows(*table, ov::query::parseStatement("Select * From T Where " + text)); });
    answered([&] { ov::query::selectRows(*table, ov::query::parseStatement(text)); });
    answered([&] {
        std::vector<uint32_t> rows(table->rows.size());
        std::iota(rows.begin(), rows.end(), 0u);
        ov::RecordSet rs(nullptr, table, rows);
        for (bool found = rs.findFirst(text); found; found = rs.findNext(text)) {
        }
    });
    return 0;
}
