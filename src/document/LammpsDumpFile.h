// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileIo.h"
#include "TrajectoryFile.h"

#include "core/World.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace taonscope {

/// The line that names the columns of every frame written.
inline constexpr std::string_view LammpsAtomsHeader = "ITEM: ATOMS id type x y z vx vy vz";

/// The JSON file beside a dump that holds dt and the 18 parameters: the dump's path and ".json".
std::string LammpsSidecarPath(const std::string& path);

/// One LAMMPS dump frame of the world's present taons: ITEM: TIMESTEP (step), ITEM: NUMBER OF ATOMS,
/// ITEM: BOX BOUNDS ff ff ff (the bounds of the present taons with a margin of a tenth of the largest
/// extent, at least 1, on every side) and LammpsAtomsHeader with one line per taon in slot order: id the
/// slot, type the kind, position and velocity with 21 significant digits. No ITEM: TIME: the time of a
/// frame is its step times dt, which the sidecar holds.
std::string FormatLammpsFrame(const World& world, std::int64_t step);

/// The sidecar of a dump: a JSON object of dt and the 18 parameters with 21 significant digits (a value
/// that is not finite as the string "nan", "inf" or "-inf").
std::string FormatLammpsSidecar(const World& world);

/// Sets dt and the parameters that sidecar text holds (the others stay); throws TaonError saying what is
/// wrong, an unknown key among it.
void ReadLammpsSidecar(std::string_view text, World& world);

/// The world of one frame of LAMMPS dump text. Columns by the ATOMS line's names: x y z (or xu yu zu;
/// or scaled by the box, triclinic boxes with their tilts: xs ys zs, xsu ysu zsu), vx vy vz (else
/// velocities zero), id and type. A type other than 1, 2 or 3 is refused. The ids are the slots when
/// each is a slot from 1 to 100, given once, whose kind is its type; otherwise taons go to the slots of
/// their type in the order of their ids. ITEM: TIME and ITEM: UNITS are read past. dt from the options,
/// else the sidecar text (when given), else 0.001; parameters from the sidecar, else the built-in
/// figure's. Errors, frames and a cut last frame as ReadXyzText has them.
World ReadLammpsText(std::string_view text, const ImportOptions& options = {}, std::string* note = nullptr,
                     std::optional<std::string_view> sidecar = std::nullopt);

/// ReadLammpsText over the regular file at path, read in pieces, with the sidecar beside it when there
/// is one (note, when given, says when there is none).
World ReadLammpsFile(const std::string& path, const ImportOptions& options = {}, std::string* note = nullptr);

/// The frames of the dump at path one after the other (TrajectoryReader), with its sidecar's law.
std::unique_ptr<TrajectoryReader> OpenLammpsReader(const std::string& path,
                                                   const ImportOptions& options = {});

/// A LAMMPS dump trajectory (TrajectoryWriter) whose frames FormatLammpsFrame makes; the sidecar is
/// written with the first frame and again whenever dt or a parameter changed.
class LammpsTrajectory : public TrajectoryWriter {
public:
    /// Opens or creates the dump at path (the first frame empties it); the sidecar is checked as a save.
    explicit LammpsTrajectory(const std::string& path);

    void Append(const World& world, std::int64_t step, Extended time) override;
    void Close() override { file_.Close(); }
    int Frames() const override { return frames_; }

private:
    OutputFile file_;
    std::string sidecar_;
    std::optional<std::array<Extended, 19>> law_; // as the sidecar holds it
    int frames_ = 0;
};

} // namespace taonscope
