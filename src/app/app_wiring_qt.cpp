// The one place where the reports and dialogs are plugged into the main window. A command left
// empty does nothing when chosen; the print menu falls back to the host's notice.
#include "app/app_context.h"
#include "charts/chart_window.h"
#include "columns/column_dialog.h"
#include "presence/presence_summary.h"
#include "print/print_menu_window.h"
#include "summary/data_summary.h"
#include "tableform/print_form_window.h"

namespace ov {

void wireApplication(AppContext& ctx) {
    ctx.runDataSummary = [&ctx](const Selection& s, Host& host) {
        RunDataSummary({s.firstDay(), s.lastDay(), s.firstRoom(), s.lastRoom()}, ctx.workspace, ctx.state,
                       ctx.numbers, host);
    };
    ctx.runPresenceSummary = [&ctx](const Selection& s, Host& host) {
        PresenceSummary(s.firstDay(), s.lastDay(), ctx.workspace, ctx.numbers, host);
    };
    ctx.openColumnDialog = [&ctx](QWidget* p, Host& h) {
        // "&Stampa" of the dialog: the filtered print form on the table the dialog names.
        OpenPrintForm openPrintForm = [&ctx, &h](QWidget* parent) {
            showPrintForm(parent, ctx.workspace, ctx.state, ctx.numbers, h);
        };
        showColumnDialog(p, ctx.workspace, ctx.state, ctx.numbers, h, openPrintForm);
    };
    ctx.openCharts = [&ctx](QWidget* p, const Selection& s, Host& h) {
        showChartWindow(p, {s.firstDay(), s.lastDay(), s.firstRoom(), s.lastRoom()}, ctx.workspace, ctx.state,
                        ctx.numbers, h);
    };
    ctx.showPrintMenu = [&ctx](QWidget* p, Host& h) { showPrintMenu(p, ctx.workspace, ctx.state, h); };
}

}  // namespace ov
