#pragma once
// Page-level damage of Jet files, the way disks and interrupted copies damage them: a page of
// zeros, two pages swapped, a copy cut at a page boundary. A sweep damages copies of real files at
// random and reads each through the Jet reading helper, as ovdesk reads it: a read must either end
// in an error or give exactly the rows of the undamaged file. Used by the damage sweep tool and by
// a fixed-seed test.
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace ovdamage {

enum class Kind { ZeroedPage, SwappedPages, CutCopy };

struct Damage {
    Kind kind = Kind::ZeroedPage;
    size_t first = 0;   // the page zeroed, the first page swapped, the first page cut away
    size_t second = 0;  // the other page swapped
    std::string describe() const;
};

// Pages of 2048 bytes (Jet 3) or 4096 (Jet 4), as the file's header says.
size_t pageSizeOf(const std::string& bytes);
Damage randomDamage(std::mt19937& random, size_t pages);
std::string applyDamage(const std::string& bytes, size_t pageSize, const Damage& damage);

// What one read of a damaged copy gave.
enum class Outcome {
    Error,              // the helper ended with an error status: the damage was noticed
    SameRows,           // every table exactly as in the undamaged file (the damage hit nothing read)
    SameRowsReordered,  // the same rows, some table in another order (data pages of one table swapped)
    WrongRows,          // a table of other rows, or missing, read as a success: the failure to avoid
    Crash,              // the helper died on a signal
    Hang,               // the helper did not end within the timeout
};
const char* outcomeName(Outcome o);

struct Figures {
    size_t copies = 0;
    size_t byOutcome[6] = {};
    size_t peakOutputBytes = 0;  // the largest stream a damaged copy made the helper write
    std::vector<std::string> wrong;  // file and damage of every WrongRows, Crash and Hang
};

// Damages `copies` copies of each file (cycling through the files) with the given seed, writes each
// into `scratch` and reads it with the helper at `helper`.
Figures sweep(const std::filesystem::path& helper, const std::vector<std::filesystem::path>& files, size_t copies,
              uint32_t seed, const std::filesystem::path& scratch);

}  // namespace ovdamage
