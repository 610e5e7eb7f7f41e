#include "charts/chart_window.h"

#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QCursor>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QTabWidget>
#include <QToolTip>
#include <QVBoxLayout>

#include "charts/chart_export_qt.h"
#include "charts/chart_view_qt.h"
#include "platform/qt_common.h"

namespace ov {
namespace {

constexpr const char* kTabNames[] = {"Ospiti", "Incassi", "Totali"};
constexpr PixelSize kSavedSize{1400, 1500};

// A bar's value in the user's notation, with its series and day or column, while the mouse is on it.
void addTooltips(QChart* chart, const ChartData& data, const NumberFormat& numbers) {
    for (QAbstractSeries* series : chart->series()) {
        auto* bars = qobject_cast<QStackedBarSeries*>(series);
        if (!bars) continue;
        for (QBarSet* set : bars->barSets()) {
            QObject::connect(set, &QBarSet::hovered, chart, [set, &data, numbers](bool on, int index) {
                if (!on || index < 0 || static_cast<size_t>(index) >= data.categories.size()) {
                    QToolTip::hideText();
                    return;
                }
                const double v = set->at(index);
                const std::string value = data.kind == ChartKind::Guests ? ChartCount(std::llround(v), numbers)
                                                                          : ChartAmount(Money::fromDouble(v), numbers);
                const QString name = set->label().section(QStringLiteral(": "), 0, 0);
                QToolTip::showText(QCursor::pos(), QStringLiteral("%1 - %2: %3")
                                                       .arg(QString::fromStdString(data.categories[static_cast<size_t>(index)]),
                                                            name, QString::fromStdString(value)));
            });
        }
    }
}

}  // namespace

ChartWindow::ChartWindow(ChartFigures figures, const NumberFormat& numbers, Host& host, RecomputeCharts recompute,
                         QWidget* parent)
    : QDialog(parent), figures_(std::move(figures)), numbers_(numbers), host_(host), recompute_(std::move(recompute)) {
    setObjectName("GraficiPeriodo");
    setWindowTitle(kCaption);
    buildControls();
    showCharts();
}

void ChartWindow::buildControls() {
    auto* outer = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    for (const char* name : kTabNames) {
        auto* view = new QChartView(tabs_);
        view->setRenderHint(QPainter::Antialiasing);
        tabs_->addTab(view, name);
    }
    outer->addWidget(tabs_, 1);

    auto* row = new QHBoxLayout;
    compare_ = new QCheckBox(QString::fromUtf8("&Confronta con lo stesso periodo dell'anno prima"), this);
    compare_->setChecked(figures_.previous.has_value());
    connect(compare_, &QCheckBox::toggled, this, [this](bool on) { compareToggled(on); });
    row->addWidget(compare_);
    row->addStretch();
    save_ = new QPushButton(QString::fromUtf8("&Salva..."), this);
    close_ = new QPushButton(QString::fromUtf8("&Chiudi"), this);
    for (QPushButton* b : {save_, close_}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(96);
        row->addWidget(b);
    }
    connect(save_, &QPushButton::clicked, this, [this] { chooseFileAndSave(); });
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    outer->addLayout(row);
    resize(1100, 650);
}

QChartView* ChartWindow::view(int index) const { return qobject_cast<QChartView*>(tabs_->widget(index)); }

void ChartWindow::showCharts() {
    charts_ = PeriodCharts(figures_, numbers_);
    for (int i = 0; i < tabs_->count(); ++i) {
        QChart* chart = MakeChart(charts_[static_cast<size_t>(i)]);
        addTooltips(chart, charts_[static_cast<size_t>(i)], numbers_);
        QChart* old = view(i)->chart();
        view(i)->setChart(chart);
        delete old;
    }
}

void ChartWindow::compareToggled(bool on) {
    if (on == figures_.previous.has_value() || !recompute_) return;
    std::optional<ChartFigures> again;
    {
        WaitCursor wait;
        runReportingErrors(host_, "Grafici", [&] { again = recompute_(on); });
    }
    if (!again) {
        // Nothing changed: the box goes back to what the charts show.
        const QSignalBlocker block(compare_);
        compare_->setChecked(figures_.previous.has_value());
        return;
    }
    figures_ = std::move(*again);
    showCharts();
}

void ChartWindow::saveTo(const std::filesystem::path& file) { ExportCharts(charts_, file, kSavedSize); }

void ChartWindow::chooseFileAndSave() {
    QString filter;
    const QString file = QFileDialog::getSaveFileName(
        this, QString::fromUtf8("Salva i grafici"), QString(),
        QString::fromUtf8("Immagine PNG (*.png);;Disegno SVG (*.svg);;Documento PDF (*.pdf)"), &filter);
    if (file.isEmpty()) return;
    std::filesystem::path path = file.toStdString();
    // A name typed without an extension takes the one of the chosen type.
    if (!ChartFileFormatOf(path)) {
        const qsizetype star = filter.indexOf(QStringLiteral("*."));
        path += filter.mid(star + 1, 4).toStdString();
    }
    runReportingErrors(host_, "Grafici", [&] { saveTo(path); });
}

void showChartWindow(QWidget* parent, const SummarySelection& sel, const Workspace& ws, ProgramState& state,
                     const NumberFormat& numbers, Host& host) {
    std::optional<ChartFigures> figures = ComputeChartFigures(sel, false, ws, state, host);
    if (!figures) return;
    RecomputeCharts recompute = [&, sel](bool compare) { return ComputeChartFigures(sel, compare, ws, state, host); };
    ChartWindow window(std::move(*figures), numbers, host, std::move(recompute), parent);
    window.exec();
}

}  // namespace ov
