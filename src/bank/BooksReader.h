#pragma once

#include "BooksCheck.h"
#include "PostSaver.h"

#include <functional>
#include <optional>

class WebBrowser;

namespace bank {

// Reads an account's post and its replies from the forum as they are held:
// through their edit forms where the user may change the account, else from
// what the thread page shows. It never sends a form.
class BooksReader {
public:
    struct Account {
        QString threadNumber;
        QString name;
        bool mayModify = false;
    };
    // The edit page of one post of a thread.
    using EditAddress = std::function<QString(const QString& thread, const QString& post)>;

    BooksReader(ForumWait wait, QString boardUrl, EditAddress editAddress);
    ~BooksReader();
    BooksReader(const BooksReader&) = delete;
    BooksReader& operator=(const BooksReader&) = delete;

    // Nothing when the thread page could not be read.
    std::optional<AccountRecord> read(const Account& account);

    // The thread page of an account.
    QString threadAddress(const QString& threadNumber) const;

private:
    bool readEditForms(AccountRecord& record);

    QString boardUrl_;
    EditAddress editAddress_;
    PostSaver saver_;
    WebBrowser* page_;
};

} // namespace bank
