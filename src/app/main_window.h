#pragma once
// OVDeskTop, the main window: the date and room ranges of the summaries, "&Stampa", "&Esci" and
// the "Tabelle" and "Grafici" menus.
#include <array>
#include <functional>

#include <QMainWindow>

#include "app/app_context.h"

class QAction;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace ov {

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    static constexpr const char* kCaption = "Riepilogo dati Hotel";

    // Prepares the shared state as the window loads: the column store, the month lengths and
    // the hotel number; once shown, says which workstation number is used when PCLocal gives none.
    MainWindow(AppContext& ctx, Host& host, QWidget* parent = nullptr);

    // Text1(0..3): first day, last day, first room, last room.
    QLineEdit* field(int index) const { return fields_.at(static_cast<size_t>(index)); }
    // T(0) "&Stampa", T(1) "&Esci".
    QPushButton* button(int index) const { return buttons_.at(static_cast<size_t>(index)); }
    QAction* tablesAction() const { return tablesAction_; }
    QAction* chartsAction() const { return chartsAction_; }
    QProgressBar* progressBar() const { return progressBar_; }

    // The four field texts as code page 1252 bytes, exactly as they stand.
    Selection selection() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void load();
    void confirmField(int index);
    void startSummary();
    void leave();
    void openColumnDialog();
    void openCharts();
    // Runs a report or dialog; an error ends it with the error report, and the caption and the
    // progress bar are put back in any case.
    void runCommand(const std::function<void()>& command);

    AppContext& ctx_;
    Host& host_;
    std::array<QLineEdit*, 4> fields_{};
    std::array<QPushButton*, 2> buttons_{};
    QAction* tablesAction_ = nullptr;
    QAction* chartsAction_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
};

}  // namespace ov
