// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/World.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace taonscope {

/// Size in bytes of a configuration file's one record.
inline constexpr std::size_t ConfigRecordSize = 6296;

/// The bytes of one configuration, laid out as the .tao file holds them.
using ConfigRecord = std::array<std::uint8_t, ConfigRecordSize>;

/// Offsets of the record's fields.
namespace ConfigOffset {
inline constexpr std::size_t Parameters = 0;     ///< dt, A1..G1, A2..G2, A3..G3: 19 reals
inline constexpr std::size_t PosX = 192;         ///< then PosY, PosZ, VelX, VelY, VelZ, 1000 bytes apart
inline constexpr std::size_t ArrayStride = 1000; ///< bytes between two of the six arrays
inline constexpr std::size_t Presence = 6192;    ///< 100 presence bytes
} // namespace ConfigOffset

/// Size of one stored real.
inline constexpr std::size_t ExtendedSize = 10;

/// Writes the 10 bytes of the x87 encoding of value (little-endian), bit for bit.
void EncodeExtended(Extended value, std::uint8_t* bytes);

/// Reads 10 bytes of x87 encoding as a value, bit for bit.
Extended DecodeExtended(const std::uint8_t* bytes);

/// Copies dt, the parameters, the presence flags and the current positions and velocities into record.
void PackConfigRecord(const World& world, ConfigRecord& record);

/// Copies record into the world: dt, the parameters, the presence flags, the current positions and
/// velocities of every slot 1..TaonCount, and makes the next and scene copies equal to them.
void UnpackConfigRecord(const ConfigRecord& record, World& world);

/// Reads the record of the file at path into buffer. Returns 0, or the I/O code of a failed open (the
/// caller decides how to react); a failure after the open, such as a file shorter than one record,
/// throws IoError and leaves buffer unchanged. Bytes beyond the record are ignored.
[[nodiscard]] int ReadConfigFile(const std::string& path, ConfigRecord& buffer);

/// Why the regular file at path is no configuration, for the runner, which takes only files of exactly
/// ConfigRecordSize bytes: "X is not a configuration (2,713 bytes; a configuration has 6296):
/// taonscope-cli import reads coordinates". Empty for a file of that size, and for what is no regular
/// file (opening it says what is wrong).
std::optional<std::string> NotAConfiguration(const std::string& path);

/// Packs the world into buffer and replaces the file at path by it; throws IoError on failure,
/// leaving an existing file intact.
void WriteConfigFile(const std::string& path, const World& world, ConfigRecord& buffer);

} // namespace taonscope
