#pragma once
// ImpCOV, "Impostazione Colonne Incassi": the column selector, the heading field, the groups of
// the selected column and the groups that can be assigned, "&Stampa" and "&Esci". The rules are
// ColumnSetup's; the window reads its controls, calls them and shows the lines.
#include <QDialog>
#include <array>
#include <functional>

#include "columns/column_setup.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ov {

// The filtered print form, modal over the dialog; the table name is already set in the state.
using OpenPrintForm = std::function<void(QWidget* parent)>;

class ColumnDialog : public QDialog {
    Q_OBJECT
public:
    // Loads the lists at once: a database error is thrown (as ov::Error) before anything shows.
    ColumnDialog(const Workspace& ws, ProgramState& state, const NumberFormat& numbers, Host& host,
                 OpenPrintForm openPrintForm = {}, QWidget* parent = nullptr, ColumnStoreOptions storeOptions = {});

    QGroupBox* frame() const { return frame_; }
    QComboBox* columnSelector() const { return combo_; }  // Combo1
    QLineEdit* headingField() const { return heading_; }  // Text1
    // Label1(0..3): "N. Colonna :", "Intestazione :", the heading lines of List1(0) and List1(1).
    QLabel* label(int index) const { return labels_.at(static_cast<size_t>(index)); }
    // List1(0): the groups of the selected column; List1(1): the groups that can be assigned.
    QListWidget* list(int index) const { return lists_.at(static_cast<size_t>(index)); }
    // Tasto(0) "&Stampa", Tasto(1) "&Esci".
    QPushButton* button(int index) const { return buttons_.at(static_cast<size_t>(index)); }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void showLists();
    void showColumnLines();
    void columnChosen(int index);
    void headingEntered();
    void listClicked(int list, int row);
    void print();
    // Runs a handler; a database error ends it with the error report and the dialog stays.
    void guarded(const std::function<void()>& handler);

    ColumnSetup setup_;
    ProgramState& state_;
    Host& host_;
    OpenPrintForm openPrintForm_;

    QGroupBox* frame_ = nullptr;
    QComboBox* combo_ = nullptr;
    QLineEdit* heading_ = nullptr;
    std::array<QLabel*, 4> labels_{};
    std::array<QListWidget*, 2> lists_{};
    std::array<QPushButton*, 2> buttons_{};
};

// Shows ImpCOV modally over parent (the "Tabelle" menu).
void showColumnDialog(QWidget* parent, const Workspace& ws, ProgramState& state, const NumberFormat& numbers,
                      Host& host, OpenPrintForm openPrintForm = {});

}  // namespace ov
