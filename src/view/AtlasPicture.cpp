// SPDX-License-Identifier: GPL-3.0-or-later
#include "AtlasPicture.h"

#include <QFontMetrics>

namespace taonscope {

namespace {

QColor ToColour(MapRgb c) {
    return QColor(c.R, c.G, c.B);
}

} // namespace

QFont MapFont(bool bold) {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    font.setBold(bold);
    return font;
}

void PaintAtlasMap(QPainter& painter, const MapLayout& layout) {
    painter.fillRect(0, 0, layout.Width, layout.Height, Qt::white);
    for (const MapTile& tile : layout.Tiles)
        painter.fillRect(tile.Box.X, tile.Box.Y, tile.Box.Width, tile.Box.Height, ToColour(tile.Colour));
    painter.setPen(QPen(QColor(60, 60, 60), 1));
    painter.setBrush(Qt::NoBrush);
    for (const MapRect& panel : layout.Panels)
        painter.drawRect(panel.X - 1, panel.Y - 1, panel.Width + 1, panel.Height + 1);

    painter.setPen(Qt::black);
    for (const MapLabel& label : layout.Labels) {
        const QFont font = MapFont(label.Bold);
        painter.setFont(font);
        const QFontMetrics metrics(font);
        const QString text = QString::fromStdString(label.Text);
        const int width = metrics.horizontalAdvance(text);
        const int x = label.Align == MapLabel::Anchor::Left    ? label.X
                      : label.Align == MapLabel::Anchor::Right ? label.X - width
                                                               : label.X - width / 2;
        painter.drawText(x, label.Y + (metrics.ascent() - metrics.descent()) / 2, text);
    }
    painter.setFont(MapFont());
    const QFontMetrics metrics(painter.font());
    for (const MapLegendEntry& entry : layout.Legend) {
        const MapRect& s = entry.Swatch;
        painter.fillRect(s.X, s.Y, s.Width, s.Height, ToColour(entry.Colour));
        painter.setPen(QColor(60, 60, 60));
        painter.drawRect(s.X, s.Y, s.Width - 1, s.Height - 1);
        painter.setPen(Qt::black);
        painter.drawText(s.X + s.Width + 6, s.Y + s.Height / 2 + (metrics.ascent() - metrics.descent()) / 2,
                         QString::fromStdString(entry.Text));
    }
}

QImage AtlasPicture(const MapLayout& layout) {
    QImage image(std::max(layout.Width, 1), std::max(layout.Height, 1), QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PaintAtlasMap(painter, layout);
    return image;
}

} // namespace taonscope
