// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TextEncoding.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace taonscope {

/// The commentary path of a configuration path: without its last 4 characters, plus ".txt"
/// (a path of 3 characters or fewer is kept whole).
std::string CommentFileName(const std::string& path);

/// The text with every line end (CR LF, a lone CR or a lone LF) written as one LF.
std::string NormalizeLineEnds(std::string_view text);

/// The longest commentary that is loaded: a longer one (or an endless one, such as a link to a device)
/// would hold the window for seconds or exhaust its memory.
inline constexpr std::size_t LongestCommentary = std::size_t{16} << 20;

/// The text of the commentary of the configuration at path, its lines ended by LF as in a memo; empty
/// when that file cannot be opened. A failure while reading throws "Cannot open file <commentary path>";
/// a file longer than LongestCommentary throws a message that says so and is not read further.
/// Saving the text again writes the same lines and line ends.
std::optional<std::string> LoadCommentary(const std::string& path);

/// Replaces the commentary of the configuration at path by text, its line ends written as CR LF.
/// Fails with IoError when the file cannot be created, "Cannot create file <path>" when writing fails;
/// the previous commentary is then kept.
void SaveCommentary(const std::string& path, std::string_view text);

/// LoadCommentary with the text decoded: read as UTF-8 when the file is well-formed UTF-8, otherwise
/// from codePage; the result names the encoding used.
std::optional<DetectedText> LoadCommentaryText(const std::string& path, TextEncoding codePage);

/// SaveCommentary of UTF-8 text written in encoding. Returns false, and writes nothing, when encoding
/// cannot hold a character of text.
bool SaveCommentaryText(const std::string& path, std::string_view text, TextEncoding encoding);

} // namespace taonscope
