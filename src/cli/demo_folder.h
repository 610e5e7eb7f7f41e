#pragma once
// The demo working folder: every database of the suite in the embedded format, holding a year of a
// small hotel (60 rooms, two hotels) or as many rooms and years as asked, plus Hotel2.txt and the
// layout file ColonneOV.stp. The same seed, day, rooms and years always give the same files.
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/dates.h"
#include "data/table.h"

namespace ov::demo {

struct DemoSettings {
    uint64_t seed = 1;
    // The data covers the 12 x years months ending with the last full month before this day.
    Date today;
    int rooms = 60;  // split between the two hotels
    int years = 1;

    static constexpr int kMinRooms = 10, kMaxRooms = 2000;
    static constexpr int kMaxYears = 10;
};

struct DemoRoom {
    std::string number;
    int hotel = 1;  // 1 or 2
    int beds = 2;
};

// The rooms of the two hotels: the first half (one more when odd) in hotel 1, numbered 101, 102...
// (1001, 1002... when a hotel has a hundred rooms or more), the rest in hotel 2 numbered 201...;
// in each hotel a fifth single rooms, then doubles up to four fifths, triples, quadruples.
std::vector<DemoRoom> demoRooms(int count);
// Hotel2.txt: the range of room numbers of hotel 2, as a CR LF line.
std::string hotelTwoRanges(const std::vector<DemoRoom>& rooms);

// A small deterministic generator (splitmix64): the same numbers on every platform and library.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next();
    // A whole number from lo to hi, both included.
    int range(int lo, int hi);
    bool chance(int permille) { return range(0, 999) < permille; }
    // An index chosen with the given weights.
    size_t weighted(const std::vector<int>& weights);
    template <class T>
    const T& pick(const std::vector<T>& items) {
        return items[static_cast<size_t>(range(0, static_cast<int>(items.size()) - 1))];
    }

private:
    uint64_t state_;
};

// Rows of the suite's tables by (file, table), each in the field order of the suite's schema.
class DemoTables {
public:
    // A row given as field name and value; fields not named are null. An unknown file, table or
    // field is a programming error and throws.
    void add(const std::string& file, const std::string& table,
             std::initializer_list<std::pair<const char*, Value>> values);
    const std::vector<Row>& rows(const std::string& file, const std::string& table) const;

private:
    std::map<std::pair<std::string, std::string>, std::vector<Row>> rows_;
};

// Text from UTF-8 source code, held in code page 1252 like every text of the program.
Value text(const char* utf8);
Value text(const std::string& utf8);
Value number(long long n);
// Money from a count of cents.
Value cents(long long c);

// The whole period of the hotel: guest cards, arrangements, documents, takings, statistics and the
// fixed tables (codes, printers, columns).
DemoTables simulateHotel(const DemoSettings& settings);

// Creates `folder` (and its parents) and writes the demo files into it. Error, writing nothing,
// when any of the files already exists there (in any letter case).
void writeDemoFolder(const std::filesystem::path& folder, const DemoSettings& settings);

}  // namespace ov::demo
