#pragma once
// The program's own column configuration, "ColonneOV.mdb" with the table ColonneOV.
//
// A store created by this program is in the embedded format. A store left in Jet format by an
// earlier installation is read as it is; the first change converts it: its tables are written
// into a new embedded file under a temporary name, the Jet file is kept beside it as
// "ColonneOV.mdb.bak" (".bak1", ".bak2", ... when earlier backups are there), and the new file
// takes the name. Every change runs in one write transaction, so several workstations can edit
// the columns at the same time.
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "core/workspace.h"
#include "data/table.h"

namespace ov {

// Creates an embedded-format "ColonneOV.mdb" with an empty ColonneOV table when no file of that
// name (any letter case) exists in the working folder; an existing file is left untouched.
void EnsureColumnStore(const Workspace& ws);

struct ColumnStoreOptions {
    // How long a change waits for another workstation's write, or for its conversion, before
    // giving up with Error 3260.
    std::chrono::milliseconds busyTimeout{5000};
    // Called after each step of a conversion ("temporaneo", "copia", "rinomina"); lets a test stop
    // the program between steps.
    std::function<void(const std::string& step)> afterConversionStep;
    // The Jet file is kept by a hard link where the file system allows it; false always copies it.
    bool backupByLink = true;
    // Asked by a change before it converts a Jet store, with the backup the conversion would keep:
    // false leaves the store as it is and the change is not made. Unset: the change converts.
    std::function<bool(const std::filesystem::path& backup)> confirmConversion;
};

struct ColumnStoreConversion {
    bool converted = false;              // false: the store was already in the embedded format
    std::filesystem::path backup;        // where the Jet file is kept
};

// Converts a Jet "ColonneOV.mdb" into the embedded format (see above); an embedded store is left
// as it is. Only one workstation converts at a time; the others find the work done. Temporary
// files left by a conversion that was stopped half-way are removed. Error 3024 when the file is
// missing, 3260 when another conversion does not end in time, 3043 for a disk failure; in every
// failure the Jet file stays where it was.
ColumnStoreConversion ConvertColumnStore(const Workspace& ws, const ColumnStoreOptions& options = {});

// One change of the ColonneOV table, decided on the rows as they are stored now.
struct ColumnChange {
    enum class Kind { None, Add, Delete };
    Kind kind = Kind::None;
    Row added;            // Add: the new record, fields in the order of the table given
    size_t position = 0;  // Delete: the record's position in the table given

    static ColumnChange none() { return {}; }
    static ColumnChange add(Row row) { return {Kind::Add, std::move(row), 0}; }
    static ColumnChange remove(size_t position) { return {Kind::Delete, {}, position}; }
};
using ColumnDecision = std::function<ColumnChange(const std::shared_ptr<const Table>& columns)>;

// Reads ColonneOV and writes what `decide` answers, all in one transaction: no other workstation
// can change the table between the reading and the writing. `decide` may be called more than
// once (first on a Jet store, which is converted only when there is something to change) and
// must answer from the table it is given. True when a record was added or deleted; false also when
// options.confirmConversion refused to convert a Jet store. Errors:
// 3024 when the file is missing, 3078 without the table, 3260 when another workstation holds the
// table longer than the busy timeout, 3027 when the file cannot be written.
bool ChangeColumnStore(const Workspace& ws, const ColumnDecision& decide, const ColumnStoreOptions& options = {});

}  // namespace ov
