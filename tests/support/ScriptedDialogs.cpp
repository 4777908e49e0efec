#include "ScriptedDialogs.h"

#include <QTimer>
#include <gtest/gtest.h>

ScriptedDialogs::ScriptedDialogs() {
    platform::setDialogResponder(this);
}

ScriptedDialogs::~ScriptedDialogs() {
    platform::setDialogResponder(nullptr);
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " scripted answers were never asked for";
    EXPECT_TRUE(inputs_.empty()) << inputs_.size() << " scripted inputs were never asked for";
}

int ScriptedDialogs::msgBox(const QString& text, int style, const QString& title) {
    shown_.push_back({text, style, title});
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected message box: " << text.toStdString();
        return platform::vbCancel;
    }
    Answer answer = std::move(answers_.front());
    answers_.pop_front();
    if (answer.then)
        QTimer::singleShot(0, std::move(answer.then));
    return answer.result;
}

std::optional<QString> ScriptedDialogs::inputBox(const QString& prompt, const QString& title,
                                                 const QString&) {
    shown_.push_back({prompt, 0, title});
    if (inputs_.empty()) {
        ADD_FAILURE() << "unexpected input box: " << prompt.toStdString();
        return std::nullopt;
    }
    const bool cancelled = !inputs_.front().has_value();
    QString text = inputs_.front().value_or(QString());
    inputs_.pop_front();
    return cancelled ? std::nullopt : std::optional<QString>(text);
}

std::optional<QString> ScriptedDialogs::saveFileName(const QString& caption,
                                                     const QString& suggestedName) {
    return inputBox(suggestedName, caption, {});
}
