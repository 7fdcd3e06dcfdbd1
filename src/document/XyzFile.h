// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileIo.h"

#include "core/World.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace taonscope {

/// The Properties of every frame written: species, position, velocity and slot number of each taon.
inline constexpr std::string_view XyzProperties = "species:S:1:pos:R:3:velo:R:3:slot:I:1";

/// A real as a frame writes it: 21 significant digits ("d.ddddddddddddddddddddde+XX"), full stop,
/// enough to read back the same 64-bit significand; "nan", "inf", "-inf" for values that are not finite.
std::string XyzRealText(Extended value);

/// Reads a real as a frame holds it (also "nan", "inf", "-inf" in any case); empty when the text is
/// anything else. Correctly rounded, whatever the locale.
std::optional<Extended> ParseXyzReal(std::string_view text);

/// One extended XYZ frame of the world's present taons, in slot order, species T1, T2 or T3 by kind;
/// the comment line holds Properties, Time, Step, dt, pbc and the 18 parameters.
std::string FormatXyzFrame(const World& world, std::int64_t step, Extended time);

/// What to take from an XYZ file.
struct XyzImportOptions {
    int frame = 0;                ///< 1 for the first frame ...; 0 for the last
    std::optional<Extended> dt{}; ///< the time step, before the one the comment line holds
};

/// The world of one frame of plain or extended XYZ text: taons in the slots of their kind (species T1,
/// T2, T3; anything else is kind 1) in file order, or in the slots a slot column names; velocities from
/// a velo column, else zero; parameters from A1=... keys, else the built-in figure's; dt from the
/// options, else the comment line, else 0.001. Throws TaonError naming the line that is wrong (quoting
/// at most 80 characters of a field); a number beyond the range of extended reals is wrong too. A last
/// frame that the text cuts short (a run killed while writing) is left out when whole frames come
/// before it, and note (when given) then says so.
World ReadXyzText(std::string_view text, const XyzImportOptions& options = {}, std::string* note = nullptr);

/// ReadXyzText over the regular file at path, of any size, read in pieces: the memory needed is that
/// of a frame. A file that cannot be read (a device, a FIFO) throws IoError before anything is read.
World ReadXyzFile(const std::string& path, const XyzImportOptions& options = {}, std::string* note = nullptr);

/// A trajectory file that grows by one frame at a time; each frame is written whole, so the file
/// holds complete frames whenever writing stops. The file is checked and opened as OutputFile does.
/// Failures throw IoError or TaonError.
class XyzTrajectory {
public:
    /// Opens or creates the file at path; the first frame empties it.
    explicit XyzTrajectory(const std::string& path) : file_(path) {}

    /// Appends the frame of the world after step steps, at the given time.
    void Append(const World& world, std::int64_t step, Extended time);
    /// Closes the file.
    void Close() { file_.Close(); }
    /// The number of frames written.
    int Frames() const { return frames_; }

private:
    OutputFile file_;
    int frames_ = 0;
};

} // namespace taonscope
