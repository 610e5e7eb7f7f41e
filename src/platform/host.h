#pragma once
// What report logic asks of the user and the operating system. The windows implement it with Qt,
// the headless commands answer from their options, tests script it and record what was asked.
// Every text here is UTF-8.
#include <filesystem>
#include <functional>
#include <string>

#include "core/error.h"

namespace ov {

enum class Answer { Yes, No };
enum class Icon { None, Information, Question, Warning, Critical };

class Host {
public:
    virtual ~Host() = default;

    // A Yes/No question with the default button given.
    virtual Answer ask(const std::string& text, const std::string& title, Answer defaultButton) = 0;
    virtual void message(const std::string& text, const std::string& title, Icon icon) = 0;
    // The platform's error report of an action that failed.
    virtual void showError(const Error& error) = 0;

    // The main window's caption, repainted at once (long runs show the day being processed).
    virtual void setCaption(const std::string& caption) = 0;
    // Progress of a long run: done steps out of total (total 0 hides the bar).
    virtual void setProgress(int done, int total) = 0;

    // The print menu, shown modally on the current print file.
    virtual void showPrintMenu() = 0;
    // Open a file with its associated program; false when the system could not.
    virtual bool openWithAssociatedProgram(const std::string& path) = 0;
    // Start a program by name from a folder, not waiting for it; false when it could not start.
    virtual bool startProgram(const std::string& program, const std::string& workingFolder) = 0;
};

// Opens a file that was just written with its associated program. When no program could be
// started, a warning under `title` names the file (it stays written) and the answer is false.
inline bool openOrWarn(Host& host, const std::filesystem::path& file, const std::string& title) {
    if (host.openWithAssociatedProgram(file.string())) return true;
    host.message("Impossibile aprire il file " + file.filename().string() + " con il programma associato", title,
                 Icon::Warning);
    return false;
}

// Runs a window's action; an error it raises is reported under the given source name, so the
// window stays usable ("Riporto Clienti" in the previews).
inline void runReportingErrors(Host& host, const char* source, const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        host.showError(e.withSource(source));
    } catch (const std::exception& e) {
        host.showError(Error(err::FileIo, e.what(), source));
    }
}

}  // namespace ov
