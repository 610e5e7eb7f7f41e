// The suite's Jet files, read whole through the ovdesk-mdbread helper process and never written.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

#include "core/cp1252.h"
#include "core/error.h"
#include "data/backend.h"
#include "data/column_needs.h"
#include "data/jet_helper.h"
#include "data/jet_stream_reader.h"
#include "data/table_cache.h"

namespace fs = std::filesystem;

namespace ov {
namespace {

constexpr std::chrono::milliseconds kDefaultTimeout{60000};
// The suite may be writing the file while we read it: the second read comes after this pause.
constexpr std::chrono::milliseconds kRetryPause{250};

// How long a read may take: OVDESK_MDBREAD_TIMEOUT seconds when set, else a generous minute.
std::chrono::milliseconds readTimeout() {
    if (const char* env = std::getenv("OVDESK_MDBREAD_TIMEOUT"); env && *env) {
        char* end = nullptr;
        double seconds = std::strtod(env, &end);
        if (end && *end == '\0' && seconds > 0 && seconds < 86400)
            return std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    }
    return kDefaultTimeout;
}

// Exit statuses of ovdesk-mdbread (tools/mdbread/main.cpp).
constexpr int kHelperCannotOpen = 2;  // libmdb does not take the file for a Jet database
constexpr int kHelperDamaged = 3;     // the file does not hold together where a table lies
constexpr int kHelperNoSuchTable = 4; // asked for one table, the file has none of that name
constexpr int kHelperOutOfMemory = 6;

// The most a helper may write for a file of `size` bytes. The stream of a table is never much
// larger than its pages: its worst case, a row of yes/no fields, takes two bytes of stream for each
// bit of the file. More than that is a reader gone wrong, stopped before it fills the memory.
size_t streamLimit(uintmax_t size) { return static_cast<size_t>(std::min<uintmax_t>(size, SIZE_MAX / 32) * 16 + (1 << 20)); }

// A read that did not give the file's tables; `reason` completes the user's message.
struct ReadFailure {
    int number = err::Damaged;
    std::string reason;
    bool worthRetrying = true;
};

ReadFailure damaged(const std::string& detail, bool worthRetrying = true) {
    return ReadFailure{err::Damaged, "il file è danneggiato (" + detail + ")", worthRetrying};
}

class JetBackend final : public Backend {
public:
    JetBackend(fs::path path, std::string displayName) : path_(std::move(path)), displayName_(std::move(displayName)) {}

    std::vector<std::string> tableNames() override {
        ensureLoaded();
        std::vector<std::string> names;
        for (const auto& t : tables_) names.push_back(t->name);
        return names;
    }

    std::shared_ptr<Table> loadTable(const std::string& name) override { return load(name, nullptr); }

    std::shared_ptr<Table> loadColumns(const std::string& name, const std::vector<std::string>& columns) override {
        return load(name, &columns);
    }

    std::vector<StoredQuery> storedQueries() override {
        ensureLoaded();
        if (!queriesUnreadable_.empty())
            throw Error(err::Damaged, "Impossibile leggere le query salvate nel database '" + displayName_ +
                                          "': " + damaged(queriesUnreadable_).reason + ".");
        return queries_;
    }

    bool writable() const override { return false; }
    int64_t insertRow(const std::string&, const Row&) override { throw readOnly(); }
    void updateRow(const std::string&, int64_t, const Row&) override { throw readOnly(); }
    void deleteRow(const std::string&, int64_t) override { throw readOnly(); }

private:
    // The table with every column (columns null) or at least those named. The file is read with
    // the columns the run needs; a table of it read with fewer than asked is read again alone.
    std::shared_ptr<Table> load(const std::string& name, const std::vector<std::string>* columns) {
        // A reader outside a run that declares its tables wants this one table: the file's others
        // are not read for it.
        if (!currentColumnNeeds() && !(loaded_ && tablecache::stampOf(path_) == stamp_)) {
            for (auto& t : readFile(name, columns).tables)
                if (cp1252::equalNoCase(t->name, name)) return t;
            throw noSuchTable(name);
        }
        ensureLoaded();
        for (auto& t : tables_) {
            if (!cp1252::equalNoCase(t->name, name)) continue;
            if (columnsCover(t->columnsRead(), columns)) return t;
            for (auto& again : readFile(name, columns).tables)
                if (cp1252::equalNoCase(again->name, name)) return t = std::move(again);
            break;  // gone since: as a table the file lacks
        }
        throw noSuchTable(name);
    }

    Error noSuchTable(const std::string& name) const {
        return Error(err::TableNotFound, "Impossibile trovare la tabella o la query '" + cp1252::toUtf8(name) +
                                             "' nel database '" + displayName_ + "'.");
    }

    Error readOnly() const {
        return Error(err::ReadOnly,
                     "Impossibile aggiornare il database '" + displayName_ + "': i database Jet sono di sola lettura.");
    }

    // Reads the file unless the tables in hand are of its present state, with the columns the
    // run needs of each table.
    void ensureLoaded() {
        if (loaded_ && tablecache::stampOf(path_) == stamp_) return;
        loaded_ = false;
        tables_.clear();
        queries_.clear();
        const tablecache::FileStamp stamp = tablecache::stampOf(path_);
        jetstream::Contents contents = readFile(std::string(), nullptr);
        tables_ = std::move(contents.tables);
        queries_ = std::move(contents.queries);
        queriesUnreadable_ = std::move(contents.queriesUnreadable);
        // Every table of the file goes to the cache: later tables of it cost nothing.
        for (const auto& t : tables_) tablecache::store(path_, stamp, t);
        stamp_ = stamp;
        loaded_ = true;
    }

    // One read of the file (a second after a pause when the first failed): every table with the
    // columns the run needs, or the one named with `columns` (null: every one).
    jetstream::Contents readFile(const std::string& onlyTable, const std::vector<std::string>* columns) const {
        std::vector<std::string> args;
        const ColumnNeeds* needs = currentColumnNeeds();
        auto ask = [&](const std::string& table, const std::vector<std::string>& fields) {
            std::string a = "--columns=" + cp1252::toUtf8(table);
            for (const std::string& f : fields) a += '\x1f' + cp1252::toUtf8(f);
            args.push_back(std::move(a));
        };
        if (!onlyTable.empty()) {
            if (columns) ask(onlyTable, *columns);
        } else if (needs) {
            for (const auto& [table, fields] : needs->tables()) ask(table, fields);
        }
        args.push_back(path_.string());
        if (!onlyTable.empty()) args.push_back(cp1252::toUtf8(onlyTable));
        for (int attempt = 1;; ++attempt) {
            try {
                jetstream::Contents contents = readOnce(args);
                for (auto& t : contents.tables) {
                    const std::vector<std::string>* asked = onlyTable.empty() ? (needs ? needs->of(t->name) : nullptr)
                                                                              : columns;
                    if (asked) t->onlyColumns = *asked;
                }
                return contents;
            } catch (const ReadFailure& f) {
                if (f.number == err::TableNotFound) throw noSuchTable(onlyTable);
                if (attempt == 2 || !f.worthRetrying) {
                    if (f.reason.empty())
                        throw Error(err::NotADatabase, "Formato di database non riconosciuto: '" + displayName_ +
                                                           "' non è un database o è danneggiato.");
                    throw Error(f.number, "Impossibile leggere il database '" + displayName_ + "': " + f.reason + ".");
                }
                std::this_thread::sleep_for(kRetryPause);
            }
        }
    }

    jetstream::Contents readOnce(const std::vector<std::string>& args) const {
        fs::path helper = jet::findHelper();
        if (helper.empty())
            throw ReadFailure{err::NotADatabase, "programma di lettura 'ovdesk-mdbread' non trovato", false};
        std::chrono::milliseconds timeout = readTimeout();
        std::error_code ec;
        const uintmax_t size = fs::file_size(path_, ec);
        // The stream is parsed as the helper writes it; how the helper ended is judged first, as
        // the stream of a helper that failed is no evidence.
        std::optional<jet::HelperProcess> process;
        try {
            process.emplace(helper, args, timeout, streamLimit(ec ? 0 : size));
        } catch (const std::system_error&) {
            throw ReadFailure{err::NotADatabase, "impossibile avviare il programma di lettura '" + helper.string() + "'",
                              false};
        }
        std::optional<jetstream::Contents> contents;
        try {
            contents = jetstream::parseStream([&](std::string& into) { return process->read(into); });
        } catch (const jetstream::MalformedStream&) {
        }
        const jet::HelperRun run = process->finish();
        switch (run.end) {
        case jet::HelperRun::End::TimedOut:
            // A reader stuck once will be stuck again: no second wait.
            throw damaged("lettura non terminata entro " + std::to_string((timeout.count() + 999) / 1000) + " secondi",
                          false);
        case jet::HelperRun::End::TooMuchOutput:
            throw damaged("i dati letti superano di molto la dimensione del file", false);
        case jet::HelperRun::End::Crashed:
            throw damaged("il programma di lettura si è interrotto, segnale " + std::to_string(run.code));
        case jet::HelperRun::End::Exited:
            if (run.code == kHelperCannotOpen) throw ReadFailure{err::NotADatabase, "", true};
            if (run.code == kHelperDamaged) throw damaged("pagine mancanti o incoerenti");
            if (run.code == kHelperNoSuchTable) throw ReadFailure{err::TableNotFound, "", false};
            if (run.code == kHelperOutOfMemory) throw damaged("memoria insufficiente per leggerlo");
            if (run.code != 0)
                throw damaged("il programma di lettura è terminato con il codice " + std::to_string(run.code));
            break;
        }
        if (!contents) throw damaged("dati letti incompleti o non validi");
        return std::move(*contents);
    }

    fs::path path_;
    std::string displayName_;
    bool loaded_ = false;
    tablecache::FileStamp stamp_;
    std::vector<std::shared_ptr<Table>> tables_;
    std::vector<StoredQuery> queries_;
    std::string queriesUnreadable_;
};

}  // namespace

std::unique_ptr<Backend> makeJetBackend(const fs::path& path, const std::string& displayName) {
    return std::make_unique<JetBackend>(path, displayName);
}

}  // namespace ov
