// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace taonscope {

/// The fixed place of the start pointer file: "taonscope/Start.-ts-" in the user's configuration folder
/// ($XDG_CONFIG_HOME, else ~/.config).
std::string DefaultStartPointerPath();

/// The first line of a start pointer file's bytes: up to the first CR (13) or end-of-file mark (26);
/// a line feed does not end it.
std::string FirstLine(std::string_view bytes);

/// The first line of the start pointer file at pointerPath (possibly empty); empty when the file
/// cannot be opened, which counts as missing. A failure after the open throws IoError.
std::optional<std::string> ReadStartPointer(const std::string& pointerPath);

/// Creates the start pointer file empty, with its folder when missing.
void CreateEmptyStartPointer(const std::string& pointerPath);

/// Replaces the start pointer file by configPath without a line end, creating its folder when missing.
void WriteStartPointer(const std::string& pointerPath, const std::string& configPath);

} // namespace taonscope
