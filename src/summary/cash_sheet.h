#pragma once
// The cash reconciliation sheet that follows the summary in "Orvalis.csv", with the list of
// rearranged rooms the suite leaves for today.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/money.h"
#include "core/number_format.h"
#include "core/workspace.h"

namespace ov {

// The sheet's fixed texts (code page 1252) and the banknotes and coins it counts, largest first.
namespace cash_sheet {
inline constexpr const char* kQuantity = "Quantit\xE0";
inline constexpr const char* kDenomination = "Taglio";
inline constexpr const char* kAmount = "Importo";
inline constexpr const char* kTotalCash = "Totale Contanti";
inline constexpr const char* kCards = "P.O.S.";
inline constexpr const char* kBank = "Banca";
inline constexpr const char* kExtraTill = "Acconti Extra Cassa";
inline constexpr const char* kTotal = "Totale";
inline constexpr const char* kReportTotal = "Totale Rapp.";
inline constexpr const char* kDifference = "Differenza +/-";
inline constexpr const char* kRearrangedRooms = "Elenco camere riordinate";
inline const std::array<Money, 15> kDenominations{
    Money::fromInteger(500), Money::fromInteger(200), Money::fromInteger(100), Money::fromInteger(50),
    Money::fromInteger(20),  Money::fromInteger(10),  Money::fromInteger(5),   Money::fromInteger(2),
    Money::fromInteger(1),   Money::fromUnits(5000),  Money::fromUnits(2000),  Money::fromUnits(1000),
    Money::fromUnits(500),   Money::fromUnits(200),   Money::fromUnits(100)};
}  // namespace cash_sheet

// What the sheet holds besides its fixed rows; the workbook writes the same sheet from it.
struct CashSheet {
    std::optional<std::string> hotelName;  // RagioneSociale of hotel record 1, when there is one
    Money extraTillDeposits;
    std::optional<std::vector<std::string>> rearrangedRooms;  // the lines of today's "SC" file
};

// Reads what the sheet shows besides its fixed rows: the hotel's name from "AnagraficaHotels.mdb"
// and today's "SC" + YYYYMMDD + ".txt" when there is one. Error when either cannot be read.
CashSheet ReadCashSheet(const Workspace& ws, const Money& extraTillDeposits);

// Its lines in "Orvalis.csv", from the two empty lines that part it from the summary on.
std::vector<std::string> CashSheetLines(const CashSheet& sheet, const NumberFormat& fmt);

}  // namespace ov
