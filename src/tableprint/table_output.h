#pragma once
// Where a table print job sends its lines: the print file, a raw device or the printer driver.
// They differ in how a page starts, when it is full and how it ends. A sink never raises an error:
// an output that cannot be opened or refuses bytes takes nothing more, and the failure goes to the
// job's record. The print file is written beside and replaces the earlier one only when no step of
// the job failed.
#include <memory>
#include <string>

#include "core/workspace.h"
#include "platform/printer.h"
#include "tableprint/skip_failing_step.h"
#include "tableprint/table_job_settings.h"

namespace ov {

class TableOutput {
public:
    virtual ~TableOutput() = default;

    // Start of the job and of every page after a break: the driver's font sequence, the raw
    // device's control characters; nothing on the print file.
    virtual void beginPage() {}
    virtual void line(const std::string& text) = 0;
    // Whether a page break is due after a data line brought the counter to `lineCount`.
    virtual bool pageIsFull(int lineCount) const = 0;
    // Page end after a break: the form feed or empty lines; on the driver the end of the print job.
    virtual void endPage(int lineCount) = 0;
    // The job's last page end and the output closed.
    virtual void close(int lineCount) = 0;
};

// The output the settings choose; a raw device is opened (replacing what a file of that name held)
// at once. The driver fits the font to the job's widest line (the heading block's: every line of a
// table is as wide as its frame). Steps that fail are recorded in `failures` and skipped.
std::unique_ptr<TableOutput> openTableOutput(const Workspace& ws, const TableJobSettings& settings, bool compressed,
                                             int widestLine, Printer& printer, StepFailures& failures);

}  // namespace ov
