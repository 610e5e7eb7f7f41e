#pragma once
// Printed pages read back with poppler: page count, page sizes and the text of a page as
// pdftotext -layout lays it out (UTF-8).
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace ovtest {

int pdfPageCount(const std::filesystem::path& pdf);
// Width and height in points of every page, after the page's rotation.
std::vector<std::pair<double, double>> pdfPageSizes(const std::filesystem::path& pdf);
std::string pdfPageText(const std::filesystem::path& pdf, int page);
// The output of a command line (stdout).
std::string commandOutput(const std::string& command);

}  // namespace ovtest
