// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Canvas.h"

#include <QFont>
#include <QImage>

namespace taonscope {

/// The scene's font: the platform's default sans-serif face with characters 11 pixels high, drawn
/// without smoothing so that every pixel has the font colour or the brush colour.
QFont SceneFont();

/// A canvas that draws into a QImage (32-bit RGB).
class ImageCanvas : public Canvas {
public:
    explicit ImageCanvas(QImage& image) : image_(image) {}

    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    void SetPixel(int x, int y, Rgb colour) override;
    void TextOut(int x, int y, const std::string& text) override;
    int TextWidth(const std::string& text) const override;

protected:
    void Fill(int left, int top, int right, int bottom, Rgb colour) override;
    void Blend(int x, int y, Rgb colour, double coverage) override;

private:
    QImage& image_;
};

} // namespace taonscope
