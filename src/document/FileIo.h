#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace taonscope {

/// Reads at most maxBytes of the file at path. Empty when the file cannot be opened (result code in
/// openFailure); a failure after the open throws IoError.
std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t maxBytes, int& openFailure);

/// Replaces the contents of the file at path by bytes. A regular file (or a new one) is replaced only
/// once the new bytes are completely written, so a failure leaves the old file as it was; other
/// targets, such as devices, are written in place. Failures throw IoError, except a failure while
/// writing the bytes when writeFailureMessage is given: that throws TaonError(writeFailureMessage).
void ReplaceFileContents(const std::string& path, std::string_view bytes,
                         const std::string& writeFailureMessage = {});

/// Creates the folder that holds path, and the folders above it, when missing; failures throw IoError.
void CreateParentFolders(const std::string& path);

/// The paths of the regular files in folder whose names end with ending, sorted by name; empty when the
/// folder cannot be read.
std::vector<std::string> FilesEndingWith(const std::string& folder, std::string_view ending);

} // namespace taonscope
