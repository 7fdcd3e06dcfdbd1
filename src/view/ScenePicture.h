// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ViewState.h"

#include <QImage>

#include <string>

namespace taonscope {

/// The taons as the window's scene draws them (DrawTaons) into a picture of width x height pixels,
/// the scene's centre in the middle of the picture.
QImage TaonPicture(const World& world, ViewState& view, int width, int height);

/// The bytes of a PNG file holding image, with the program's name and version as its Software text.
std::string PngBytes(const QImage& image);

} // namespace taonscope
