// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/World.h"
#include "view/Canvas.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QToolButton>
#include <QWidget>

#include <functional>

namespace taonscope {

/// A label at (x, y), as large as its text, with an optional style sheet.
QLabel* PlaceLabel(QWidget* parent, int x, int y, const QString& text, const QString& style = {});

/// A one-line edit of height 23 at (x, y) holding text, with an optional style sheet for its box.
QLineEdit* PlaceEdit(QWidget* parent, int x, int y, int width, const QString& text,
                     const QString& style = {});

/// A style sheet colour.
QString ColourStyle(Rgb colour);

/// A filled circle whose colour tells whether a run is in progress.
class LampShape : public QWidget {
public:
    LampShape(Rgb colour, QWidget* parent);
    void SetColour(Rgb colour);
    Rgb Colour() const { return colour_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Rgb colour_;
};

/// A label that reports double-clicks.
class ClickableLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onDoubleClick;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

/// A tool button whose tooltip is asked for each time it is about to show, so that it can say what a
/// click does in the button's present state.
class HintButton : public QToolButton {
public:
    using QToolButton::QToolButton;
    std::function<QString()> hint; ///< the tooltip for the present state; the set tooltip when empty

protected:
    bool event(QEvent* event) override;
};

/// The scene area: shows the image the scene is drawn into. A paint that finds the image not freshly
/// drawn (the window was shown, uncovered or resized) asks for a redraw first.
class SceneWidget : public QWidget {
public:
    explicit SceneWidget(QWidget* parent);

    /// The image to draw into, as large as the widget.
    QImage& Image();
    /// Shows what was drawn into the image.
    void Present();

    std::function<void()> onPaint;                                 ///< redraws the image
    std::function<void(Qt::MouseButton, int, int)> onMousePress;   ///< button and client position
    std::function<void(Qt::MouseButton, int, int)> onMouseRelease; ///< button and client position
    /// Button and client position of a double click, told after the press it also is.
    std::function<void(Qt::MouseButton, int, int)> onMouseDoubleClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage image_;
    bool fresh_ = false;
};

/// A grid of text cells addressed as (column, row) with a fixed header row 0 and header column 0.
class StringGrid : public QTableWidget {
public:
    StringGrid(int columns, int rows, QWidget* parent);

    /// Sets the text of a cell.
    void SetCell(int column, int row, const QString& text);
    /// The text of a cell; empty for a cell the grid does not have.
    QString Cell(int column, int row) const;
    /// The selected row, 1 or more (0 when none).
    int SelectedRow() const { return currentRow() + 1; }
    /// Writes the taon table: column headers X, Y, Z (or u(x), u(y), u(z)), the slot numbers in the
    /// header column, and the positions (or velocities) of the present taons; absent rows stay empty.
    void FillTaons(const World& world, bool velocities);
    /// Sets the width of every column but the header column.
    void SetDefaultColumnWidth(int width);

    std::function<void()> onDoubleClick;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void updateGeometries() override;

private:
    QLabel* corner_; // the text of cell (0, 0), over the corner between the headers
};

} // namespace taonscope
