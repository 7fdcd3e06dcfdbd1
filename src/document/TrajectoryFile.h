// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/World.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace taonscope {

/// The formats a trajectory is written in and read from.
enum class TrajectoryFormat {
    Xyz,    ///< extended XYZ (".xyz")
    Lammps, ///< LAMMPS dump text (".lammpstrj", ".dump") with a JSON sidecar of the law
};

/// The format a path names by its extension: ".lammpstrj" or ".dump" (any case) a LAMMPS dump,
/// anything else XYZ.
TrajectoryFormat TrajectoryFormatOf(std::string_view path);

/// The format of a name as options give it ("xyz", "lammps"); empty for any other.
std::optional<TrajectoryFormat> ParseTrajectoryFormat(std::string_view name);

/// The names of the three kinds in XYZ frames: T1, T2, T3 by default, or element names such as Ar, Kr,
/// Xe that other programs know.
struct SpeciesNames {
    std::array<std::string, 3> Names{"T1", "T2", "T3"}; ///< of kinds 1, 2, 3

    /// True for T1, T2, T3.
    bool IsDefault() const { return *this == SpeciesNames{}; }
    /// The three names joined by commas ("Ar,Kr,Xe").
    std::string Joined() const { return Names[0] + ',' + Names[1] + ',' + Names[2]; }
    bool operator==(const SpeciesNames&) const = default;
};

/// Three different names separated by commas, each 1 to 16 letters, digits or underscores, the first a
/// letter; empty for anything else.
std::optional<SpeciesNames> ParseSpeciesNames(std::string_view text);

/// What to take from a trajectory when one frame is imported.
struct ImportOptions {
    int frame = 0;                ///< 1 for the first frame ...; 0 for the last
    std::optional<Extended> dt{}; ///< the time step, before the one the file holds
    /// The names of the kinds, before the ones an XYZ file names (T1, T2, T3 are read all the same).
    std::optional<SpeciesNames> species{};
};

/// A trajectory file that grows by one frame at a time; each frame is written whole, so the file
/// holds complete frames whenever writing stops. The file is checked and opened as OutputFile does.
/// Failures throw IoError or TaonError.
class TrajectoryWriter {
public:
    virtual ~TrajectoryWriter() = default;
    /// Appends the frame of the world after step steps, at the given time.
    virtual void Append(const World& world, std::int64_t step, Extended time) = 0;
    /// Closes the file.
    virtual void Close() = 0;
    /// The number of frames written.
    virtual int Frames() const = 0;
};

/// Opens a trajectory of that format at path (species names the kinds of XYZ frames).
std::unique_ptr<TrajectoryWriter> OpenTrajectoryWriter(const std::string& path, TrajectoryFormat format,
                                                       const SpeciesNames& species = {});

/// Where a frame stands in its run: its step and its time.
struct FrameStamp {
    std::int64_t Step = 0; ///< the XYZ comment's Step, the dump's TIMESTEP; else the frame's number from 0
    Extended Time = 0;     ///< the XYZ comment's Time, the dump's TIME; else the step times dt
};

/// Where a frame begins in its file, so that a reader can go back to it.
struct FramePlace {
    std::uint64_t Offset = 0; ///< the byte of its first line
    std::uint64_t Line = 0;   ///< the index (from 0) of its first line
    int Number = 0;           ///< the frames before it
};

/// The frames of a trajectory file, one after the other, read in pieces: the memory needed is that of a
/// frame. Failures throw IoError or TaonError naming the line.
class TrajectoryReader {
public:
    virtual ~TrajectoryReader() = default;
    /// Reads the next whole frame into world; false after the last one. A cut last frame is left out
    /// and Note says so.
    virtual bool Next(World& world) = 0;
    /// Moves past the next whole frame without reading its numbers, as Next would take it; false after
    /// the last one.
    virtual bool Skip() = 0;
    /// Reads on from a frame's place, as Place gave it: the next frame Next or Skip takes is that one.
    virtual void Seek(const FramePlace& place) = 0;
    /// The step and time of the frame Next read last.
    const FrameStamp& Stamp() const { return stamp_; }
    /// Where the frame read or skipped last begins.
    const FramePlace& Place() const { return place_; }
    /// Empty, or what was left out.
    const std::string& Note() const { return note_; }

protected:
    std::string note_;
    FrameStamp stamp_;
    FramePlace place_;
};

/// Opens the trajectory at path in its format; options give dt and the species names.
std::unique_ptr<TrajectoryReader> OpenTrajectoryReader(const std::string& path, TrajectoryFormat format,
                                                       const ImportOptions& options = {});

/// One frame of the trajectory at path, as ReadXyzFile or ReadLammpsFile reads it.
World ReadTrajectoryFile(const std::string& path, TrajectoryFormat format, const ImportOptions& options = {},
                         std::string* note = nullptr);

} // namespace taonscope
