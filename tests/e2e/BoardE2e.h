#pragma once
// What the end-to-end tests share: the test forum's board, one deadline for every wait, the
// windows that show the forum's answers, and changes a teller makes in the forum by hand.
#include "ForumProxy.h"
#include "QtPrinting.h"
#include "ScriptedDialogs.h"
#include "board_test_support.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

inline const QString TestBoard = "http://testbank.proboards.com/index.cgi?board=accounts";
inline constexpr int Deadline = 60000;

// Waits for the condition; one that does not come fails the test and ends it.
#define ASSERT_SOON(condition)                                                                     \
    ASSERT_TRUE(QTest::qWaitFor([&] { return bool(condition); }, Deadline)) << #condition

// The visible windows that show a page the program opened for the user.
inline QList<QWidget*> viewers() {
    QList<QWidget*> shown;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == "PageViewer" && window->isVisible())
            shown.append(window);
    return shown;
}

inline void closeViewers() {
    for (QWidget* window : viewers())
        window->close();
}

// The boxes shown so far, each as "title: text".
inline QStringList boxes(const ScriptedDialogs& dialogs) {
    QStringList shown;
    for (const auto& box : dialogs.shown())
        shown.append(box.title + ": " + box.text);
    return shown;
}

// A teller's edit or deletion of a thread's first post, made in the forum and not through the
// program.
inline void editInForum(int port, int thread, const std::string& subject,
                        const std::string& message) {
    zentab::board::testing::ForumClient teller(port);
    ASSERT_TRUE(teller.login("teller"));
    const std::string n = std::to_string(thread);
    const auto edit = teller.post({{"action", "modifypost2"},
                                   {"board", "accounts"},
                                   {"thread", n},
                                   {"post", n},
                                   {"subject", subject},
                                   {"message", message},
                                   {"nextaction", "post"}});
    ASSERT_TRUE(edit && edit->status == 303);
}

inline void deleteInForum(int port, int thread) {
    zentab::board::testing::ForumClient teller(port);
    ASSERT_TRUE(teller.login("teller"));
    const std::string n = std::to_string(thread);
    ASSERT_TRUE(teller.get("board=accounts&action=deletepost&thread=" + n + "&post=" + n));
}
