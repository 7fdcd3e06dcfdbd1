// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileNameBar.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

#include <array>

namespace taonscope {

namespace {

// Dark enough to read on the bar's silver, lighter than any text the bar shows.
const QColor HintColour(85, 85, 85);
// QLineEdit's own margin between its contents rectangle and the text.
constexpr int TextMargin = 2;

} // namespace

FileNameBar::FileNameBar(const QString& caption, QWidget* parent)
    : QLineEdit(caption, parent), caption_(caption) {}

QString FileNameBar::ShownHint() const {
    return text() == caption_ || text().isEmpty() ? placeholderText() : QString();
}

void FileNameBar::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    const QString hint = ShownHint();
    if (hint.isEmpty() || text().isEmpty()) return; // an empty line draws its placeholder itself

    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents =
        style()->subElementRect(QStyle::SE_LineEditContents, &option, this).marginsRemoved(textMargins());
    const int left = contents.left() + TextMargin + fontMetrics().horizontalAdvance(text()) +
                     3 * fontMetrics().averageCharWidth();
    const QRect area(left, contents.top(), contents.right() - TextMargin - left, contents.height());
    if (area.width() <= 0) return;

    QFont font = this->font();
    font.setBold(false);
    QPainter painter(this);
    painter.setFont(font);
    painter.setPen(HintColour);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetrics(font).elidedText(hint, Qt::ElideRight, area.width()));
}

QString ExamplesHint(qsizetype count) {
    static const std::array<const char*, 12> Words = {"one",   "two",   "three", "four", "five",   "six",
                                                      "seven", "eight", "nine",  "ten",  "eleven", "twelve"};
    if (count <= 0) return {};
    const QString number = count <= static_cast<qsizetype>(Words.size())
                               ? QString::fromLatin1(Words[count - 1])
                               : QString::number(count);
    return QStringLiteral("File > Examples holds %1 worked example%2")
        .arg(number, count == 1 ? QString() : QStringLiteral("s"));
}

} // namespace taonscope
