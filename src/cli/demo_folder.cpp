#include "cli/demo_folder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <stdexcept>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/workspace.h"
#include "data/sqlite_store.h"
#include "data/suite_schema.h"

namespace fs = std::filesystem;

namespace ov::demo {

uint64_t Random::next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int Random::range(int lo, int hi) {
    if (hi <= lo) return lo;
    return lo + static_cast<int>(next() % static_cast<uint64_t>(hi - lo + 1));
}

size_t Random::weighted(const std::vector<int>& weights) {
    int total = 0;
    for (int w : weights) total += w;
    int r = range(0, total - 1);
    for (size_t i = 0; i < weights.size(); ++i) {
        if (r < weights[i]) return i;
        r -= weights[i];
    }
    return weights.size() - 1;
}

namespace {

const schema::TableSchema& schemaOf(const std::string& file, const std::string& table) {
    for (const auto& t : schema::suiteTables())
        if (t.file == file && t.table == table) return t;
    throw std::logic_error("demo: no table " + file + "/" + table);
}

}  // namespace

void DemoTables::add(const std::string& file, const std::string& table,
                     std::initializer_list<std::pair<const char*, Value>> values) {
    const auto& s = schemaOf(file, table);
    Row row(s.columns.size());
    for (const auto& [name, value] : values) {
        size_t i = 0;
        while (i < s.columns.size() && s.columns[i].first != name) ++i;
        if (i == s.columns.size()) throw std::logic_error(std::string("demo: no field ") + name + " in " + table);
        row[i] = value;
    }
    rows_[{file, table}].push_back(std::move(row));
}

const std::vector<Row>& DemoTables::rows(const std::string& file, const std::string& table) const {
    static const std::vector<Row> none;
    auto it = rows_.find({file, table});
    return it == rows_.end() ? none : it->second;
}

Value text(const char* utf8) { return Value::text(cp1252::fromUtf8(utf8)); }
Value text(const std::string& utf8) { return Value::text(cp1252::fromUtf8(utf8)); }
Value number(long long n) { return Value::integer(n); }
Value cents(long long c) { return Value::currency(Money::fromUnits(c * 100)); }

namespace {

constexpr int kAlreadyExists = 3204;  // database already exists

// Layout of the ColonneOV table for the filtered table printing: Windows text, CR LF lines.
const char kColumnLayout[] =
    "1,Colonne configurate,ColonneOV.mdb,ColonneOV,,,,,,\r\n"
    "2,Col.,,,NumeroColonna,4,N,N,,\r\n"
    "3,Intestazione,,,Intestazione,12,N,S,,\r\n"
    "4,Codice,,,CodiceVoce,6,N,S,,\r\n"
    "5,Descrizione,,,Descrizione,30,N,S,,\r\n";

struct TextFile {
    const char* name;
    std::string bytes;
};

std::vector<std::string> databaseFiles() {
    std::vector<std::string> files;
    std::set<std::string> seen;
    for (const auto& t : schema::suiteTables())
        if (seen.insert(t.file).second) files.push_back(t.file);
    return files;
}

void writeNewTextFile(const fs::path& path, const std::string& name, const std::string& bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        throw Error(errno == EEXIST ? kAlreadyExists : err::FileIo,
                    "Impossibile creare il file '" + name + "': " + std::strerror(errno) + ".");
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    bool ok = n == static_cast<ssize_t>(bytes.size()) && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok) throw Error(err::FileIo, "Impossibile scrivere il file '" + name + "'.");
}

}  // namespace

void writeDemoFolder(const fs::path& folder, const DemoSettings& settings) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder))
        throw Error(err::FileIo, "Impossibile creare la cartella '" + folder.string() + "'.");
    Workspace ws(folder);
    std::vector<std::string> files = databaseFiles();
    const TextFile textFiles[] = {{"Hotel2.txt", hotelTwoRanges(demoRooms(settings.rooms))},
                                  {"ColonneOV.stp", kColumnLayout}};
    // Never over a working folder that holds data: every file is checked before anything is written.
    std::vector<std::string> all = files;
    for (const auto& t : textFiles) all.push_back(t.name);
    for (const auto& name : all)
        if (ws.exists(name))
            throw Error(kAlreadyExists, "Il file '" + name + "' esiste già nella cartella '" + folder.string() +
                                            "': la cartella dimostrativa non sostituisce dati esistenti.");

    DemoTables tables = simulateHotel(settings);
    for (const auto& file : files) {
        bool created = createSqliteDatabase(folder / file, file, [&](SqliteStore& store) {
            for (const auto* t : schema::tablesOfFile(file)) {
                TableDefinition def{t->table, {}};
                for (const auto& [name, type] : t->columns) def.fields.push_back(makeField(name, type));
                store.createTable(def);
                for (const auto& row : tables.rows(file, t->table)) store.insertRow(t->table, row);
            }
        });
        if (!created) throw Error(kAlreadyExists, "Il file '" + file + "' esiste già nella cartella '" +
                                                       folder.string() + "'.");
    }
    for (const auto& t : textFiles) writeNewTextFile(folder / t.name, t.name, t.bytes);
}

}  // namespace ov::demo
