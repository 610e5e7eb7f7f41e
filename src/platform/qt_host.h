#pragma once
// The Host of the windowed program: Qt message boxes with Italian buttons, the main window's
// caption and progress bar, the desktop's "open with" and program start.
#include <functional>

#include "platform/host.h"

class QWidget;
class QProgressBar;

namespace ov {

class QtHost : public Host {
public:
    explicit QtHost(QWidget* window = nullptr) : window_(window) {}

    // The window whose caption shows progress and over which the boxes open.
    void setWindow(QWidget* window) { window_ = window; }
    QWidget* window() const { return window_; }
    // The bar that setProgress drives (hidden while no run is under way).
    void setProgressBar(QProgressBar* bar) { progressBar_ = bar; }
    // The print menu; while none is set, a notice says it is not available yet.
    void setPrintMenu(std::function<void()> menu) { printMenu_ = std::move(menu); }

    Answer ask(const std::string& text, const std::string& title, Answer defaultButton) override;
    void message(const std::string& text, const std::string& title, Icon icon) override;
    void showError(const Error& error) override;
    void setCaption(const std::string& caption) override;
    void setProgress(int done, int total) override;
    void showPrintMenu() override;
    bool openWithAssociatedProgram(const std::string& path) override;
    bool startProgram(const std::string& program, const std::string& workingFolder) override;

private:
    QWidget* window_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    std::function<void()> printMenu_;
};

}  // namespace ov
