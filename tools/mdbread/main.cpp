// ovdesk-mdbread FILE [TABLE]
//
// Reads a Jet 3 / Jet 4 database read-only with libmdb and writes its user tables (or the one
// named) and, when it reads every table, its saved queries to standard output in the stream of
// data/jet_stream.h. libmdb is not hardened against
// damaged files, so the program reads them here, in a process of its own: a crash or a hang
// costs this process only. Exit status 0 on success; otherwise a short message on stderr.
#include "libmdb.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <string>
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

int run(const char* file, const char* onlyTable) {
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
        mdbread::writeTable(table, out, longValues);
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
    if (argc < 2 || argc > 3) return fail(Usage, "usage: ovdesk-mdbread FILE [TABLE]");
    try {
        return run(argv[1], argc == 3 ? argv[2] : nullptr);
    } catch (const mdbread::Damaged& e) {
        return fail(Damaged, std::string(argv[1]) + ": damaged (" + e.what() + ")");
    } catch (const std::bad_alloc&) {
        return fail(OutOfMemory, std::string(argv[1]) + ": out of memory");
    } catch (const std::exception& e) {
        return fail(Damaged, std::string(argv[1]) + ": " + e.what());
    }
}

// The fuzz target links the reader without its entry point and calls mdbreadMain itself.
#ifndef OVDESK_MDBREAD_NO_MAIN
int main(int argc, char** argv) { return mdbreadMain(argc, argv); }
#endif
