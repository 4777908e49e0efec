#pragma once

#include "AccountPages.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <functional>

class AccountListView;
class QAbstractButton;
class QTreeWidgetItem;
class QWidget;
class StatusBar;
class WebBrowser;

// Fills the manager's list with every account of the board: board pages one by
// one in WebBrowser1, each account thread of a page in WebBrowser2, one request
// in flight at a time. Every wait lets the windows work and ends quietly when
// the manager window goes away.
class AccountLoader : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QWidget& window; // whose caption names the forum user
        AccountListView& list;
        StatusBar& status;
        QAbstractButton& create;
        std::function<void(QTreeWidgetItem*)> itemClick;
    };

    AccountLoader(Controls controls, QObject* parent);

    // Walks the whole board unless a load is running already.
    void Load();
    // The window is being unloaded: every wait ends and nothing is filled any more.
    void unload();

    // Set while a load runs; other windows set it so that the manager's next
    // activation starts no load.
    bool isLoading() const { return loading; }
    void setLoading(bool hold) { loading = hold; }

    WebBrowser* const WebBrowser1;
    WebBrowser* const WebBrowser2;

private:
    void WebBrowser1_DocumentComplete(const QString& URL, bool topLevel);
    void WebBrowser2_DocumentComplete(const QString& URL, bool topLevel);

    void readThreadPage(bool topLevel);
    // Each returns false when this loader is gone.
    bool readBoardPage(const QString& address, bool topLevel);
    bool checkUser(const QString& address, const QString& captionUser);
    bool walkThreadTable(const QString& captionUser);
    bool serverOverload(const WebBrowser& browser);
    bool pause(int ms); // also false when the program is quitting
    bool waitUntil(const std::function<bool()>& done, int pollMs);

    QString captionUser() const;
    bool readAgain(const QTreeWidgetItem& row, const bank::ThreadLink& link,
                   const QString& shownUser) const;
    void removeRowsNotSeen();

    Controls c;
    bool loading = false;
    bool morePages = false;
    bool pageDone = false;
    bool threadDone = false;
    bool userChanged = false;
    int loadError = 0;
    // The key of the row WebBrowser2 is filling; a row removed meanwhile is not found.
    QString currentItem;
    QString lastPageAddress;
    QString forumUserName;
    QSet<QString> seen_;     // the threads the board's pages listed in this load
    bool boardRead_ = false; // a page of the board was read in this load
    bool unloaded_ = false;  // the window is closing: every wait ends
};
