#include "BooksReader.h"

#include "AccountPages.h"
#include "WebBrowser.h"

namespace bank {

BooksReader::BooksReader(ForumWait wait, QString boardUrl, EditAddress editAddress)
    : boardUrl_(std::move(boardUrl)), editAddress_(std::move(editAddress)), saver_(std::move(wait)),
      page_(new WebBrowser) {}

BooksReader::~BooksReader() {
    delete page_;
}

QString BooksReader::threadAddress(const QString& threadNumber) const {
    return boardUrl_ + QStringLiteral("&action=display&thread=") + threadNumber;
}

std::optional<AccountRecord> BooksReader::read(const Account& account) {
    if (!saver_.load(*page_, threadAddress(account.threadNumber)) ||
        page_->LocationName().contains(QLatin1String("error has occurred"), Qt::CaseInsensitive))
        return std::nullopt;
    AccountRecord record{account.threadNumber, account.name, {}, {}};
    if (account.mayModify && readEditForms(record))
        return record;
    const QStringList bodies = postBodies(page_->Document().body().innerHTML());
    if (bodies.isEmpty())
        return std::nullopt;
    record.post = forumMarkup(bodies.first());
    record.archives.clear();
    for (qsizetype i = 1; i < bodies.size(); ++i)
        record.archives.append(forumMarkup(bodies[i]));
    return record;
}

// The thread's posts as their edit forms hold them; false when one cannot be read.
bool BooksReader::readEditForms(AccountRecord& record) {
    for (const QString& post : editedPosts(linksOf(*page_), record.threadNumber)) {
        const auto fields = saver_.read(editAddress_(record.threadNumber, post));
        if (!fields)
            return false;
        if (post == record.threadNumber)
            record.post = fields->message;
        else
            record.archives.append(fields->message);
    }
    return !record.post.isEmpty();
}

} // namespace bank
