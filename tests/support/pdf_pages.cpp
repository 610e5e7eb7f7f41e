#include "support/pdf_pages.h"

#include <array>
#include <cstdio>
#include <memory>
#include <regex>

namespace ovtest {

namespace {

std::string quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

}  // namespace

std::string commandOutput(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return out;
    std::array<char, 4096> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), pipe.get())) > 0) out.append(buf.data(), n);
    return out;
}

int pdfPageCount(const std::filesystem::path& pdf) {
    std::smatch m;
    std::string info = commandOutput("pdfinfo " + quoted(pdf) + " 2>/dev/null");
    static const std::regex pages(R"(Pages:\s+(\d+))");
    return std::regex_search(info, m, pages) ? std::stoi(m[1]) : -1;
}

std::vector<std::pair<double, double>> pdfPageSizes(const std::filesystem::path& pdf) {
    const int pages = pdfPageCount(pdf);
    if (pages < 1) return {};
    std::string info = commandOutput("pdfinfo -f 1 -l " + std::to_string(pages) + " " + quoted(pdf) + " 2>/dev/null");
    std::vector<std::pair<double, double>> sizes;
    static const std::regex size(R"(Page\s+\d+\s+size:\s+([\d.]+) x ([\d.]+))");
    static const std::regex rot(R"(Page\s+\d+\s+rot:\s+(\d+))");
    std::vector<int> rotations;
    for (std::sregex_iterator it(info.begin(), info.end(), rot), end; it != end; ++it)
        rotations.push_back(std::stoi((*it)[1]));
    size_t i = 0;
    for (std::sregex_iterator it(info.begin(), info.end(), size), end; it != end; ++it, ++i) {
        double w = std::stod((*it)[1]), h = std::stod((*it)[2]);
        if (i < rotations.size() && rotations[i] % 180 == 90) std::swap(w, h);
        sizes.emplace_back(w, h);
    }
    return sizes;
}

std::string pdfPageText(const std::filesystem::path& pdf, int page) {
    return commandOutput("pdftotext -layout -enc UTF-8 -f " + std::to_string(page) + " -l " + std::to_string(page) +
                         " " + quoted(pdf) + " - 2>/dev/null");
}

}  // namespace ovtest
