#include "page_damage.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <map>
#include <sstream>

#include "data/jet_helper.h"
#include "data/jet_stream_reader.h"

namespace fs = std::filesystem;

namespace ovdamage {
namespace {

constexpr std::chrono::milliseconds kTimeout{20000};

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

using Tables = std::vector<std::shared_ptr<ov::Table>>;

struct Read {
    Outcome failure = Outcome::Error;
    bool ok = false;
    Tables tables;
    size_t outputBytes = 0;
};

Read readWithHelper(const fs::path& helper, const fs::path& file) {
    Read r;
    ov::jet::HelperRun run = ov::jet::runHelper(helper, file, kTimeout);
    r.outputBytes = run.output.size();
    if (run.end == ov::jet::HelperRun::End::Crashed) { r.failure = Outcome::Crash; return r; }
    if (run.end == ov::jet::HelperRun::End::TimedOut) { r.failure = Outcome::Hang; return r; }
    if (run.end != ov::jet::HelperRun::End::Exited || run.code != 0) return r;
    try {
        r.tables = ov::jetstream::parseTables(run.output);
        r.ok = true;
    } catch (const ov::jetstream::MalformedStream&) {
    }
    return r;
}

bool sameFields(const ov::Table& a, const ov::Table& b) {
    if (a.name != b.name || a.fields.size() != b.fields.size()) return false;
    for (size_t i = 0; i < a.fields.size(); ++i)
        if (a.fields[i].name != b.fields[i].name || a.fields[i].type != b.fields[i].type) return false;
    return true;
}

// Rows compared as a multiset: the same rows in another order.
bool sameRowsAnyOrder(const ov::Table& a, const ov::Table& b) {
    if (a.rows.size() != b.rows.size()) return false;
    std::map<std::string, long> count;
    auto key = [](const ov::Row& row) {
        std::string k;
        for (const ov::Value& v : row) k += v.toText(ov::NumberFormat::english()) + (v.isNull() ? "\x01" : "\x02");
        return k;
    };
    for (const auto& r : a.rows) ++count[key(r)];
    for (const auto& r : b.rows)
        if (--count[key(r)] < 0) return false;
    return true;
}

Outcome compare(const Tables& original, const Tables& got) {
    if (original.size() != got.size()) return Outcome::WrongRows;
    bool reordered = false;
    for (size_t t = 0; t < original.size(); ++t) {
        if (!sameFields(*original[t], *got[t])) return Outcome::WrongRows;
        if (original[t]->rows == got[t]->rows) continue;
        if (!sameRowsAnyOrder(*original[t], *got[t])) return Outcome::WrongRows;
        reordered = true;
    }
    return reordered ? Outcome::SameRowsReordered : Outcome::SameRows;
}

}  // namespace

std::string Damage::describe() const {
    switch (kind) {
        case Kind::ZeroedPage: return "page " + std::to_string(first) + " zeroed";
        case Kind::SwappedPages: return "pages " + std::to_string(first) + " and " + std::to_string(second) + " swapped";
        case Kind::CutCopy: return "cut before page " + std::to_string(first);
    }
    return {};
}

const char* outcomeName(Outcome o) {
    switch (o) {
        case Outcome::Error: return "error";
        case Outcome::SameRows: return "same rows";
        case Outcome::SameRowsReordered: return "same rows, other order";
        case Outcome::WrongRows: return "WRONG ROWS";
        case Outcome::Crash: return "CRASH";
        case Outcome::Hang: return "HANG";
    }
    return "?";
}

size_t pageSizeOf(const std::string& bytes) { return bytes.size() > 0x14 && bytes[0x14] == 0 ? 2048 : 4096; }

Damage randomDamage(std::mt19937& random, size_t pages) {
    Damage d;
    auto page = [&](size_t from) { return from + random() % (pages - from); };
    switch (random() % 3) {
        case 0: d.kind = Kind::ZeroedPage; d.first = page(0); break;
        case 1:
            d.kind = Kind::SwappedPages;
            d.first = page(0);
            do d.second = page(0); while (d.second == d.first && pages > 1);
            break;
        default: d.kind = Kind::CutCopy; d.first = page(1); break;
    }
    return d;
}

std::string applyDamage(const std::string& bytes, size_t pageSize, const Damage& d) {
    std::string b = bytes;
    switch (d.kind) {
        case Kind::ZeroedPage: std::fill_n(b.begin() + static_cast<long>(d.first * pageSize), pageSize, '\0'); break;
        case Kind::SwappedPages:
            std::swap_ranges(b.begin() + static_cast<long>(d.first * pageSize),
                             b.begin() + static_cast<long>((d.first + 1) * pageSize),
                             b.begin() + static_cast<long>(d.second * pageSize));
            break;
        case Kind::CutCopy: b.resize(d.first * pageSize); break;
    }
    return b;
}

Figures sweep(const fs::path& helper, const std::vector<fs::path>& files, size_t copies, uint32_t seed,
              const fs::path& scratch) {
    struct Original {
        fs::path path;
        std::string bytes;
        Tables tables;
    };
    std::vector<Original> originals;
    for (const auto& f : files) {
        Read r = readWithHelper(helper, f);
        if (r.ok) originals.push_back({f, readFile(f), r.tables});
    }
    Figures figures;
    if (originals.empty()) return figures;
    std::mt19937 random(seed);
    const fs::path copy = scratch / "damaged.mdb";
    for (size_t n = 0; n < copies; ++n) {
        const Original& o = originals[n % originals.size()];
        const size_t pageSize = pageSizeOf(o.bytes);
        const Damage d = randomDamage(random, o.bytes.size() / pageSize);
        writeFile(copy, applyDamage(o.bytes, pageSize, d));
        Read r = readWithHelper(helper, copy);
        const Outcome outcome = r.ok ? compare(o.tables, r.tables) : r.failure;
        ++figures.copies;
        ++figures.byOutcome[static_cast<int>(outcome)];
        figures.peakOutputBytes = std::max(figures.peakOutputBytes, r.outputBytes);
        if (outcome == Outcome::WrongRows || outcome == Outcome::Crash || outcome == Outcome::Hang)
            figures.wrong.push_back(o.path.filename().string() + ": " + d.describe() + ": " + outcomeName(outcome));
    }
    return figures;
}

}  // namespace ovdamage
