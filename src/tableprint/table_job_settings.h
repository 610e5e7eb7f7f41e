#pragma once
// The settings of one table print job, read afresh at every job: the conversion rate of "euro.txt",
// the destination's printer record and page settings, the font of "FontStp.txt", the page length
// of "Contatori.mdb", the hotel line and the frame style of the option letters. Reading never
// fails: a setting that cannot be read keeps its default, and the failure goes to `failures`.
#include <array>
#include <cstdint>
#include <string>

#include "state/program_state.h"
#include "core/money.h"
#include "core/number_format.h"
#include "core/workspace.h"
#include "tableprint/print_table.h"
#include "tableprint/skip_failing_step.h"
#include "tableprint/table_lines.h"

namespace ov {

enum class TableOutputKind { PrintFile, RawDevice, Driver };

struct TableJobSettings {
    Money rate = Money::fromInteger(1);
    std::string printFileName;     // "FD" + the text of PCLocal
    bool hasPrinterRecord = false;
    std::string outputPath;        // the print file name without a printer record
    int16_t printerType = 0;
    std::array<double, 12> codes{};   // c1 to c12 (Compresso); all 0 without a SetStampa record
    std::array<double, 12> values{};  // g1 to g12 (Grassetto)
    std::string fontName = "Courier New";
    int16_t pageLength = 0;        // 0: no page breaks
    int physicalLines = 0;         // g7 compressed, g8 normal
    FrameStyle style = FrameStyle::Plain;      // box with the option letter "K"
    bool pagesEndWithEmptyLines = false;       // option letter "U"
    TableOutputKind kind = TableOutputKind::PrintFile;
    std::string hotelLine;         // "Hotel : " + RagioneSociale; empty without a hotel record

    double code(int k) const { return codes[static_cast<size_t>(k - 1)]; }
};

TableJobSettings ReadTableJobSettings(const Workspace& ws, const ProgramState& state, const NumberFormat& numbers,
                                      const TableJob& job, StepFailures* failures = nullptr);

// First line of "euro.txt" read in the user's notation; 1 when the file is missing or holds no
// number; an error naming it when it exists but cannot be read.
Money readConversionRate(const Workspace& ws, const NumberFormat& numbers);
// LungPagComp or LungPagNoComp of the hotel's Contatori record; 0 without one.
int16_t readTablePageLength(const Workspace& ws, int16_t hotelNumber, bool compressed);
// "Hotel : " and RagioneSociale of the hotel register record "Numero = " hotel; empty without one.
std::string readHotelLine(const Workspace& ws, int16_t hotelNumber);

}  // namespace ov
