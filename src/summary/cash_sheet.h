#pragma once
// The cash reconciliation sheet appended below the summary in "Orvalis.csv", with the list of
// rearranged rooms the suite leaves for today.
#include "core/money.h"
#include "core/number_format.h"
#include "core/workspace.h"

namespace ov {

void AppendCashSheet(const Workspace& ws, const NumberFormat& fmt, const Money& extraTillDeposits);

}  // namespace ov
