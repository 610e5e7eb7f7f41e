#pragma once
// "Orvalis.xlsx": the hotel data summary as a workbook that computes. Written from the figures
// the print file and "Orvalis.csv" are written from: the same U, NU, day and totals rows with every
// count and amount a number, then the cash reconciliation sheet whose formulas point at the rows
// where its denominations and the totals row actually are, for any number of days.
#include <filesystem>
#include <string>

#include "summary/cash_sheet.h"
#include "summary/day_figures.h"

namespace ov {

// title: the print file's title line (code page 1252). Writes `target` whole or not at all and
// returns it; error 75 naming it when it cannot be written.
std::filesystem::path WriteSummaryWorkbook(const std::filesystem::path& target, const std::string& title,
                                           const SummaryFigures& figures, const CashSheet& cash);

}  // namespace ov
