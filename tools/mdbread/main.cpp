// ovdesk-mdbread [--columns=TABLE<US>FIELD<US>FIELD...]... FILE [TABLE]
//
// Reads a Jet 3 / Jet 4 database read-only with libmdb and writes its user tables (or the one
// named) and, when it reads every table, its saved queries to standard output in the stream of
// data/jet_stream.h. A table given --columns (names joined by the unit separator, 0x1F, which no
// Jet name holds) is written with those of its fields alone, in its own order. libmdb is not hardened against
// damaged files, so the program reads them here, in a process of its own: a crash or a hang
// costs this process only. Exit status 0 on success; otherwise a short message on stderr.
#include "libmdb.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "core/cp1252.h"
#include "data/jet_stream.h"
#include "stream_writer.h"
#include "catalog.h"
#include "query_reader.h"
#include "row_scanner.h"
#include "table_writer.h"

namespace {

enum Exit { Ok = 0, Usage = 64, CannotOpen = 2, Damaged = 3, NoSuchTable = 4, OutOfMemory = 6 };

int fail(int code, const std::string& message) {
    std::fprintf(stderr, "ovdesk-mdbread: %s\n", message.c_str());
    return code;
}

// The saved queries; when their system table is damaged, the tables stay readable and the stream
// says why the queries are missing.
void writeQueries(mdbread::Catalog& catalog, mdbread::LongValueReader& longValues, mdbread::StreamWriter& out) {
    std::vector<ov::StoredQuery> queries;
    try {
        queries = mdbread::readQueries(catalog, longValues);
    } catch (const mdbread::Damaged& e) {
        out.u8(static_cast<uint8_t>(ov::jetstream::kQueriesUnreadable));
        out.str32(e.what());
        return;
    }
    for (const ov::StoredQuery& q : queries) {
        out.u8(static_cast<uint8_t>(ov::jetstream::kQuery));
        out.str16(q.name);
        out.u8(static_cast<uint8_t>(q.kind));
        out.str32(q.sql);
        out.maybeFlush();
    }
}

// Table name (code page 1252) and the fields asked of it.
using ColumnChoice = std::vector<std::pair<std::string, std::vector<std::string>>>;

ColumnChoice::value_type parseColumns(const std::string& arg) {
    ColumnChoice::value_type choice;
    size_t start = 0;
    for (bool first = true;; first = false) {
        size_t end = arg.find('\x1f', start);
        std::string name = ov::cp1252::fromUtf8(arg.substr(start, end == std::string::npos ? end : end - start));
        if (first) choice.first = std::move(name);
        else choice.second.push_back(std::move(name));
        if (end == std::string::npos) return choice;
        start = end + 1;
    }
}

const std::vector<std::string>* columnsOf(const ColumnChoice& choices, const std::string& table) {
    for (const auto& [name, fields] : choices)
        if (ov::cp1252::equalNoCase(name, table)) return &fields;
    return nullptr;
}

int run(const char* file, const char* onlyTable, const ColumnChoice& columns) {
    // Field names come from libmdb through iconv: ask for UTF-8 whatever the environment says.
    setenv("MDB_ICONV", "UTF-8", 1);
    // Opening a pipe or a device would wait for a writer for ever.
    struct stat st;
    if (::stat(file, &st) != 0 || !S_ISREG(st.st_mode))
        return fail(CannotOpen, std::string(file) + ": not a regular file");
    MdbHandle* mdb = mdb_open(file, MDB_NOFLAGS);
    if (!mdb) return fail(CannotOpen, std::string(file) + ": not a readable Jet database");
    struct Close {
        MdbHandle* m;
        ~Close() { mdb_close(m); }
    } guard{mdb};
    // A file cut short (the suite still writing it, a copy interrupted) ends inside a page.
    if (::fstat(fileno(mdb->f->stream), &st) != 0 || st.st_size % mdb->fmt->pg_size != 0)
        return fail(Damaged, std::string(file) + ": not a whole number of pages");
    mdbread::Catalog catalog = mdbread::readCatalog(mdb);
    mdbread::LongValueReader longValues(mdb);

    std::string wanted = onlyTable ? ov::cp1252::fromUtf8(onlyTable) : std::string();
    mdbread::StreamWriter out(STDOUT_FILENO);
    out.raw(ov::jetstream::kMagic);
    uint32_t tables = 0;
    for (mdbread::UserTable& table : catalog.tables) {
        if (onlyTable && !ov::cp1252::equalNoCase(table.name, wanted)) continue;
        mdbread::writeTable(table, out, longValues, columnsOf(columns, table.name));
        ++tables;
    }
    if (onlyTable && tables == 0) return fail(NoSuchTable, std::string(file) + ": no table " + onlyTable);
    if (!onlyTable) writeQueries(catalog, longValues, out);
    out.u8(static_cast<uint8_t>(ov::jetstream::kStreamEnd));
    out.u32(tables);
    out.flush();
    return Ok;
}

}  // namespace

int mdbreadMain(int argc, char** argv) {
    constexpr std::string_view kColumns = "--columns=";
    ColumnChoice columns;
    int at = 1;
    for (; at < argc && std::string_view(argv[at]).starts_with(kColumns); ++at)
        columns.push_back(parseColumns(argv[at] + kColumns.size()));
    if (argc - at < 1 || argc - at > 2)
        return fail(Usage, "usage: ovdesk-mdbread [--columns=TABLE\\x1fFIELD...]... FILE [TABLE]");
    try {
        return run(argv[at], argc - at == 2 ? argv[at + 1] : nullptr, columns);
    } catch (const mdbread::Damaged& e) {
        return fail(Damaged, std::string(argv[at]) + ": damaged (" + e.what() + ")");
    } catch (const std::bad_alloc&) {
        return fail(OutOfMemory, std::string(argv[at]) + ": out of memory");
    } catch (const std::exception& e) {
        return fail(Damaged, std::string(argv[at]) + ": " + e.what());
    }
}

// The fuzz target links the reader without its entry point and calls mdbreadMain itself.
#ifndef OVDESK_MDBREAD_NO_MAIN
int main(int argc, char** argv) { return mdbreadMain(argc, argv); }
#endif
