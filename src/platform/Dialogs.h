#pragma once

#include <QString>
#include <optional>

// Every message box and input box of the program goes through here, so that
// tests can answer them instead of a person.
namespace platform {

enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512,
};

enum MsgBoxResult : int { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

class DialogResponder {
public:
    virtual ~DialogResponder() = default;
    virtual int msgBox(const QString& text, int style, const QString& title) = 0;
    // Nothing when the box was cancelled.
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) = 0;
    // Nothing when the user chose no file.
    virtual std::optional<QString> saveFileName(const QString& caption,
                                                const QString& suggestedName) = 0;
};

// Replaces the real dialogs; nullptr brings them back.
void setDialogResponder(DialogResponder* responder);

// Shows a message box; an empty title means the application's title.
int MsgBox(const QString& text, int style = vbOKOnly, const QString& title = {});

// Shows an input box; the empty text when cancelled, as the user would expect.
QString InputBox(const QString& prompt, const QString& title = {}, const QString& defaultText = {});

// Asks where to save a file of comma-separated values; empty when cancelled.
QString SaveCsvFileName(const QString& caption, const QString& suggestedName);

} // namespace platform
