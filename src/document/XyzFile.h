// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileIo.h"
#include "TrajectoryFile.h"

#include "core/World.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace taonscope {

/// The Properties of every frame written: species, position, velocity and slot number of each taon.
inline constexpr std::string_view XyzProperties = "species:S:1:pos:R:3:velo:R:3:slot:I:1";

/// The Properties of frames whose kinds have other names than T1, T2, T3: as XyzProperties, then a mass of
/// 1 and the momentum (equal to the velocity, as taons have unit mass), which is where ASE reads velocities.
inline constexpr std::string_view XyzNamedProperties =
    "species:S:1:pos:R:3:velo:R:3:slot:I:1:masses:R:1:momenta:R:3";

/// A real as a frame writes it: 21 significant digits ("d.ddddddddddddddddddddde+XX"), full stop,
/// enough to read back the same 64-bit significand; "nan", "inf", "-inf" for values that are not finite.
std::string XyzRealText(Extended value);

/// Reads a real as a frame holds it (also "nan", "inf", "-inf" in any case); empty when the text is
/// anything else. Correctly rounded, whatever the locale.
std::optional<Extended> ParseXyzReal(std::string_view text);

/// One extended XYZ frame of the world's present taons, in slot order, species named by kind (T1, T2,
/// T3 by default); the comment line holds Properties, Time, Step, dt, pbc, the program that wrote it
/// (program="Taonscope 1.2.0"), the 18 parameters and, for other names than the default,
/// species="N1,N2,N3" (the Properties are then XyzNamedProperties).
std::string FormatXyzFrame(const World& world, std::int64_t step, Extended time,
                           const SpeciesNames& species = {});

/// What to take from an XYZ file.
using XyzImportOptions = ImportOptions;

/// The world of one frame of plain or extended XYZ text: taons in the slots of their kind in file order
/// (species named as the options say, else as the comment line's species="N1,N2,N3" says, and T1, T2,
/// T3; anything else is kind 1), or in the slots a slot column names; velocities from a velo column,
/// else a momenta column divided by a masses column, else zero; parameters from A1=... keys, else the
/// built-in figure's; dt from the options, else the comment line, else 0.001. Throws TaonError naming
/// the line that is wrong (quoting at most 80 characters of a field); a number beyond the range of
/// extended reals is wrong too. A last frame that the text cuts short (a run killed while writing) is
/// left out when whole frames come before it, and note (when given) then says so.
World ReadXyzText(std::string_view text, const ImportOptions& options = {}, std::string* note = nullptr);

/// ReadXyzText over the regular file at path, of any size, read in pieces: the memory needed is that
/// of a frame. A file that cannot be read (a device, a FIFO) throws IoError before anything is read.
World ReadXyzFile(const std::string& path, const ImportOptions& options = {}, std::string* note = nullptr);

/// The frames of the XYZ file at path one after the other (TrajectoryReader), each read as ReadXyzFile
/// reads it.
std::unique_ptr<TrajectoryReader> OpenXyzReader(const std::string& path, const ImportOptions& options = {});

/// An extended XYZ trajectory (TrajectoryWriter) whose frames FormatXyzFrame makes.
class XyzTrajectory : public TrajectoryWriter {
public:
    /// Opens or creates the file at path; the first frame empties it.
    explicit XyzTrajectory(const std::string& path, SpeciesNames species = {})
        : file_(path), species_(std::move(species)) {}

    void Append(const World& world, std::int64_t step, Extended time) override;
    void Close() override { file_.Close(); }
    int Frames() const override { return frames_; }

private:
    OutputFile file_;
    SpeciesNames species_;
    int frames_ = 0;
};

} // namespace taonscope
