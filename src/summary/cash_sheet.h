#pragma once
// The cash reconciliation sheet that follows the summary in "Orvalis.csv", with the list of
// rearranged rooms the suite leaves for today.
#include <string>
#include <vector>

#include "core/money.h"
#include "core/number_format.h"
#include "core/workspace.h"

namespace ov {

// Its lines, from the two empty lines that part it from the summary on. Reads the hotel's name
// from "AnagraficaHotels.mdb" and today's "SC" + YYYYMMDD + ".txt" when there is one; Error when
// either cannot be read. Nothing is written: the summary writes these lines with its own.
std::vector<std::string> CashSheetLines(const Workspace& ws, const NumberFormat& fmt, const Money& extraTillDeposits);

}  // namespace ov
