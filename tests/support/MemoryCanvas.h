// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "view/Canvas.h"

#include <algorithm>
#include <string>
#include <vector>

namespace taonscope::test {

/// A canvas held in memory that also records the text it is asked to write and the order of the colours
/// it sets pixels in.
class MemoryCanvas : public Canvas {
public:
    struct Text {
        int x, y;
        std::string text;
        Rgb font, brush;
    };

    MemoryCanvas(int width, int height, Rgb background = {1, 2, 3})
        : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, background) {}

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetPixel(int x, int y, Rgb colour) override {
        if (pixelRuns.empty() || !(pixelRuns.back() == colour)) pixelRuns.push_back(colour);
        if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[Index(x, y)] = colour;
    }
    void TextOut(int x, int y, const std::string& text) override {
        texts.push_back({x, y, text, FontColor(), BrushColor()});
    }

    /// The colour of a pixel.
    Rgb At(int x, int y) const { return pixels_[Index(x, y)]; }
    /// How many pixels of the whole surface have the colour.
    int Count(Rgb colour) const {
        int n = 0;
        for (const Rgb& pixel : pixels_) n += pixel == colour;
        return n;
    }

    std::vector<Text> texts;    ///< every text written, in order
    std::vector<Rgb> pixelRuns; ///< the colours of successive runs of single pixels set

protected:
    void Fill(int left, int top, int right, int bottom, Rgb colour) override {
        for (int y = std::max(top, 0); y < std::min(bottom, height_); ++y)
            for (int x = std::max(left, 0); x < std::min(right, width_); ++x) pixels_[Index(x, y)] = colour;
    }

private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }
    int width_, height_;
    std::vector<Rgb> pixels_;
};

} // namespace taonscope::test
