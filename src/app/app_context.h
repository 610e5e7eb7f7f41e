#pragma once
// What the main window needs from the rest of the program: the working folder, the run state,
// the number notation, and the reports and dialogs its commands start. wireApplication (in
// app_wiring_qt.cpp) fills the commands; an empty command does nothing.
#include <functional>

#include "state/program_state.h"
#include "state/selection.h"
#include "core/number_format.h"
#include "core/workspace.h"
#include "platform/host.h"

class QWidget;

namespace ov {

struct AppContext {
    AppContext(Workspace& ws, ProgramState& ps, NumberFormat nf) : workspace(ws), state(ps), numbers(nf) {}

    Workspace& workspace;
    ProgramState& state;
    NumberFormat numbers;

    // "&Stampa" answered No: the hotel data summary over the selection.
    std::function<void(const Selection&, Host&)> runDataSummary;
    // "&Stampa" answered Yes: the guest presence summary over the selection.
    std::function<void(const Selection&, Host&)> runPresenceSummary;
    // The "Tabelle" menu: the column set-up dialog, modal over parent.
    std::function<void(QWidget* parent, Host&)> openColumnDialog;
    // The "Grafici" menu: the chart window of the selection, modal over parent.
    std::function<void(QWidget* parent, const Selection&, Host&)> openCharts;
    // The print menu the reports end with, modal over parent (the host shows a notice while empty).
    std::function<void(QWidget* parent, Host&)> showPrintMenu;
};

// Plugs the reports and dialogs into the context: the one place where they meet the main window.
void wireApplication(AppContext& ctx);

}  // namespace ov
