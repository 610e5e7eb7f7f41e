#pragma once
// "Anteprima di Stampa" with editing: the print file as a list of lines, a one-line edit box for
// the selected line, the destination, "orizz.", "Compr." and "e-mail", and the buttons 0 "&Esci",
// 1 "&Riduci", 2 "E&spandi", 3 "&Aggiungi Riga" and 5 "&Stampa" (there is no button 4).
#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>

#include "core/workspace.h"
#include "platform/host.h"
#include "platform/printer.h"
#include "print/editable_preview.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ov {

class WidestLineDelegate;

class EditablePreviewWindow : public QDialog {
    Q_OBJECT
public:
    enum Button { Esci = 0, Riduci = 1, Espandi = 2, AggiungiRiga = 3, Stampa = 5 };

    EditablePreviewWindow(const Workspace& ws, Host& host, Printer& printer, int16_t hotelNumber = 1,
                          QWidget* parent = nullptr);

    // Reads the option letters, fills the destination list and loads the print file's lines; without
    // a destination or a print file the window closes without a message and the answer is false.
    // Runs by itself the first time the window is shown.
    bool activate();

    QListWidget* list() const { return list_; }
    QLineEdit* editBox() const { return edit_; }
    QComboBox* destinations() const { return destinations_; }
    QCheckBox* landscape() const { return landscape_; }
    QCheckBox* compressed() const { return compressed_; }
    QCheckBox* email() const { return email_; }
    // nullptr for 4, which the window does not have.
    QPushButton* button(int index) const { return buttons_.at(static_cast<size_t>(index)); }
    const EditablePreview& document() const { return document_; }
    int textSize() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void clicked(int index);
    void entryChosen(int row, bool focusEditBox);
    void enterPressed();
    void appendEntry(const std::string& line);
    void setTextSize(int points);

    Host& host_;
    Printer& printer_;
    EditablePreview document_;
    bool activated_ = false;

    QListWidget* list_ = nullptr;
    WidestLineDelegate* widest_ = nullptr;
    QLineEdit* edit_ = nullptr;
    QComboBox* destinations_ = nullptr;
    QCheckBox* landscape_ = nullptr;
    QCheckBox* compressed_ = nullptr;
    QCheckBox* email_ = nullptr;
    std::array<QPushButton*, 6> buttons_{};
};

// Shows the editable preview modally on the current print file; nothing shows when there is no
// print file or no destination.
void showEditablePreview(QWidget* parent, const Workspace& ws, Host& host, Printer& printer, int16_t hotelNumber);

}  // namespace ov
