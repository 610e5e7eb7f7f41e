#include "print/editable_preview_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaObject>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QShowEvent>
#include <QStringList>
#include <QVBoxLayout>
#include <climits>

#include "core/cp1252.h"
#include "core/error.h"
#include "platform/qt_common.h"

namespace ov {

namespace {

constexpr const char* kErrorSource = "Riporto Clienti";
// The list is never lower than this, whatever its text size; it grows with the window.
constexpr int kListHeightTwips = 5808;

}  // namespace

// The list lays its lines out at one size, which keeps a long report fast. Qt measures that size
// on the last line, a single blank after "&Aggiungi Riga": every line is measured as the widest one
// instead, so lines stay whole and the list scrolls sideways.
class WidestLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void reset() { widest_.clear(); }
    void note(const QString& line) {
        if (line.size() > widest_.size()) widest_ = line;
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        QStyleOptionViewItem widest = option;
        initStyleOption(&widest, index);
        widest.text = widest_;
        const QWidget* widget = option.widget;
        const QStyle* style = widget ? widget->style() : QApplication::style();
        return size.expandedTo(style->sizeFromContents(QStyle::CT_ItemViewItem, &widest, QSize(), widget));
    }

private:
    QString widest_;  // lines are drawn in a fixed-pitch font: the longest is the widest
};

EditablePreviewWindow::EditablePreviewWindow(const Workspace& ws, Host& host, Printer& printer, int16_t hotelNumber,
                                             QWidget* parent)
    : QDialog(parent), host_(host), printer_(printer), document_(ws, hotelNumber) {
    setWindowTitle(QStringLiteral("Anteprima di Stampa"));
    setObjectName(QStringLiteral("Anteprima2"));

    QFont fixed(QStringLiteral("Courier New"), 10);
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("List1"));
    list_->setFont(fixed);
    list_->setUniformItemSizes(true);
    widest_ = new WidestLineDelegate(list_);
    list_->setItemDelegate(widest_);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Any move of the selection shows the entry in the edit box; a click also moves the focus there
    // (moves by the arrow keys leave it in the list, so the keys go on working).
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) { entryChosen(row, false); });
    connect(list_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { entryChosen(list_->row(item), true); });

    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("Text1"));
    edit_->setFont(fixed);
    // Report lines have no length limit; the box must not cut a long line when Enter stores it.
    edit_->setMaxLength(INT_MAX);
    connect(edit_, &QLineEdit::returnPressed, this, &EditablePreviewWindow::enterPressed);

    auto* label = new QLabel(QStringLiteral("Stampante ......:"), this);
    destinations_ = new QComboBox(this);
    destinations_->setObjectName(QStringLiteral("Combo1"));
    destinations_->setMinimumWidth(220);
    label->setBuddy(destinations_);
    landscape_ = new QCheckBox(QStringLiteral("orizz."), this);
    compressed_ = new QCheckBox(QStringLiteral("Compr."), this);
    email_ = new QCheckBox(QStringLiteral("e-mail"), this);

    auto* choices = new QHBoxLayout;
    choices->addWidget(label);
    choices->addWidget(destinations_);
    choices->addSpacing(12);
    choices->addWidget(landscape_);
    choices->addWidget(compressed_);
    choices->addWidget(email_);
    choices->addStretch(1);

    auto* row = new QHBoxLayout;
    const std::pair<int, const char*> captions[] = {
        {Esci, "&Esci"}, {Riduci, "&Riduci"}, {Espandi, "E&spandi"}, {AggiungiRiga, "&Aggiungi Riga"}, {Stampa, "&Stampa"}};
    for (const auto& [index, caption] : captions) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QStringLiteral("Tasto%1").arg(index));
        // Enter belongs to the edit box: no button may take it as the default.
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, i = index] { clicked(i); });
        buttons_[static_cast<size_t>(index)] = b;
        row->addWidget(b);
    }
    row->addStretch(1);

    auto* main = new QVBoxLayout(this);
    main->addWidget(list_, 1);  // the list takes whatever height the window gains
    main->addWidget(edit_);
    main->addLayout(choices);
    main->addLayout(row);
    list_->setMinimumHeight(static_cast<int>(kListHeightTwips * logicalDpiY() / 1440.0));

    // Loading: a fixed width for report lines, centred on the screen.
    adjustSize();
    QSize size(960, height());
    if (QScreen* screen = QGuiApplication::primaryScreen()) size = size.boundedTo(screen->availableSize());
    resize(size);
    centreOnScreen(*this);
}

int EditablePreviewWindow::textSize() const { return list_->font().pointSize(); }

void EditablePreviewWindow::setTextSize(int points) {
    QFont f = list_->font();
    f.setPointSize(points);
    list_->setFont(f);
}

bool EditablePreviewWindow::activate() {
    activated_ = true;
    destinations_->clear();
    std::vector<std::string> names;
    try {
        names = document_.readSettings();
    } catch (const Error& e) {
        host_.showError(e);
        names.clear();
    }
    for (const auto& n : names) destinations_->addItem(toQt(n));
    if (names.empty() || !document_.hasFile()) {
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return false;
    }
    destinations_->setCurrentIndex(0);

    document_.loadLines();
    list_->clear();
    edit_->clear();
    QStringList entries;
    entries.reserve(static_cast<qsizetype>(document_.lines().size()));
    widest_->reset();
    for (const auto& line : document_.lines()) {
        entries << toQt(line);
        widest_->note(entries.back());
    }
    list_->addItems(entries);
    // The edit box starts with the focus: a list taking it would select its first entry by itself.
    edit_->setFocus();
    return true;
}

void EditablePreviewWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!activated_) activate();
}

// A click on an entry, or the selection moved: the entry goes into the edit box.
void EditablePreviewWindow::entryChosen(int row, bool focusEditBox) {
    const std::string* text = document_.select(row < 0 ? SIZE_MAX : static_cast<size_t>(row));
    if (!text) return;
    edit_->setText(toQt(*text));
    if (focusEditBox) edit_->setFocus();
}

void EditablePreviewWindow::appendEntry(const std::string& line) {
    widest_->note(toQt(line));
    list_->addItem(toQt(line));
}

void EditablePreviewWindow::enterPressed() {
    const std::optional<size_t> stored = document_.selected();
    if (!document_.enter(fromQt(edit_->text()))) return;  // no entry selected: the key is ignored
    const auto& lines = document_.lines();
    widest_->note(toQt(lines[*stored]));
    list_->item(static_cast<int>(*stored))->setText(toQt(lines[*stored]));
    while (static_cast<size_t>(list_->count()) < lines.size()) appendEntry(lines[static_cast<size_t>(list_->count())]);
    const int below = static_cast<int>(*document_.selected());
    list_->setCurrentRow(below);
    entryChosen(below, true);
}

void EditablePreviewWindow::clicked(int index) {
    runReportingErrors(host_, kErrorSource, [&] {
        switch (index) {
            case Esci:
                reject();
                break;
            case Riduci:
                if (textSize() > 1) setTextSize(textSize() - 1);
                break;
            case Espandi:
                setTextSize(textSize() + 1);
                break;
            case AggiungiRiga:
                document_.addLine();
                appendEntry(document_.lines().back());
                break;
            case Stampa: {
                EditablePrintChoices choices;
                choices.destination = fromQt(destinations_->currentText());
                choices.landscape = landscape_->isChecked();
                choices.compressed = compressed_->isChecked();
                choices.email = email_->isChecked();
                WaitCursor wait;
                document_.stampa(choices, host_, printer_);
                break;
            }
        }
    });
}

void showEditablePreview(QWidget* parent, const Workspace& ws, Host& host, Printer& printer, int16_t hotelNumber) {
    EditablePreviewWindow window(ws, host, printer, hotelNumber, parent);
    if (!window.document().hasFile()) return;
    if (window.activate()) window.exec();
}

}  // namespace ov
