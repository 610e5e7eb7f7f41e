#include "app/main_window.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include <QAction>
#include <QEvent>
#include <QFont>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "core/cp1252.h"
#include "data/column_store.h"
#include "platform/qt_common.h"
#include "state/workstation.h"

namespace fs = std::filesystem;

namespace ov {
namespace {

constexpr int kInternalError = 51;   // an unexpected failure that is not the engine's
constexpr int kFileAccessError = 75;  // a file that exists but cannot be removed

struct FieldSpec {
    const char* label;
    int maxLength;
    const char* initialText;
};

constexpr std::array<FieldSpec, 4> kFields = {{
    {"Dalla data", 10, ""},
    {"Alla data", 10, ""},
    {"Dalla cam.", 6, ""},
    {"Alla cam.", 6, "ZZZZ"},
}};


}  // namespace

MainWindow::MainWindow(AppContext& ctx, Host& host, QWidget* parent)
    : QMainWindow(parent), ctx_(ctx), host_(host) {
    setObjectName("OVDeskTop");
    setWindowTitle(kCaption);
    buildControls();
    load();
}

void MainWindow::buildControls() {
    tablesAction_ = menuBar()->addAction("Tabelle");
    tablesAction_->setObjectName("menu");
    connect(tablesAction_, &QAction::triggered, this, [this] { openColumnDialog(); });
    chartsAction_ = menuBar()->addAction("Grafici");
    chartsAction_->setObjectName("menuGrafici");
    connect(chartsAction_, &QAction::triggered, this, [this] { openCharts(); });

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(18, 14, 18, 8);
    outer->setSpacing(14);

    auto* frame = new QGroupBox("Selezione dati ", central);
    frame->setObjectName("Frame1");
    QFont titleFont = frame->font();
    titleFont.setBold(true);
    frame->setFont(titleFont);
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(14, 16, 14, 14);
    grid->setHorizontalSpacing(18);
    grid->setVerticalSpacing(10);

    // Wide enough for a whole date, so the four fields line up as two columns.
    const int fieldWidth = fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 16;
    for (int i = 0; i < 4; ++i) {
        // Shape1(i): the frame that sets a field off from the group box.
        auto* shape = new QFrame(frame);
        shape->setObjectName(QStringLiteral("Shape1_%1").arg(i));
        shape->setFrameShape(QFrame::StyledPanel);
        shape->setFrameShadow(QFrame::Sunken);
        auto* cell = new QHBoxLayout(shape);
        cell->setContentsMargins(10, 6, 10, 6);
        cell->setSpacing(10);

        // The group box's bold title is not for the controls inside it.
        QFont plain = titleFont;
        plain.setBold(false);
        shape->setFont(plain);
        auto* label = new QLabel(kFields[i].label, shape);
        label->setObjectName(QStringLiteral("Label1_%1").arg(i));
        label->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Dalla data")) + 4);

        auto* edit = new QLineEdit(kFields[i].initialText, shape);
        edit->setObjectName(QStringLiteral("Text1_%1").arg(i));
        edit->setMaxLength(kFields[i].maxLength);
        edit->setFixedWidth(fieldWidth);
        edit->installEventFilter(this);
        label->setBuddy(edit);
        connect(edit, &QLineEdit::returnPressed, this, [this, i] { confirmField(i); });
        fields_[static_cast<size_t>(i)] = edit;

        cell->addWidget(label);
        cell->addWidget(edit);
        grid->addWidget(shape, i / 2, i % 2);
    }
    outer->addWidget(frame);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    const char* captions[] = {"&Stampa", "&Esci"};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QPushButton(captions[i], central);
        b->setObjectName(QStringLiteral("T_%1").arg(i));
        // Enter on a focused button presses it, like the space bar.
        b->setAutoDefault(true);
        b->setMinimumWidth(96);
        buttonRow->addWidget(b);
        buttons_[static_cast<size_t>(i)] = b;
    }
    connect(buttons_[0], &QPushButton::clicked, this, [this] { startSummary(); });
    connect(buttons_[1], &QPushButton::clicked, this, [this] { leave(); });
    outer->addLayout(buttonRow);
    outer->addStretch();
    setCentralWidget(central);

    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName("progress");
    progressBar_->setFixedSize(200, 14);
    progressBar_->setTextVisible(false);
    progressBar_->hide();
    statusBar()->setContentsMargins(18, 0, 18, 4);
    statusBar()->addPermanentWidget(progressBar_);
    statusBar()->setSizeGripEnabled(false);
    setMinimumWidth(480);

    for (int i = 0; i < 3; ++i) setTabOrder(fields_[i], fields_[i + 1]);
    setTabOrder(fields_[3], buttons_[0]);
    setTabOrder(buttons_[0], buttons_[1]);
}

void MainWindow::load() {
    try {
        EnsureColumnStore(ctx_.workspace);
    } catch (const Error& e) {
        // Without the column store the summaries report their own error; the window still opens.
        host_.showError(e);
    }
    ctx_.state.monthLengths = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    ctx_.state.hotelNumber = 1;
    // Without a usable PCLocal the user learns once which print file this workstation uses, as
    // soon as the window is up.
    if (std::string notice = workstationNotice(ctx_.workspace); !notice.empty())
        QTimer::singleShot(0, this, [this, notice] { host_.message(notice, "Postazione di lavoro", Icon::Information); });
}

Selection MainWindow::selection() const {
    Selection s;
    for (size_t i = 0; i < fields_.size(); ++i) s.fields[i] = fromQt(fields_[i]->text());
    return s;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
            // Typing replaces the whole text. A click places the cursor after focusing, so the
            // selection is made once the click is through.
            if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason)
                QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
            else
                edit->selectAll();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::confirmField(int index) {
    Selection s = selection();
    FocusTarget next = ConfirmSelectionField(s, index, ctx_.state, ctx_.numbers);
    fields_[static_cast<size_t>(index)]->setText(toQt(s.fields[static_cast<size_t>(index)]));
    switch (next) {
    case FocusTarget::FirstDay: fields_[0]->setFocus(Qt::OtherFocusReason); break;
    case FocusTarget::LastDay: fields_[1]->setFocus(Qt::OtherFocusReason); break;
    case FocusTarget::FirstRoom: fields_[2]->setFocus(Qt::OtherFocusReason); break;
    case FocusTarget::LastRoom: fields_[3]->setFocus(Qt::OtherFocusReason); break;
    case FocusTarget::PrintButton: buttons_[0]->setFocus(Qt::OtherFocusReason); break;
    }
}

void MainWindow::runCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const Error& e) {
        host_.showError(e);
    } catch (const std::exception& e) {
        host_.showError(Error(kInternalError, std::string("Errore interno: ") + e.what()));
    }
    // A run that stopped half-way must not leave its day in the caption or its bar showing.
    setWindowTitle(kCaption);
    progressBar_->hide();
}

void MainWindow::startSummary() {
    // The fields are not checked again: the summaries read the four texts as they stand.
    Selection s = selection();
    Answer answer = host_.ask("Stampo le presenze ospiti?", "Stampa riepilogativa persenze", Answer::No);
    const auto& run = answer == Answer::Yes ? ctx_.runPresenceSummary : ctx_.runDataSummary;
    if (!run) return;
    runCommand([&] { run(s, host_); });
}

void MainWindow::openColumnDialog() {
    if (!ctx_.openColumnDialog) return;
    runCommand([&] { ctx_.openColumnDialog(this, host_); });
}

void MainWindow::openCharts() {
    if (!ctx_.openCharts) return;
    // The fields are read as they stand, as "&Stampa" reads them for the summary.
    Selection s = selection();
    runCommand([&] { ctx_.openCharts(this, s, host_); });
}

void MainWindow::leave() {
    // The spreadsheet file of the last summary goes with the program, whatever its letter case.
    if (auto csv = ctx_.workspace.find("orvalis.csv")) {
        std::error_code ec;
        if (fs::is_regular_file(*csv, ec) && !fs::remove(*csv, ec))
            host_.showError(Error(kFileAccessError, "Impossibile cancellare il file \"" +
                                                        csv->filename().string() + "\": " + ec.message()));
    }
    close();
}

}  // namespace ov
