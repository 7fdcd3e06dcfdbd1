#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace taonscope {

/// The commentary path of a configuration path: without its last 4 characters, plus ".txt"
/// (a path of 3 characters or fewer is kept whole).
std::string CommentFileName(const std::string& path);

/// The lines of a text: a line ends at CR LF, a lone CR or a lone LF; a line end at the very end
/// starts no further line.
std::vector<std::string> SplitLines(std::string_view text);

/// The lines of the commentary of the configuration at path; empty when that file cannot be opened.
/// A failure while reading throws "Cannot open file <commentary path>".
std::optional<std::vector<std::string>> LoadCommentary(const std::string& path);

/// Replaces the commentary of the configuration at path by text, its line ends written as CR LF.
/// Fails with IoError when the file cannot be created, "Cannot create file <path>" when writing fails;
/// the previous commentary is then kept.
void SaveCommentary(const std::string& path, std::string_view text);

} // namespace taonscope
