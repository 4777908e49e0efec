#pragma once

#include "Dialogs.h"

#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

// Answers the program's message and input boxes in place of a person and
// records every box shown. A box that nobody scripted fails the test.
class ScriptedDialogs : public platform::DialogResponder {
public:
    struct Shown {
        QString text;
        int style;
        QString title;
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;

    // `then` runs once the box is answered and the program's code goes on
    // waiting: as the person does, after closing the box.
    void answer(int msgBoxResult, std::function<void()> then = {}) {
        answers_.push_back({msgBoxResult, std::move(then)});
    }
    // Input boxes and file choices are answered in the order they come.
    void answerInput(std::optional<QString> text) { inputs_.push_back(std::move(text)); }
    const std::vector<Shown>& shown() const { return shown_; }

    int msgBox(const QString& text, int style, const QString& title) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    std::optional<QString> saveFileName(const QString& caption,
                                        const QString& suggestedName) override;

private:
    struct Answer {
        int result;
        std::function<void()> then;
    };
    std::deque<Answer> answers_;
    std::deque<std::optional<QString>> inputs_;
    std::vector<Shown> shown_;
};
