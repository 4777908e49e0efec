#include "DeferredIcon.h"

#include <QIconEngine>
#include <optional>

namespace platform {
namespace {

class DeferredIconEngine : public QIconEngine {
public:
    explicit DeferredIconEngine(QString fileName) : fileName_(std::move(fileName)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    bool isNull() override { return icon().isNull(); }
    QString key() const override { return QStringLiteral("DeferredIconEngine"); }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

private:
    const QIcon& icon() {
        if (!icon_)
            icon_.emplace(fileName_);
        return *icon_;
    }

    QString fileName_;
    std::optional<QIcon> icon_;
};

} // namespace

QIcon deferredIcon(const QString& fileName) {
    return QIcon(new DeferredIconEngine(fileName));
}

} // namespace platform
