#pragma once
// Draws a chart of the period with Qt Charts: stacked bars, the comparison line, the value axis in
// the user's notation, and the message of an empty chart over empty axes.
#include "charts/period_charts.h"

class QChart;

namespace ov {

// A new chart drawing `data`; the caller owns it (a chart view or a scene takes it over).
QChart* MakeChart(const ChartData& data);

}  // namespace ov
