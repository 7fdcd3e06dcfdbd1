// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "atlas/Map.h"

#include <QImage>
#include <QPainter>

namespace taonscope {

/// The font of a map's labels: the platform's sans-serif face, 12 pixels high.
QFont MapFont(bool bold = false);

/// Paints a map's layout: a white ground, the tiles, the panels' frames, the labels and the legend.
void PaintAtlasMap(QPainter& painter, const MapLayout& layout);

/// The map drawn into a picture of the layout's size.
QImage AtlasPicture(const MapLayout& layout);

} // namespace taonscope
