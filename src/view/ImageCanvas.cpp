// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImageCanvas.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace taonscope {

namespace {
QColor ToQColor(Rgb colour) {
    return QColor(colour.r, colour.g, colour.b);
}
} // namespace

QFont SceneFont() {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif, QFont::NoAntialias);
    font.setPixelSize(11);
    return font;
}

void ImageCanvas::SetPixel(int x, int y, Rgb colour) {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return;
    image_.setPixel(x, y, qRgb(colour.r, colour.g, colour.b));
}

void ImageCanvas::Blend(int x, int y, Rgb colour, double coverage) {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return;
    if (coverage >= 1) return SetPixel(x, y, colour);
    const QRgb under = image_.pixel(x, y);
    auto mix = [&](int over, int below) {
        return static_cast<int>(std::lround(below + (over - below) * coverage));
    };
    image_.setPixel(
        x, y, qRgb(mix(colour.r, qRed(under)), mix(colour.g, qGreen(under)), mix(colour.b, qBlue(under))));
}

void ImageCanvas::Fill(int left, int top, int right, int bottom, Rgb colour) {
    left = std::max(left, 0), top = std::max(top, 0);
    right = std::min(right, image_.width()), bottom = std::min(bottom, image_.height());
    if (right <= left || bottom <= top) return;
    QPainter painter(&image_);
    painter.fillRect(QRect(left, top, right - left, bottom - top), ToQColor(colour));
}

void ImageCanvas::TextOut(int x, int y, const std::string& text) {
    const QString string = QString::fromStdString(text);
    const QFont font = SceneFont();
    const QFontMetrics metrics(font);
    const QRect box(x, y, metrics.horizontalAdvance(string), metrics.height());
    QPainter painter(&image_);
    painter.fillRect(box, ToQColor(BrushColor()));
    painter.setFont(font);
    painter.setPen(ToQColor(FontColor()));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, string);
}

int ImageCanvas::TextWidth(const std::string& text) const {
    return QFontMetrics(SceneFont()).horizontalAdvance(QString::fromStdString(text));
}

} // namespace taonscope
