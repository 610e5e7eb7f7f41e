#include "columns/column_dialog.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>

#include "core/cp1252.h"
#include "platform/qt_common.h"

namespace ov {
namespace {

constexpr int kInternalError = 51;  // an unexpected failure that is not the engine's
constexpr int kListCharacters = 48;  // code 6, description 40, a blank after each
constexpr int kListRows = 14;


// Courier New where it is installed, else a font with its metrics, else any fixed-pitch font:
// the padded columns of the lines must line up under their heading.
QFont listFont() {
    QFont f(QStringLiteral("Courier New"), 9);
    f.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"), QStringLiteral("Cousine")});
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    return f;
}

QFont entryFont() {
    QFont f(QStringLiteral("Arial"), 9);
    f.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    f.setStyleHint(QFont::SansSerif);
    return f;
}

QFont buttonFont() {
    QFont f(QStringLiteral("Book Antiqua"), 9);
    f.setFamilies({QStringLiteral("Book Antiqua"), QStringLiteral("Palatino Linotype"), QStringLiteral("URW Palladio L"),
                   QStringLiteral("Liberation Serif")});
    f.setStyleHint(QFont::Serif);
    return f;
}

void fillList(QListWidget* list, const std::vector<std::string>& lines) {
    list->clear();
    for (const auto& l : lines) list->addItem(toQt(l));
}

}  // namespace

ColumnDialog::ColumnDialog(const Workspace& ws, ProgramState& state, const NumberFormat& numbers, Host& host,
                           OpenPrintForm openPrintForm, QWidget* parent, ColumnStoreOptions storeOptions)
    : QDialog(parent),
      setup_(ws, state, numbers, host, std::move(storeOptions)),
      state_(state),
      host_(host),
      openPrintForm_(std::move(openPrintForm)) {
    setObjectName(QStringLiteral("ImpCOV"));
    setWindowTitle(QStringLiteral("Impostazione Colonne Incassi"));
    setModal(true);
    buildControls();
    setup_.load();
    showLists();
}

void ColumnDialog::buildControls() {
    frame_ = new QGroupBox(QStringLiteral("Scheda Colonne "), this);
    frame_->setObjectName(QStringLiteral("SSFrame1"));

    const QFont entry = entryFont();
    const QFont fixed = listFont();
    const char* captions[] = {"N. Colonna :", "Intestazione :", "Descrizione", "Descrizione"};
    for (int i = 0; i < 4; ++i) {
        auto* l = new QLabel(QString::fromUtf8(captions[i]), frame_);
        l->setObjectName(QStringLiteral("Label1_%1").arg(i));
        l->setTextFormat(Qt::PlainText);
        l->setFont(i < 2 ? entry : fixed);
        labels_[static_cast<size_t>(i)] = l;
    }

    combo_ = new QComboBox(frame_);
    combo_->setObjectName(QStringLiteral("Combo1"));
    combo_->setFont(entry);
    for (int n = 1; n <= ColumnSetup::kColumns; ++n) combo_->addItem(QString::number(n));
    combo_->setCurrentIndex(0);
    combo_->setMinimumContentsLength(3);
    labels_[0]->setBuddy(combo_);

    heading_ = new QLineEdit(frame_);
    heading_->setObjectName(QStringLiteral("Text1"));
    heading_->setFont(entry);
    heading_->setMaxLength(10);  // the size of Intestazione
    heading_->setFixedWidth(QFontMetrics(entry).horizontalAdvance(QStringLiteral("WWWWWWWWWW")) + 12);
    heading_->installEventFilter(this);
    labels_[1]->setBuddy(heading_);

    const int listWidth = QFontMetrics(fixed).horizontalAdvance(QString(kListCharacters, QLatin1Char('0')));
    for (int i = 0; i < 2; ++i) {
        auto* list = new QListWidget(frame_);
        list->setObjectName(QStringLiteral("List1_%1").arg(i));
        list->setFont(fixed);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        list->setUniformItemSizes(true);
        const int frame = 2 * list->frameWidth();
        const int margins = 2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
        list->setFixedWidth(listWidth + frame + margins + list->verticalScrollBar()->sizeHint().width() + 4);
        list->setMinimumHeight(QFontMetrics(fixed).lineSpacing() * kListRows + frame);
        list->installEventFilter(this);
        lists_[static_cast<size_t>(i)] = list;
        // The heading line starts where the list's text starts.
        labels_[static_cast<size_t>(2 + i)]->setIndent(list->frameWidth() + margins / 2);
        connect(list, &QListWidget::itemClicked, this,
                [this, i, list](QListWidgetItem* item) { listClicked(i, list->row(item)); });
    }

    auto* top = new QHBoxLayout;
    top->setSpacing(8);
    top->addWidget(labels_[0]);
    top->addWidget(combo_);
    top->addSpacing(24);
    top->addWidget(labels_[1]);
    top->addWidget(heading_);
    top->addStretch();

    auto* grid = new QGridLayout(frame_);
    grid->setContentsMargins(12, 14, 12, 12);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(2);
    grid->addLayout(top, 0, 0, 1, 2);
    grid->setRowMinimumHeight(1, 12);
    grid->addWidget(labels_[2], 2, 0);
    grid->addWidget(labels_[3], 2, 1);
    grid->addWidget(lists_[0], 3, 0);
    grid->addWidget(lists_[1], 3, 1);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    const char* buttonCaptions[] = {"&Stampa", "&Esci"};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QPushButton(QString::fromUtf8(buttonCaptions[i]), this);
        b->setObjectName(QStringLiteral("Tasto%1").arg(i));
        b->setFont(buttonFont());
        // Enter belongs to the heading field and the lists, never to a default button.
        b->setAutoDefault(false);
        b->setMinimumWidth(96);
        buttonRow->addWidget(b);
        buttons_[static_cast<size_t>(i)] = b;
    }

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(14, 12, 14, 12);
    outer->setSpacing(10);
    outer->addWidget(frame_);
    outer->addLayout(buttonRow);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    connect(combo_, &QComboBox::activated, this, [this](int index) { columnChosen(index); });
    connect(heading_, &QLineEdit::returnPressed, this, [this] { headingEntered(); });
    connect(buttons_[0], &QPushButton::clicked, this, [this] { print(); });
    connect(buttons_[1], &QPushButton::clicked, this, [this] { accept(); });

    setTabOrder(combo_, heading_);
    setTabOrder(heading_, lists_[1]);
    setTabOrder(lists_[1], lists_[0]);
    setTabOrder(lists_[0], buttons_[0]);
    setTabOrder(buttons_[0], buttons_[1]);
}

void ColumnDialog::showLists() {
    labels_[3]->setText(toQt(setup_.groupLabel()));
    fillList(lists_[1], setup_.groupLines());
    heading_->setText(toQt(setup_.heading));
    showColumnLines();
}

void ColumnDialog::showColumnLines() {
    labels_[2]->setText(toQt(setup_.columnLabel()));
    labels_[2]->repaint();
    fillList(lists_[0], setup_.columnLines());
}

void ColumnDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    combo_->setFocus(Qt::ActiveWindowFocusReason);
}

bool ColumnDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == heading_ && event->type() == QEvent::FocusIn) {
        // The whole heading is selected, so typing replaces it. A click places the cursor after
        // focusing, so the selection is made once the click is through.
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason)
            QTimer::singleShot(0, heading_, [this] { heading_->selectAll(); });
        else
            heading_->selectAll();
    }
    if (event->type() == QEvent::KeyPress) {
        // Enter or the space bar on a list line acts like a click on it.
        auto* key = static_cast<QKeyEvent*>(event);
        const bool acts = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space;
        for (int i = 0; i < 2; ++i)
            if (watched == lists_[static_cast<size_t>(i)] && acts) {
                if (lists_[static_cast<size_t>(i)]->currentRow() >= 0)
                    listClicked(i, lists_[static_cast<size_t>(i)]->currentRow());
                return true;
            }
    }
    return QDialog::eventFilter(watched, event);
}

void ColumnDialog::guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const Error& e) {
        host_.showError(e);
    } catch (const std::exception& e) {
        host_.showError(Error(kInternalError, std::string("Errore interno: ") + e.what()));
    }
}

void ColumnDialog::columnChosen(int index) {
    if (index < 0) return;
    guarded([&] {
        setup_.showColumn(static_cast<int>(leadingNumber(fromQt(combo_->itemText(index)))));
        heading_->setText(toQt(setup_.heading));
        showColumnLines();
    });
}

void ColumnDialog::headingEntered() {
    setup_.heading = fromQt(heading_->text());
    const bool moveOn = setup_.confirmHeading();
    heading_->setText(toQt(setup_.heading));
    if (moveOn) lists_[1]->setFocus(Qt::OtherFocusReason);
}

void ColumnDialog::listClicked(int list, int row) {
    const auto& lines = list == 0 ? setup_.columnLines() : setup_.groupLines();
    if (row < 0 || static_cast<size_t>(row) >= lines.size()) return;
    const std::string line = lines[static_cast<size_t>(row)];
    // The heading as it stands in the field, confirmed with Enter or not.
    setup_.heading = fromQt(heading_->text());
    guarded([&] {
        if (list == 0)
            setup_.removeGroup(line);
        else
            setup_.assignGroup(line);
    });
    showColumnLines();
}

void ColumnDialog::print() {
    state_.printTableName = "ColonneOV";
    if (!openPrintForm_) return;
    openPrintForm_(this);
    // Back from the print form the dialog is active again: the focus goes to the column selector.
    combo_->setFocus(Qt::ActiveWindowFocusReason);
}

void showColumnDialog(QWidget* parent, const Workspace& ws, ProgramState& state, const NumberFormat& numbers,
                      Host& host, OpenPrintForm openPrintForm) {
    ColumnDialog dialog(ws, state, numbers, host, std::move(openPrintForm), parent);
    dialog.exec();
}

}  // namespace ov
