// The rows a WHERE gives do not depend on how the planner finds them: a field filtered on for the
// first time is tested row by row, later ones through indexes (one range tested along another's
// order), and texts of a form met before reuse its parsed shape with their own literals. Every
// query of a run of days is checked against the rows picked out by hand, in table order.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "core/cp1252.h"
#include "core/dates.h"
#include "data/query/parser.h"
#include "data/query/planner.h"
#include "data/record_set.h"

namespace {

// 4000 stays over 2024: some without a departure, board kinds in either case.
std::shared_ptr<ov::Table> stays() {
    auto t = std::make_shared<ov::Table>();
    t->name = "Stays";
    t->fields = {{"Id", ov::FieldType::Long, 4},       {"Room", ov::FieldType::Text, 4},
                 {"Arrival", ov::FieldType::Text, 8},  {"Departure", ov::FieldType::Text, 8},
                 {"Kind", ov::FieldType::Text, 4},     {"Amount", ov::FieldType::Double, 8}};
    std::mt19937 rng(15);
    const char* kinds[] = {"bb", "BB", "HB", "hb", "FB"};
    for (int i = 0; i < 4000; ++i) {
        ov::Date arrival = ov::Date{2024, 1, 1}.plusDays(static_cast<long>(rng() % 366));
        ov::Value departure = rng() % 20 == 0 ? ov::Value::null()
                                              : ov::Value::text(arrival.plusDays(1 + static_cast<long>(rng() % 12)).ymd());
        t->rows.push_back({ov::Value::integer(i), ov::Value::text(std::to_string(101 + rng() % 80)),
                           ov::Value::text(arrival.ymd()), departure, ov::Value::text(kinds[rng() % 5]),
                           ov::Value::real(static_cast<double>(rng() % 2000) / 10.0)});
    }
    return t;
}

std::vector<uint32_t> byHand(const ov::Table& t, const std::function<bool(const ov::Row&)>& keep) {
    std::vector<uint32_t> out;
    for (uint32_t r = 0; r < t.rows.size(); ++r)
        if (keep(t.rows[r])) out.push_back(r);
    return out;
}

std::string text(const ov::Value& v) { return v.isNull() ? std::string() : std::string(v.asText()); }

TEST(QueryPlanner, EveryWayOfFindingRowsGivesTheRowsOfATestOneByOne) {
    const auto t = stays();
    int checked = 0;
    for (ov::Date day{2024, 1, 3}; day.year == 2024; day = day.plusDays(9)) {
        const std::string d = day.ymd();
        // Either quote, as a walk builds them; amounts written as whole numbers and with decimals.
        const std::string quoted = day.day % 2 ? "'" + d + "'" : "\"" + d + "\"";
        const double limit = day.day % 3 ? 50.0 + day.day : 50.5 + day.day;
        const std::string limitText = day.day % 3 ? std::to_string(50 + day.day) : std::to_string(50 + day.day) + ".5";
        struct Case {
            std::string where;
            std::function<bool(const ov::Row&)> keep;
        };
        const Case cases[] = {
            {"Arrival <= " + quoted + " and Departure > " + quoted + " and Kind <> 'hb'",
             [&](const ov::Row& r) {
                 return text(r[2]) <= d && !r[3].isNull() && text(r[3]) > d &&
                        ov::cp1252::toUpper(text(r[4])) != "HB";
             }},
            {"Room >= '' and Room <= 'ZZZZ' and Arrival = " + quoted, [&](const ov::Row& r) { return text(r[2]) == d; }},
            {"Amount > " + limitText + " and Arrival <= " + quoted + " and Kind = 'BB'",
             [&](const ov::Row& r) {
                 return r[5].asReal() > limit && text(r[2]) <= d && ov::cp1252::toUpper(text(r[4])) == "BB";
             }},
        };
        for (const Case& c : cases) {
            auto st = ov::query::parseStatementCached("Select * From Stays Where " + c.where);
            EXPECT_EQ(ov::query::selectRows(*t, *st), byHand(*t, c.keep)) << c.where;
            // A walk of finds over a few rows (tested one by one) meets the same ones.
            std::vector<uint32_t> few;
            for (uint32_t r = 0; r < t->rows.size() && few.size() < 31; r += 7) few.push_back(r);
            ov::RecordSet rs(nullptr, t, few);
            std::vector<uint32_t> found;
            for (bool f = rs.findFirst(c.where); f; f = rs.findNext(c.where))
                found.push_back(few[static_cast<size_t>(rs.field("Id").asInteger()) / 7]);
            std::vector<uint32_t> expected;
            for (uint32_t r : few)
                if (c.keep(t->rows[r])) expected.push_back(r);
            EXPECT_EQ(found, expected) << c.where;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 3 * 41);
}

}  // namespace
