#pragma once

#include <QRect>
#include <QWidget>

// Window layouts are designed in twips, 1440 to the inch: 15 twips make a
// pixel at 96 dpi.
namespace platform {

inline int twipsToPixels(int twips, qreal dotsPerInch) {
    return qRound(twips * dotsPerInch / 1440.0);
}

inline int pixelsToTwips(int pixels, qreal dotsPerInch) {
    return qRound(pixels * 1440.0 / dotsPerInch);
}

class Twips {
public:
    explicit Twips(const QWidget& widget) : dpi_(widget.logicalDpiX()) {}
    int px(int twips) const { return twipsToPixels(twips, dpi_); }
    int twips(int pixels) const { return pixelsToTwips(pixels, dpi_); }
    QRect rect(int left, int top, int width, int height) const {
        return {px(left), px(top), px(width), px(height)};
    }
    QSize size(int width, int height) const { return {px(width), px(height)}; }

private:
    qreal dpi_;
};

} // namespace platform
