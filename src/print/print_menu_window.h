#pragma once
// "Stampe non modificabili", the print menu every report opens after writing the print file:
// destination, the system's printer, duplex, landscape and compressed choices, printing, the two
// previews and the dated copy for the word processor.
#include <QDialog>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "state/program_state.h"
#include "core/workspace.h"
#include "platform/host.h"
#include "platform/printer.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace ov {

// What the print menu uses of the rest of the program; empty members take the real thing.
struct PrintMenuServices {
    Printer* printer = nullptr;                                 // the program's printer
    std::function<std::vector<std::string>()> installedPrinters;  // the system's print queues
    std::function<void(QWidget* parent)> showPreview;           // the read-only preview
    std::function<void(QWidget* parent)> showEditablePreview;   // the editable preview
};

class PrintMenuWindow : public QDialog {
    Q_OBJECT
public:
    enum Button { Stampa = 0, Anteprima, Esci, AnteprimaModifica, AnteprimaWord };

    PrintMenuWindow(const Workspace& ws, ProgramState& state, Host& host, PrintMenuServices services = {},
                    QWidget* parent = nullptr);

    // Reads the option letters and refills the destination list; closes the window and answers
    // false when there is no destination (or the tables cannot be read, after reporting it).
    // Runs when the window is first shown and after each preview.
    bool activate();

    QComboBox* destinations() const { return destinations_; }
    QComboBox* printers() const { return printers_; }
    QCheckBox* duplex() const { return duplex_; }
    QCheckBox* landscape() const { return landscape_; }
    QCheckBox* compressed() const { return compressed_; }
    QGroupBox* frame() const { return frame_; }
    QPushButton* button(int index) const { return buttons_.at(static_cast<size_t>(index)); }
    const std::string& optionLetters() const { return optionLetters_; }
    // Path of the dated copy made at loading; empty when there was no print file to copy.
    const std::string& documentCopy() const { return documentCopy_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void load();
    void clicked(int index);
    void print();

    const Workspace& ws_;
    ProgramState& state_;
    Host& host_;
    PrintMenuServices services_;
    std::string optionLetters_;
    std::string documentCopy_;
    bool activated_ = false;

    QGroupBox* frame_ = nullptr;
    QComboBox* destinations_ = nullptr;
    QComboBox* printers_ = nullptr;
    QCheckBox* duplex_ = nullptr;
    QCheckBox* landscape_ = nullptr;
    QCheckBox* compressed_ = nullptr;
    std::array<QPushButton*, 5> buttons_{};
};

// Shows the print menu modally on the current print file: the host's print menu.
void showPrintMenu(QWidget* parent, const Workspace& ws, ProgramState& state, Host& host);

}  // namespace ov
