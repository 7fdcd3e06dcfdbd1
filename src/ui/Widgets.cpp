// SPDX-License-Identifier: GPL-3.0-or-later
#include "Widgets.h"

#include "Text.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>

namespace taonscope {

QLabel* PlaceLabel(QWidget* parent, int x, int y, const QString& text, const QString& style) {
    auto* label = new QLabel(text, parent);
    if (!style.isEmpty()) label->setStyleSheet(style);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QLineEdit* PlaceEdit(QWidget* parent, int x, int y, int width, const QString& text, const QString& style) {
    auto* edit = new QLineEdit(text, parent);
    edit->setGeometry(x, y, width, 23);
    if (!style.isEmpty()) edit->setStyleSheet(QStringLiteral("QLineEdit { %1 }").arg(style));
    return edit;
}

QString ColourStyle(Rgb colour) {
    return QStringLiteral("rgb(%1, %2, %3)").arg(colour.r).arg(colour.g).arg(colour.b);
}

LampShape::LampShape(Rgb colour, QWidget* parent) : QWidget(parent), colour_(colour) {}

void LampShape::SetColour(Rgb colour) {
    colour_ = colour;
    update();
}

void LampShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::black);
    painter.setBrush(QColor(colour_.r, colour_.g, colour_.b));
    painter.drawEllipse(rect().adjusted(0, 0, -1, -1));
}

void ClickableLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (onDoubleClick) onDoubleClick();
    QLabel::mouseDoubleClickEvent(event);
}

bool HintButton::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && hint) setToolTip(hint());
    return QToolButton::event(event);
}

SceneWidget::SceneWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage& SceneWidget::Image() {
    if (image_.size() != size()) {
        image_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        image_.fill(Qt::black);
        fresh_ = false;
    }
    return image_;
}

void SceneWidget::Present() {
    fresh_ = true;
    update();
}

void SceneWidget::paintEvent(QPaintEvent*) {
    if (!fresh_ && onPaint) onPaint();
    fresh_ = false;
    QPainter painter(this);
    painter.drawImage(0, 0, Image());
}

void SceneWidget::mousePressEvent(QMouseEvent* event) {
    if (onMousePress)
        onMousePress(event->button(), event->position().toPoint().x(), event->position().toPoint().y());
}

void SceneWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (onMouseRelease)
        onMouseRelease(event->button(), event->position().toPoint().x(), event->position().toPoint().y());
}

// The second press of a double click stays a press, as it was before double clicks were reported.
void SceneWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
    if (onMouseDoubleClick)
        onMouseDoubleClick(event->button(), event->position().toPoint().x(), event->position().toPoint().y());
}

StringGrid::StringGrid(int columns, int rows, QWidget* parent) : QTableWidget(rows - 1, columns - 1, parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // A cell shows the beginning of its text, cut at its right edge: an ellipsis after the first digits
    // would make 1.7E-18 read as "1.…".
    setTextElideMode(Qt::ElideNone);
    setWordWrap(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    setCornerButtonEnabled(false);
    corner_ = new QLabel(this);
    corner_->setAlignment(Qt::AlignCenter);
    for (int c = 1; c < columns; ++c) setHorizontalHeaderItem(c - 1, new QTableWidgetItem(QString()));
    for (int r = 1; r < rows; ++r) setVerticalHeaderItem(r - 1, new QTableWidgetItem(QString()));
}

void StringGrid::SetCell(int column, int row, const QString& text) {
    if (column < 0 || row < 0 || column > columnCount() || row > rowCount()) return;
    if (column == 0 && row == 0) {
        corner_->setText(text);
        verticalHeader()->setMinimumWidth(corner_->fontMetrics().horizontalAdvance(text) + 8);
    } else if (row == 0) {
        horizontalHeaderItem(column - 1)->setText(text);
    } else if (column == 0) {
        verticalHeaderItem(row - 1)->setText(text);
    } else if (QTableWidgetItem* cell = item(row - 1, column - 1)) {
        cell->setText(text);
    } else {
        setItem(row - 1, column - 1, new QTableWidgetItem(text));
    }
}

QString StringGrid::Cell(int column, int row) const {
    if (column < 0 || row < 0 || column > columnCount() || row > rowCount()) return {};
    if (column == 0 && row == 0) return corner_->text();
    if (row == 0) return horizontalHeaderItem(column - 1)->text();
    if (column == 0) return verticalHeaderItem(row - 1)->text();
    const QTableWidgetItem* cell = item(row - 1, column - 1);
    return cell ? cell->text() : QString();
}

void StringGrid::FillTaons(const World& world, bool velocities) {
    SetCell(1, 0, velocities ? QStringLiteral("u(x)") : QStringLiteral("X"));
    SetCell(2, 0, velocities ? QStringLiteral("u(y)") : QStringLiteral("Y"));
    SetCell(3, 0, velocities ? QStringLiteral("u(z)") : QStringLiteral("Z"));
    const int slotCount = std::clamp(world.TaonCount, 0, MaxTaons);
    for (int i = 1; i <= slotCount; ++i) SetCell(0, i, QString::number(i));
    const TaonArray& x = velocities ? world.VelX : world.PosX;
    const TaonArray& y = velocities ? world.VelY : world.PosY;
    const TaonArray& z = velocities ? world.VelZ : world.PosZ;
    for (int i = 1; i <= slotCount; ++i) {
        const bool present = world.TaonPresent[i];
        SetCell(1, i, present ? RealText(x[i]) : QString());
        SetCell(2, i, present ? RealText(y[i]) : QString());
        SetCell(3, i, present ? RealText(z[i]) : QString());
    }
}

void StringGrid::SetDefaultColumnWidth(int width) {
    horizontalHeader()->setDefaultSectionSize(std::max(width, 1));
    for (int c = 0; c < columnCount(); ++c) setColumnWidth(c, std::max(width, 1));
}

void StringGrid::updateGeometries() {
    QTableWidget::updateGeometries();
    corner_->setGeometry(frameWidth(), frameWidth(), verticalHeader()->width(), horizontalHeader()->height());
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableWidget::mouseDoubleClickEvent(event);
    if (onDoubleClick) onDoubleClick();
}

} // namespace taonscope
