// SPDX-License-Identifier: GPL-3.0-or-later
#include "AtlasWindow.h"

#include "Guard.h"
#include "Text.h"

#include "view/AtlasPicture.h"

#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace taonscope {

AtlasMapView::AtlasMapView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setMinimumSize(420, 280);
}

void AtlasMapView::Show(const Atlas* atlas, MapColour colour) {
    atlas_ = atlas;
    colour_ = colour;
    LayOut();
}

void AtlasMapView::LayOut() {
    if (atlas_) layout_ = LayOutMap(*atlas_, colour_, std::max(width(), 300), std::max(height(), 200));
    update();
}

void AtlasMapView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PaintAtlasMap(painter, layout_);
    for (const MapTile& tile : layout_.Tiles)
        if (tile.Cell == hovered_) {
            painter.setPen(QPen(Qt::black, 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(tile.Box.X + 1, tile.Box.Y + 1, tile.Box.Width - 2, tile.Box.Height - 2);
        }
}

void AtlasMapView::resizeEvent(QResizeEvent*) {
    LayOut();
}

void AtlasMapView::HoverAt(int x, int y) {
    const MapTile* tile = layout_.TileAt(x, y);
    const int cell = tile ? tile->Cell : 0;
    if (cell == hovered_) return;
    hovered_ = cell;
    update();
    if (onHover) onHover(cell);
}

void AtlasMapView::mouseMoveEvent(QMouseEvent* event) {
    HoverAt(event->position().toPoint().x(), event->position().toPoint().y());
}

void AtlasMapView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    HoverAt(at.x(), at.y());
    if (const MapTile* tile = layout_.TileAt(at.x(), at.y()); tile && onClick) onClick(tile->Cell);
}

void AtlasMapView::leaveEvent(QEvent*) {
    HoverAt(-1, -1);
}

AtlasWindow::AtlasWindow(Atlas atlas, Questions& questions, OpenCell open, QWidget* parent)
    : QWidget(parent, Qt::Window), atlas_(std::move(atlas)), questions_(questions), open_(std::move(open)) {
    setObjectName(QStringLiteral("AtlasWindow"));
    setWindowTitle(QStringLiteral("Atlas: %1").arg(FromPath(atlas_.Plan.Folder.Dir)));
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("Colour by"), this));
    ColourBox = new QComboBox(this);
    for (const std::string& name : MapColourNames()) ColourBox->addItem(QString::fromStdString(name));
    bar->addWidget(ColourBox);
    bar->addStretch();
    Reload = new QPushButton(QStringLiteral("Reload"), this);
    bar->addWidget(Reload);
    layout->addLayout(bar);
    MapView = new AtlasMapView(this);
    layout->addWidget(MapView, 1);
    Readout = new QLabel(this);
    Readout->setMinimumHeight(6 * Readout->fontMetrics().height());
    Readout->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Readout->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(Readout);

    connect(ColourBox, &QComboBox::currentIndexChanged, this, &AtlasWindow::ColourChange);
    connect(Reload, &QPushButton::clicked, this, &AtlasWindow::ReloadClick);
    MapView->onHover = [this](int cell) { MapHover(cell); };
    MapView->onClick = [this](int cell) { MapClick(cell); };
    MapView->Show(&atlas_, MapColour::Outcome);
    MapHover(0);
    resize(960, 720);
}

const CellRecord* AtlasWindow::RecordOf(int cell) const {
    for (const CellRecord& record : atlas_.Records)
        if (record.Index == cell) return &record;
    return nullptr;
}

void AtlasWindow::ReloadClick() {
    Guarded(questions_, [&] {
        atlas_ = ReadAtlas(atlas_.Plan.Folder.Dir);
        MapView->Show(&atlas_, static_cast<MapColour>(std::max(ColourBox->currentIndex(), 0)));
        MapHover(MapView->Hovered());
    });
}

void AtlasWindow::ColourChange(int choice) {
    Guarded(questions_, [&] { MapView->Show(&atlas_, static_cast<MapColour>(std::max(choice, 0))); });
}

void AtlasWindow::MapHover(int cell) {
    Guarded(questions_, [&] {
        if (cell == 0) {
            Readout->setText(
                QStringLiteral("%1 of %2 cells done. Point at a cell for its numbers; click it to open "
                               "its last configuration.")
                    .arg(atlas_.Records.size())
                    .arg(atlas_.Plan.Sweep.CellCount()));
        } else if (const CellRecord* record = RecordOf(cell)) {
            Readout->setText(QString::fromStdString(CellSummary(atlas_.Plan.Sweep, *record)));
        } else {
            Readout->setText(QStringLiteral("cell %1 is not done yet").arg(cell));
        }
    });
}

void AtlasWindow::MapClick(int cell) {
    if (!RecordOf(cell) || !open_) return;
    open_(atlas_.Plan.Folder.ConfigurationFile(cell), atlas_.Plan.Sweep.Protocol.Cool);
}

AtlasWindow* ShowAtlasWindow(const std::string& path, Questions& questions, OpenCell open, QWidget* parent) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    auto* window = new AtlasWindow(ReadAtlas(folder), questions, std::move(open), parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace taonscope
