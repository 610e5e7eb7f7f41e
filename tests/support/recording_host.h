#pragma once
// A Host for tests: answers questions from a script and records everything it is asked.
#include <deque>
#include <string>
#include <vector>

#include "platform/host.h"

namespace ovtest {

class RecordingHost : public ov::Host {
public:
    struct Question {
        std::string text, title;
        ov::Answer defaultButton;
    };
    struct Message {
        std::string text, title;
        ov::Icon icon;
    };

    // Answers given in order; when none is left, the default button.
    std::deque<ov::Answer> answers;
    std::vector<Question> questions;
    std::vector<Message> messages;
    std::vector<ov::Error> errors;
    std::vector<std::string> captions;
    std::vector<std::string> opened;
    std::vector<std::string> started;
    int printMenus = 0;
    int lastProgressTotal = -1;
    bool startSucceeds = true;
    bool openSucceeds = true;

    ov::Answer ask(const std::string& text, const std::string& title, ov::Answer def) override {
        questions.push_back({text, title, def});
        if (answers.empty()) return def;
        ov::Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void message(const std::string& text, const std::string& title, ov::Icon icon) override {
        messages.push_back({text, title, icon});
    }
    void showError(const ov::Error& e) override { errors.push_back(e); }
    void setCaption(const std::string& caption) override { captions.push_back(caption); }
    void setProgress(int, int total) override { lastProgressTotal = total; }
    void showPrintMenu() override { ++printMenus; }
    bool openWithAssociatedProgram(const std::string& path) override {
        opened.push_back(path);
        return openSucceeds;
    }
    bool startProgram(const std::string& program, const std::string&) override {
        started.push_back(program);
        return startSucceeds;
    }
};

}  // namespace ovtest
