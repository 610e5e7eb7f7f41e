// Fuzz target: the readers of the working folder's own files. The first byte chooses the reader,
// the rest is the file: a table layout (then its heading, a data line and the totals line), a saved
// filter, Hotel2.txt, SeparatoreXLS.txt (then a converted line), FontStp.txt and euro.txt. Errors the
// program reports (ov::Error) are answers; anything else is a finding.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/error.h"
#include "data/query_dialect_cases.h"
#include "data/record_set.h"
#include "print/print_setup.h"
#include "print/spreadsheet_conversion.h"
#include "summary/hotel_rooms.h"
#include "tableform/saved_filter.h"
#include "tableprint/table_job_settings.h"
#include "tableprint/table_layout.h"
#include "tableprint/table_lines.h"

namespace fs = std::filesystem;

namespace {

// A working folder of the run's own, removed when the run ends (the path outlives every static).
const fs::path& folder() {
    static const fs::path* f = [] {
        auto* p = new fs::path(fs::temp_directory_path() / ("ovdesk-fuzz-" + std::to_string(::getpid())));
        fs::create_directories(*p);
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(folder(), ec);
        });
        return p;
    }();
    return *f;
}

void write(const std::string& name, const std::string& bytes) {
    std::ofstream out(folder() / name, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out(1);
    for (char c : text) {
        if (c == '\n') out.emplace_back();
        else if (c != '\r') out.back() += c;
    }
    return out;
}

void layout(const ov::Workspace& ws, const std::string& text) {
    const ov::TableLayout l = ov::ParseLayout(text);
    const ov::HeadingBlock heading =
        ov::MakeHeadingBlock(l, ov::FrameStyle::Box, "Hotel : Prova", ov::DateTime{ov::Date{2024, 1, 31}, 10, 15, 0});
    static const std::shared_ptr<const ov::Table> table = ovtest::dialect::inMemoryTable();
    ov::RecordSet record(nullptr, table, {0, 6});
    ov::TableLineState state(ws, ov::NumberFormat::italian(), l.columns.size());
    for (bool found = record.findFirst("Id > 0"); found; found = record.findNext("Id > 0"))
        ov::FormatDataLine(l, ov::FrameStyle::Plain, record, ov::Money::fromInteger(2), state);
    ov::FormatTotalsLine(l, ov::FrameStyle::Plain, state);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const ov::Workspace ws(folder());
    try {
        switch (data[0] % 6) {
            case 0: layout(ws, text); break;
            case 1: ov::ParseSavedFilter(lines(text), {"A", "B", "C", "D", "E", "F", "G", "H"}); break;
            case 2: {
                write("Hotel2.txt", text);
                ov::HotelTwoRooms rooms;
                rooms.fill(ws);
                for (const char* room : {"", "101", "ZZZZ", "\xFF"}) rooms.hotelOf(room);
                break;
            }
            case 3: {
                write("SeparatoreXLS.txt", text);
                const ov::SpreadsheetSettings s = ov::ReadSpreadsheetSettings(ws);
                ov::ConvertLineForSpreadsheet("\xB3  1.234,56\xB3Rossi, Mario\xB4-12,5 " + text, s);
                break;
            }
            case 4:
                write("FontStp.txt", text);
                write("euro.txt", text);
                ov::readPrintFontName(ws);
                ov::readConversionRate(ws, ov::NumberFormat::italian());
                break;
            default: ov::ConvertLineForSpreadsheet(text, ov::SpreadsheetSettings{}); break;
        }
    } catch (const ov::Error&) {
    }
    return 0;
}
