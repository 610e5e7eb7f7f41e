#include "print/preview_window.h"

#include <QFont>
#include <QGuiApplication>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>

#include "core/cp1252.h"
#include "print/preview_handoffs.h"

namespace ov {

namespace {

const char* const kCaptions[8] = {"&Esci", "&Riduci", "E&spandi", "&Avanti", "&Inizio", "E-&mail", "Sa&lva", "E&xcel"};
constexpr const char* kErrorSource = "Riporto Clienti";

// The window's text for the text box: Unicode, one paragraph per line.
QString displayText(const std::string& cp1252Text) {
    QString s = QString::fromStdString(cp1252::toUtf8(cp1252Text));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (s.endsWith(QLatin1Char('\n'))) s.chop(1);
    return s;
}

}  // namespace

PreviewWindow::PreviewWindow(const Workspace& ws, Host& host, QWidget* parent)
    : QDialog(parent), ws_(ws), host_(host), document_(ws) {
    setWindowTitle(QStringLiteral("Anteprima di Stampa"));
    setObjectName(QStringLiteral("Anteprima"));
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("Text1"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QFont font(QStringLiteral("Courier New"), 10);
    font.setStyleHint(QFont::Monospace);
    text_->setFont(font);
    for (int i = 0; i < 8; ++i) {
        auto* b = new QPushButton(QString::fromUtf8(kCaptions[i]), this);
        b->setObjectName(QStringLiteral("Tasto%1").arg(i));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, i] { clicked(i); });
        buttons_[static_cast<size_t>(i)] = b;
    }
    QSize size(1000, 700);
    if (QScreen* screen = QGuiApplication::primaryScreen()) size = size.boundedTo(screen->availableSize());
    resize(size);
}

int PreviewWindow::textSize() const { return text_->font().pointSize(); }

void PreviewWindow::setTextSize(int points) {
    QFont f = text_->font();
    f.setPointSize(points);
    text_->setFont(f);
}

// Text box 200 twips narrower than the window and two button heights plus 150 twips lower; the
// buttons in one row, their top two button heights plus 10 twips above the window's bottom edge.
// The window's height counts its caption, as the measures were made for.
void PreviewWindow::layOut() {
    const double twip = logicalDpiX() / 1440.0;
    int buttonHeight = 0, buttonWidth = 0;
    for (auto* b : buttons_) {
        buttonHeight = std::max(buttonHeight, b->sizeHint().height());
        buttonWidth = std::max(buttonWidth, b->sizeHint().width());
    }
    int caption = frameGeometry().height() - height();
    if (caption <= 0) caption = buttonHeight;
    const int outerHeight = height() + caption;
    const int textWidth = std::max(0, width() - static_cast<int>(200 * twip));
    const int textHeight = std::max(0, outerHeight - 2 * buttonHeight - static_cast<int>(150 * twip));
    text_->setGeometry(static_cast<int>(100 * twip), 0, textWidth, textHeight);

    const int top = outerHeight - 2 * buttonHeight - static_cast<int>(10 * twip);
    const int gap = 6;
    buttonWidth = std::max(buttonWidth, std::min(110, (textWidth - 7 * gap) / 8));
    int left = static_cast<int>(100 * twip);
    for (auto* b : buttons_) {
        b->setGeometry(left, top, buttonWidth, buttonHeight);
        left += buttonWidth + gap;
    }
}

void PreviewWindow::showText() { text_->setPlainText(displayText(document_.text())); }

bool PreviewWindow::activate() {
    activated_ = true;
    layOut();
    if (!document_.hasFile()) {
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return false;
    }
    document_.activate();
    showText();
    return true;
}

void PreviewWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!activated_) activate();
}

void PreviewWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layOut();
}

void PreviewWindow::clicked(int index) {
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
            case Avanti:
                if (document_.forward()) showText();
                text_->setFocus();
                break;
            case Inizio:
                document_.restart();
                showText();
                text_->setFocus();
                break;
            case Email:
                mailPreviewText(ws_, host_, document_.text());
                break;
            case Salva:
                document_.save();
                break;
            case Excel:
                openPreviewAsSpreadsheet(ws_, host_);
                break;
        }
    });
}

void showPreview(QWidget* parent, const Workspace& ws, Host& host) {
    PreviewWindow window(ws, host, parent);
    if (!window.document().hasFile()) return;
    window.exec();
}

}  // namespace ov
