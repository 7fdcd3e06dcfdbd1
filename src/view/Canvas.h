// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace taonscope {

/// A colour as red, green, blue, each 0..255.
struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

/// The colours the scene and the window use.
namespace Colours {
inline constexpr Rgb Black{0, 0, 0};
inline constexpr Rgb White{255, 255, 255};
inline constexpr Rgb Lime{0, 255, 0};
inline constexpr Rgb Yellow{255, 255, 0};
inline constexpr Rgb Red{255, 0, 0};
inline constexpr Rgb Green{0, 128, 0};
inline constexpr Rgb Maroon{128, 0, 0};
} // namespace Colours

/// A pixel surface with the drawing operations of the scene. Coordinates are pixels with y growing
/// downwards; whatever falls outside the surface is clipped.
class Canvas {
public:
    virtual ~Canvas() = default;

    void SetPenColor(Rgb colour) { pen_ = colour; }
    void SetBrushColor(Rgb colour) { brush_ = colour; }
    void SetFontColor(Rgb colour) { font_ = colour; }
    Rgb PenColor() const { return pen_; }
    Rgb BrushColor() const { return brush_; }
    Rgb FontColor() const { return font_; }

    /// Fills columns left..right-1 of rows top..bottom-1 with the brush colour and outlines them with the
    /// pen.
    void Rectangle(int left, int top, int right, int bottom);
    /// Width and height of the surface in pixels.
    virtual int Width() const = 0;
    virtual int Height() const = 0; ///< see Width
    /// Sets one pixel.
    virtual void SetPixel(int x, int y, Rgb colour) = 0;
    /// Moves the current position.
    void MoveTo(int x, int y) { x_ = x, y_ = y; }
    /// Draws a one-pixel line in the pen colour from the current position to (x, y), which becomes the
    /// current position: the start pixel is drawn, the end pixel is not.
    void LineTo(int x, int y);
    /// Writes text in the font colour, opaque on the brush colour, with its top-left corner at (x, y).
    virtual void TextOut(int x, int y, const std::string& text) = 0;
    /// The width in pixels that TextOut gives text; this default counts 6 pixels a character.
    virtual int TextWidth(const std::string& text) const { return 6 * static_cast<int>(text.size()); }
    /// Paints a sphere of colour seen from the front and lit from the upper left: a disc of radius
    /// pixels centred at (x, y), its colour scaled by brightness (0..1), its edge smoothed by Blend.
    void ShadedDisc(double x, double y, double radius, Rgb colour, double brightness);

protected:
    /// Lays colour over pixel (x, y) by the share coverage (0..1) of the pixel it covers; this default,
    /// for surfaces that cannot mix, sets the pixel where at least half of it is covered.
    virtual void Blend(int x, int y, Rgb colour, double coverage);
    /// Fills columns left..right-1 of rows top..bottom-1 with colour.
    virtual void Fill(int left, int top, int right, int bottom, Rgb colour) = 0;

private:
    Rgb pen_ = Colours::Black, brush_ = Colours::White, font_ = Colours::Black;
    int x_ = 0, y_ = 0;
};

} // namespace taonscope
