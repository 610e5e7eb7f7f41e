#include "summary/summary_output.h"

#include <stdexcept>

#include "core/cp1252.h"

namespace ovtest {

std::vector<std::string> SplitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) throw std::runtime_error("line without CR LF at the end of the file");
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

namespace {

std::vector<std::string> cells(const std::string& line) {
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        size_t semi = line.find(';', start);
        if (semi == std::string::npos) break;
        out.emplace_back(ov::cp1252::trim(std::string_view(line).substr(start, semi - start)));
        start = semi + 1;
    }
    return out;
}

const int kU[12] = {0, 1, 2, 3, 4, 5, 12, 13, 14, 15, 16, 17};
const int kNU[12] = {6, 7, 8, 9, 10, 11, 18, 19, 20, 21, 22, 23};

}  // namespace

ov::Money ItalianAmount(const std::string& cell) {
    std::string s(ov::cp1252::trim(cell));
    for (auto& c : s)
        if (c == ',') c = '.';
    auto m = ov::Money::parse(s);
    if (!m) throw std::runtime_error("not an amount: '" + cell + "'");
    return *m;
}

SummaryCsv ParseSummaryCsv(const std::string& bytes) {
    SummaryCsv out;
    out.lines = SplitLines(bytes);
    std::vector<std::string> pendingU, pendingNU;
    for (const auto& line : out.lines) {
        auto c = cells(line);
        if (c.size() != 30) continue;
        if (line.rfind("U ;", 0) == 0) pendingU = c;
        else if (line.rfind("NU;", 0) == 0) pendingNU = c;
        else if (line.rfind("T.;", 0) == 0) out.totals = c;
        else if (line.size() > 5 && line[2] == '/' && line[5] == ';') {
            SummaryDay d;
            d.u = pendingU;
            d.nu = pendingNU;
            d.row = c;
            for (int k = 0; k < 12; ++k) {
                d.counters[kU[k]] = std::stol(d.u.at(1 + k));
                d.counters[kNU[k]] = std::stol(d.nu.at(1 + k));
            }
            out.days[line.substr(0, 5)] = d;
        }
    }
    return out;
}

}  // namespace ovtest
