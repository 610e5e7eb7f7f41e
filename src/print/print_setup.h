#pragma once
// The printer settings of one print job, assembled from the printer tables of "Stampanti.mdb", the
// page lengths of "Contatori.mdb", the font of "FontStp.txt", the environment and the caller's
// choices; and the two lists the print windows fill: hotel option letters and destinations.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/workspace.h"
#include "data/record_set.h"
#include "data/value.h"

namespace ov {

struct PrintSetup {
    std::string destination;
    int16_t printerType = 0;
    bool hasCodes = false;             // a SetStampa record was found for the printer type
    std::array<double, 12> codes{};    // Compresso, codes 1 to 12
    std::array<int16_t, 12> values{};  // Grassetto, values 1 to 12
    std::string device;
    bool driverMode = false;           // code 6 equals 1
    std::string compressedPrefix;      // characters of codes 1 to 5 (none without a SetStampa record)
    std::string normalPrefix;          // characters of codes 7 to 11
    double compressedFontSize = 0;     // code 1
    double normalFontSize = 0;         // code 7
    int topMargin = 0;                 // value 6
    int physicalPageLines = 66;        // value 7 compressed, value 8 normal
    int16_t pageLength = 60;
    std::string fontName = "Courier New";
    std::string optionLetters;
    bool compressed = false;

    const std::string& prefix() const { return compressed ? compressedPrefix : normalPrefix; }
    double chosenFontSize() const { return compressed ? compressedFontSize : normalFontSize; }
    bool hasOption(char letter) const { return optionLetters.find(letter) != std::string::npos; }
};

struct PrintSetupRequest {
    std::string destination;
    bool compressed = false;
    // The print menu's Windows printer choice; when its trimmed text is not empty it replaces the device.
    std::optional<std::string> windowsPrinter;
    std::string optionLetters;
    int16_t hotelNumber = 1;
};

// The settings for a destination; nothing when the destination has no Stampanti record (the job
// then ends without output and without a message). Database errors propagate.
std::optional<PrintSetup> assemblePrintSetup(const Workspace& ws, const PrintSetupRequest& request);

// A field of the printer tables as text (numbers in Italian notation, null as empty) and as a
// number (a text by its leading number).
std::string settingText(const Value& v);
double settingNumber(const Value& v);
// Where a Stampanti record sends its output: the value of the environment variable named by its
// Destinazione when that is set and not empty, else its Linea.
std::string printerDevice(const Workspace& ws, const RecordSet& printer);

// Twelve groups of three characters, each read as a number ("027" is 27, blanks and missing
// characters count as 0).
std::array<double, 12> parseCodeGroups(std::string_view text);
// First line of "FontStp.txt", trimmed; "Courier New" when the file is missing; an error naming it
// when it exists but cannot be read.
std::string readPrintFontName(const Workspace& ws);
// CodiceAssistenza of the "Numero = 1" record of AnagraficaHotels (empty without one).
std::string readOptionLetters(const Workspace& ws);
// Destinazione of every Stampanti record of hotel 1, in table order.
std::vector<std::string> readDestinations(const Workspace& ws);

}  // namespace ov
