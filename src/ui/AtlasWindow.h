// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Questions.h"

#include "atlas/Map.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <functional>
#include <string>

namespace taonscope {

/// The map of an atlas drawn to the widget's size; it tells which cell the mouse is over and which one
/// was clicked.
class AtlasMapView : public QWidget {
public:
    explicit AtlasMapView(QWidget* parent = nullptr);

    /// Shows an atlas coloured as asked.
    void Show(const Atlas* atlas, MapColour colour);
    /// The layout drawn now.
    const MapLayout& Layout() const { return layout_; }
    /// The cell under the mouse (0: none); it is outlined.
    int Hovered() const { return hovered_; }

    std::function<void(int cell)> onHover; ///< the mouse moved onto a cell (0: off every cell)
    std::function<void(int cell)> onClick; ///< a cell was clicked with the left button

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void LayOut();
    void HoverAt(int x, int y);

    const Atlas* atlas_ = nullptr;
    MapColour colour_ = MapColour::Outcome;
    MapLayout layout_;
    int hovered_ = 0;
};

/// Opens a clicked cell's last configuration: its path, and whether the sweep's runs cooled.
using OpenCell = std::function<void(const std::string& path, bool cool)>;

/// A window that shows the map of an atlas folder: a choice of colouring, the map, and below it the
/// numbers of the cell the mouse is over. Clicking a done cell opens its last configuration.
class AtlasWindow : public QWidget {
public:
    /// Shows the atlas of dir; open is called for a clicked cell.
    AtlasWindow(Atlas atlas, Questions& questions, OpenCell open, QWidget* parent = nullptr);

    /// Reads the folder again, for the cells done since (Reload).
    void ReloadClick();
    /// Colours the map by the choice of the colour box.
    void ColourChange(int choice);
    /// Shows the numbers of a cell, or says that none is under the mouse (cell 0).
    void MapHover(int cell);
    /// Opens the last configuration of a done cell.
    void MapClick(int cell);

    /// The atlas shown.
    const Atlas& Shown() const { return atlas_; }

    QComboBox* ColourBox = nullptr;  ///< outcome, clusters, largest ...
    QPushButton* Reload = nullptr;   ///< reads the folder again
    AtlasMapView* MapView = nullptr; ///< the map
    QLabel* Readout = nullptr;       ///< the numbers of the cell under the mouse

private:
    const CellRecord* RecordOf(int cell) const;

    Atlas atlas_;
    Questions& questions_;
    OpenCell open_;
};

/// Opens the atlas whose folder holds path (its atlas.json or sweep.atlas.json) in a window of its own,
/// a child of parent that is deleted when closed; open is called for a clicked cell.
AtlasWindow* ShowAtlasWindow(const std::string& path, Questions& questions, OpenCell open, QWidget* parent);

} // namespace taonscope
