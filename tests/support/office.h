#pragma once
// LibreOffice run headless for tests, in a profile of its own that recalculates every workbook on
// opening: a value read back from a formula is computed there, never the value cached in the
// file. Each start converts a whole batch of files, and every process it started (the launcher
// and the office itself, one process group) is gone when the call returns.
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace ovtest {

class Office {
public:
    // LibreOffice's "soffice" is on the search path.
    static bool installed();

    // Starts the office once to create the profile, then sets the recalculation on loading.
    // Throws std::runtime_error with the office's output when it fails.
    Office();

    // Converts the files in one start into `format` (a --convert-to argument such as
    // "csv:Text - txt - csv (StarCalc):59,34,76,1,,1040,false,true,false,false"); returns the
    // files written, in the order of `inputs`, each named like its input with `extension`.
    std::vector<std::filesystem::path> convert(const std::vector<std::filesystem::path>& inputs,
                                               const std::string& format, const std::string& extension);

private:
    void run(std::vector<std::string> args);
    TempFolder home_;
};

// The first sheet exported to CSV with raw values: ";" between cells, texts in double quotes when
// they need them. Rows of cells, quotes removed.
std::vector<std::vector<std::string>> ReadOfficeCsv(const std::string& text);
// Exports of the first sheet of xlsx files as above: numbers in plain decimal with a dot, texts
// as UTF-8, formulas as their computed values.
inline const char* kCsvOfValues = "csv:Text - txt - csv (StarCalc):59,34,76,1,,1040,false,true,false,false";

}  // namespace ovtest
