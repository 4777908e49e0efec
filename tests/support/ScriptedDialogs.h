#pragma once

#include "Dialogs.h"

#include <QString>
#include <deque>
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

    void answer(int msgBoxResult) { answers_.push_back(msgBoxResult); }
    void answerInput(std::optional<QString> text) { inputs_.push_back(std::move(text)); }
    const std::vector<Shown>& shown() const { return shown_; }

    int msgBox(const QString& text, int style, const QString& title) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;

private:
    std::deque<int> answers_;
    std::deque<std::optional<QString>> inputs_;
    std::vector<Shown> shown_;
};
