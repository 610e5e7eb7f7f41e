#pragma once
// Reads back what a hotel data summary wrote to "Orvalis.csv": per day the 24 guest counters,
// the U and NU amounts and the day row; the totals row.
#include <array>
#include <map>
#include <string>
#include <vector>

#include "core/money.h"

namespace ovtest {

struct SummaryDay {
    std::array<long, 24> counters{};
    std::vector<std::string> u, nu, row;  // the cells of the three lines, trimmed
};

struct SummaryCsv {
    std::map<std::string, SummaryDay> days;  // by "DD/MM"
    std::vector<std::string> totals;         // cells of the "T." row, trimmed
    std::vector<std::string> lines;          // every line, without line ends
};

SummaryCsv ParseSummaryCsv(const std::string& bytes);
// "1250,50" -> Money.
ov::Money ItalianAmount(const std::string& cell);
std::vector<std::string> SplitLines(const std::string& bytes);  // on CR LF

}  // namespace ovtest
