#include "tableform/print_form_window.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "state/field_entry.h"
#include "core/cp1252.h"
#include "platform/driver_printer_qt.h"
#include "print/preview_window.h"
#include "tableform/saved_filter.h"
#include "platform/qt_common.h"

namespace ov {

namespace {

const char* const kCaptions[4] = {"&Stampa", "&Esci", "&Anteprima", "Salva &Filtro"};
const QColor kSavedFilterColour(255, 255, 128);


bool isEnter(const QKeyEvent* key) { return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter; }

// The first item whose text equals the name exactly; none (an empty text) when no item does.
void selectExactly(QComboBox* combo, const std::string& name) {
    combo->setCurrentIndex(combo->findText(toQt(name), Qt::MatchExactly | Qt::MatchCaseSensitive));
}

}  // namespace

PrintFormWindow::PrintFormWindow(const Workspace& ws, ProgramState& state, const NumberFormat& numbers, Host& host,
                                 PrintFormServices services, QWidget* parent)
    : QDialog(parent), ws_(ws), state_(state), numbers_(numbers), host_(host), services_(std::move(services)) {
    setObjectName(QStringLiteral("Stampa"));
    setWindowTitle(QStringLiteral("Stampa - "));
    buildControls();
    centre();
    for (int row = 0; row < kCriteriaRows; ++row) {
        QComboBox* ops = operatorCombos_[static_cast<size_t>(row)];
        ops->clear();
        for (std::string_view label : kOperatorLabels) ops->addItem(toQt(std::string(label)));
        ops->setCurrentIndex(0);
        valueBoxes_[static_cast<size_t>(row)]->clear();
    }
}

void PrintFormWindow::buildControls() {
    const char* frameNames[4] = {"SSFrame1_0", "SSFrame1_1", "SSFrame2_0", "SSFrame2_1"};
    const char* frameTitles[4] = {"Selezione Dati", "Tipo Stampa", "In Ordine di ...", "Stampante"};
    for (int i = 0; i < 4; ++i) {
        frames_[static_cast<size_t>(i)] = new QGroupBox(QString::fromUtf8(frameTitles[i]), this);
        frames_[static_cast<size_t>(i)]->setObjectName(QString::fromUtf8(frameNames[i]));
    }

    auto* rowsGrid = new QGridLayout(frames_[0]);
    rowsGrid->setHorizontalSpacing(8);
    rowsGrid->setVerticalSpacing(6);
    for (int row = 0; row < kCriteriaRows; ++row) {
        auto* field = new QComboBox(frames_[0]);
        field->setObjectName(QStringLiteral("Combo1_%1").arg(row));
        field->setMinimumWidth(170);
        auto* op = new QComboBox(frames_[0]);
        op->setObjectName(QStringLiteral("Combo2_%1").arg(row));
        auto* value = new QLineEdit(frames_[0]);
        value->setObjectName(QStringLiteral("Text1_%1").arg(row));
        value->setMinimumWidth(200);
        value->installEventFilter(this);
        rowsGrid->addWidget(field, row, 0);
        rowsGrid->addWidget(op, row, 1);
        rowsGrid->addWidget(value, row, 2);
        fieldCombos_[static_cast<size_t>(row)] = field;
        operatorCombos_[static_cast<size_t>(row)] = op;
        valueBoxes_[static_cast<size_t>(row)] = value;
    }
    rowsGrid->setColumnStretch(2, 1);

    auto* optionsBox = new QVBoxLayout(frames_[1]);
    options_[0] = new QRadioButton(QStringLiteral("Compresso"), frames_[1]);
    options_[1] = new QRadioButton(QStringLiteral("Non Compresso"), frames_[1]);
    for (int i = 0; i < 2; ++i) {
        options_[static_cast<size_t>(i)]->setObjectName(QStringLiteral("Opt_%1").arg(i));
        optionsBox->addWidget(options_[static_cast<size_t>(i)]);
    }
    options_[0]->setChecked(true);

    for (int i : {kOrderCombo, kPrinterCombo}) {
        QGroupBox* box = frames_[i == kOrderCombo ? 2 : 3];
        auto* combo = new QComboBox(box);
        combo->setObjectName(QStringLiteral("Combo1_%1").arg(i));
        combo->setMinimumWidth(170);
        (new QVBoxLayout(box))->addWidget(combo);
        fieldCombos_[static_cast<size_t>(i)] = combo;
    }

    auto* choices = new QHBoxLayout;
    choices->addWidget(frames_[1]);
    choices->addWidget(frames_[2], 1);
    choices->addWidget(frames_[3], 1);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    for (int i : {Stampa, Anteprima, SalvaFiltro, Esci}) {
        auto* b = new QPushButton(QString::fromUtf8(kCaptions[i]), this);
        b->setObjectName(QStringLiteral("Tasto_%1").arg(i));
        // Enter presses only the focused button (keyPressEvent), never a default one.
        b->setAutoDefault(false);
        b->setMinimumWidth(100);
        connect(b, &QPushButton::clicked, this, [this, i] { clicked(i); });
        buttons_[static_cast<size_t>(i)] = b;
        buttonRow->addWidget(b);
    }

    auto* main = new QVBoxLayout(this);
    main->addWidget(frames_[0]);
    main->addLayout(choices);
    main->addLayout(buttonRow);

    QWidget* previous = nullptr;
    auto chain = [&previous, this](QWidget* w) {
        if (previous) setTabOrder(previous, w);
        previous = w;
    };
    for (int row = 0; row < kCriteriaRows; ++row) {
        chain(fieldCombos_[static_cast<size_t>(row)]);
        chain(operatorCombos_[static_cast<size_t>(row)]);
        chain(valueBoxes_[static_cast<size_t>(row)]);
    }
    chain(options_[0]);
    chain(options_[1]);
    chain(fieldCombos_[kOrderCombo]);
    chain(fieldCombos_[kPrinterCombo]);
    for (int i : {Stampa, Anteprima, SalvaFiltro, Esci}) chain(buttons_[static_cast<size_t>(i)]);
}

void PrintFormWindow::centre() {
    adjustSize();
    centreOnScreen(*this);
}

CriteriaRows PrintFormWindow::rows() const {
    CriteriaRows rows;
    for (size_t r = 0; r < rows.size(); ++r) {
        rows[r].field = fromQt(fieldCombos_[r]->currentText());
        rows[r].op = fromQt(operatorCombos_[r]->currentText());
        rows[r].value = fromQt(valueBoxes_[r]->text());
    }
    return rows;
}

bool PrintFormWindow::activate() {
    activated_ = true;
    bool open = false;
    try {
        open = runActivation();
    } catch (const Error& e) {
        host_.showError(e);
    } catch (const std::exception& e) {
        host_.showError(Error(err::FileIo, e.what()));
    }
    if (!open) closeForm();
    return open;
}

// Every activation repeats the whole start-up: the saved filter puts its choices back over the
// user's, the printer choice returns to the first destination.
bool PrintFormWindow::runActivation() {
    for (int i : {0, 2, 3}) frames_[static_cast<size_t>(i)]->update();

    const std::string layoutFile = layoutFileName(state_.printTableName);
    std::optional<TableLayout> layout = ReadFormLayout(ws_, layoutFile, host_);
    if (!layout) return false;
    setWindowTitle(toQt("Stampa - " + state_.printTableName));

    QComboBox* printers = fieldCombos_[kPrinterCombo];
    printers->clear();
    for (const std::string& name : readFormDestinations(ws_)) printers->addItem(toQt(name));
    printers->setCurrentIndex(printers->count() > 0 ? 0 : -1);

    source_ = OpenTableSource(ws_, layoutFile, *layout);
    if (fieldCombos_[0]->count() == 0) fillFieldLists();
    applySavedFilter();

    if (ws_.exists(kUnattendedMarker)) {
        clicked(Stampa);
        return false;
    }
    return true;
}

void PrintFormWindow::fillFieldLists() {
    const std::vector<std::string> names = source_->fieldNames();
    for (int i = 0; i <= kOrderCombo; ++i) {
        QComboBox* combo = fieldCombos_[static_cast<size_t>(i)];
        for (const std::string& name : names) combo->addItem(toQt(name));
        combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
    }
}

void PrintFormWindow::applySavedFilter() {
    std::optional<SavedFilter> saved =
        ReadSavedFilter(ws_, savedFilterNameForTable(state_.printTableName), state_.filterParams);
    if (!saved) return;
    if (saved->compressed) options_[*saved->compressed ? 0 : 1]->setChecked(true);
    if (saved->orderField) selectExactly(fieldCombos_[kOrderCombo], *saved->orderField);
    for (size_t r = 0; r < saved->criteria.size(); ++r) {
        const SavedCriterion& c = saved->criteria[r];
        selectExactly(fieldCombos_[r], c.field);
        QComboBox* ops = operatorCombos_[r];
        int found = -1;
        for (int i = 0; i < ops->count() && found < 0; ++i)
            if (cp1252::trim(fromQt(ops->itemText(i))) == c.labelWord) found = i;
        ops->setCurrentIndex(found);
        valueBoxes_[r]->setText(toQt(c.value));
        markRow(static_cast<int>(r));
    }
}

void PrintFormWindow::markRow(int row) {
    marked_[static_cast<size_t>(row)] = true;
    for (QWidget* w : std::initializer_list<QWidget*>{fieldCombos_[static_cast<size_t>(row)],
                                                      operatorCombos_[static_cast<size_t>(row)],
                                                      valueBoxes_[static_cast<size_t>(row)]}) {
        QPalette p = w->palette();
        p.setColor(QPalette::Base, kSavedFilterColour);
        p.setColor(QPalette::Button, kSavedFilterColour);
        w->setPalette(p);
    }
}

void PrintFormWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!activated_) activate();
}

void PrintFormWindow::keyPressEvent(QKeyEvent* event) {
    // Enter on a button presses it; anywhere else it does nothing (no default button).
    if (isEnter(event)) {
        if (auto* b = qobject_cast<QPushButton*>(focusWidget())) b->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool PrintFormWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (!edit) return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        // Typing replaces the whole text; after a click the cursor is placed once the click is through.
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason)
            QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
        else
            edit->selectAll();
    } else if (event->type() == QEvent::KeyPress && isEnter(static_cast<QKeyEvent*>(event))) {
        for (int row = 0; row < kCriteriaRows; ++row)
            if (valueBoxes_[static_cast<size_t>(row)] == edit) confirmValue(row);
        return true;  // handled here, so it cannot reach a button
    }
    return QDialog::eventFilter(watched, event);
}

// Enter in a value box: a date typed as digits is completed (validity is checked at printing),
// then the focus moves on to the next row, after the last one to "&Stampa".
void PrintFormWindow::confirmValue(int row) {
    const size_t r = static_cast<size_t>(row);
    const std::string field = fromQt(fieldCombos_[r]->currentText());
    const std::string op = fromQt(operatorCombos_[r]->currentText());
    if (field.compare(0, 4, "Data") == 0 && op != kOperatorLabels[6]) {
        std::string value = FilterField(fromQt(valueBoxes_[r]->text()), 0, numbers_);
        CompleteDate(value);
        valueBoxes_[r]->setText(toQt(value));
    }
    if (row < kCriteriaRows - 1)
        valueBoxes_[r + 1]->setFocus(Qt::TabFocusReason);
    else
        buttons_[Stampa]->setFocus(Qt::TabFocusReason);
}

void PrintFormWindow::clicked(int index) {
    try {
        switch (index) {
            case Stampa:
                print(fromQt(fieldCombos_[kPrinterCombo]->currentText()));
                break;
            case Esci:
                accept();
                break;
            case Anteprima:
                if (print(kPreviewDestination)) {
                    if (services_.showPreview)
                        services_.showPreview(this);
                    else
                        showPreview(this, ws_, host_);
                    activate();
                }
                break;
            case SalvaFiltro:
                saveFilter();
                break;
        }
    } catch (const Error& e) {
        host_.showError(e);
    } catch (const std::exception& e) {
        host_.showError(Error(err::FileIo, e.what()));
    }
}

bool PrintFormWindow::print(const std::string& destination) {
    if (!source_) return false;
    CriteriaRows criteria = rows();
    TablePrintRequest request;
    request.orderField = fromQt(fieldCombos_[kOrderCombo]->currentText());
    request.compressed = options_[0]->isChecked();
    request.destination = destination;
    auto hourglass = [](bool busy) {
        if (busy)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QGuiApplication::restoreOverrideCursor();
    };
    // The boxes show the values as the criteria used them, also when the type query failed.
    auto writeBack = [this, &criteria] {
        for (size_t r = 0; r < criteria.size(); ++r) valueBoxes_[r]->setText(toQt(criteria[r].value));
    };
    bool printed = false;
    try {
        printed = RunTablePrint(ws_, state_, numbers_, host_, *source_, criteria, request,
                                services_.printer ? *services_.printer : programPrinter(), hourglass);
    } catch (...) {
        writeBack();
        throw;
    }
    writeBack();
    return printed;
}

void PrintFormWindow::saveFilter() {
    if (host_.ask("Sicuro?", "Salva Filtro", Answer::No) != Answer::Yes) return;
    if (!source_) return;
    WriteSavedFilter(ws_, savedFilterNameForLayout(source_->layoutFile), options_[0]->isChecked(),
                     fromQt(fieldCombos_[kOrderCombo]->currentText()), rows());
}

void PrintFormWindow::closeForm() {
    if (isVisible())
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
    else
        setResult(QDialog::Rejected);
}

void showPrintForm(QWidget* parent, const Workspace& ws, ProgramState& state, const NumberFormat& numbers, Host& host) {
    PrintFormWindow form(ws, state, numbers, host, {}, parent);
    if (form.activate()) form.exec();
}

}  // namespace ov
