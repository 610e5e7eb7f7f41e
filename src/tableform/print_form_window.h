#pragma once
// "Stampa - <table>", the filtered print form: eight criteria rows (field, operator, value), the
// compression choice, the order field and the printer; prints or previews the table through its
// layout file and keeps the choices in the table's saved filter file.
#include <QDialog>
#include <array>
#include <functional>
#include <optional>

#include "state/program_state.h"
#include "core/number_format.h"
#include "core/workspace.h"
#include "platform/host.h"
#include "platform/printer.h"
#include "tableform/table_form.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ov {

// What the form uses of the rest of the program; empty members take the real thing.
struct PrintFormServices {
    Printer* printer = nullptr;                     // the program's printer
    std::function<void(QWidget* parent)> showPreview;  // the preview on the print file
};

class PrintFormWindow : public QDialog {
    Q_OBJECT
public:
    enum Button { Stampa = 0, Esci, Anteprima, SalvaFiltro };
    static constexpr int kOrderCombo = 8;    // Combo1(8): the order field
    static constexpr int kPrinterCombo = 9;  // Combo1(9): the destinations

    // The form on state.printTableName: centred, operators listed, value boxes empty.
    PrintFormWindow(const Workspace& ws, ProgramState& state, const NumberFormat& numbers, Host& host,
                    PrintFormServices services = {}, QWidget* parent = nullptr);

    // The start-up sequence, run when the form is first shown and again on return from the
    // preview: layout header, caption, printer list, the table and its fields, the saved filter,
    // and the unattended print when "MCCnf.txt" exists. False when the form closes instead (no
    // layout, a layout or database that cannot be read, the unattended print done).
    bool activate();

    // Combo1(0..9): fields of rows 0 to 7, the order field, the destinations.
    QComboBox* fieldCombo(int index) const { return fieldCombos_.at(static_cast<size_t>(index)); }
    QComboBox* operatorCombo(int row) const { return operatorCombos_.at(static_cast<size_t>(row)); }
    QLineEdit* valueBox(int row) const { return valueBoxes_.at(static_cast<size_t>(row)); }
    // Opt(0) "Compresso", Opt(1) "Non Compresso".
    QRadioButton* option(int index) const { return options_.at(static_cast<size_t>(index)); }
    QPushButton* button(int index) const { return buttons_.at(static_cast<size_t>(index)); }
    // SSFrame1(0), SSFrame1(1), SSFrame2(0), SSFrame2(1).
    QGroupBox* frame(int index) const { return frames_.at(static_cast<size_t>(index)); }
    // Whether the row was filled from the saved filter (shown on light yellow).
    bool rowFromSavedFilter(int row) const { return marked_.at(static_cast<size_t>(row)); }

    // The eight rows as the controls hold them (code page 1252).
    CriteriaRows rows() const;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void centre();
    bool runActivation();
    void fillFieldLists();
    void applySavedFilter();
    void markRow(int row);
    void confirmValue(int row);
    void clicked(int index);
    // "&Stampa" (destination of Combo1(9)) or "&Anteprima" (the print file); false on "Mancano dati!".
    bool print(const std::string& destination);
    void saveFilter();
    void closeForm();

    const Workspace& ws_;
    ProgramState& state_;
    NumberFormat numbers_;
    Host& host_;
    PrintFormServices services_;
    std::optional<TableSource> source_;
    bool activated_ = false;

    std::array<QGroupBox*, 4> frames_{};
    std::array<QComboBox*, 10> fieldCombos_{};
    std::array<QComboBox*, kCriteriaRows> operatorCombos_{};
    std::array<QLineEdit*, kCriteriaRows> valueBoxes_{};
    std::array<QRadioButton*, 2> options_{};
    std::array<QPushButton*, 4> buttons_{};
    std::array<bool, kCriteriaRows> marked_{};
};

// Shows the form modally on state.printTableName (the column dialog's "&Stampa").
void showPrintForm(QWidget* parent, const Workspace& ws, ProgramState& state, const NumberFormat& numbers, Host& host);

}  // namespace ov
