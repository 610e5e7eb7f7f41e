#pragma once
// "Anteprima di Stampa": the print file shown a portion at a time in a large text box, with the
// buttons 0 to 7 ("&Esci" to "E&xcel").
#include <QDialog>
#include <array>
#include <functional>

#include "core/error.h"
#include "core/workspace.h"
#include "platform/host.h"
#include "print/preview.h"

class QPlainTextEdit;
class QPushButton;

namespace ov {

class PreviewWindow : public QDialog {
    Q_OBJECT
public:
    enum Button { Esci = 0, Riduci, Espandi, Avanti, Inizio, Email, Salva, Excel };

    PreviewWindow(const Workspace& ws, Host& host, QWidget* parent = nullptr);

    // Lays the controls out and shows the first portion; without a print file the window closes
    // and the answer is false. Runs by itself the first time the window is shown.
    bool activate();

    QPlainTextEdit* textBox() const { return text_; }
    QPushButton* button(int index) const { return buttons_.at(static_cast<size_t>(index)); }
    const PreviewDocument& document() const { return document_; }
    int textSize() const;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void clicked(int index);
    void showText();
    void layOut();
    void setTextSize(int points);

    const Workspace& ws_;
    Host& host_;
    PreviewDocument document_;
    QPlainTextEdit* text_ = nullptr;
    std::array<QPushButton*, 8> buttons_{};
    bool activated_ = false;
};

// Shows the preview modally on the current print file; closes at once when there is none.
void showPreview(QWidget* parent, const Workspace& ws, Host& host);

}  // namespace ov
