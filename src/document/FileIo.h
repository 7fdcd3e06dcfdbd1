// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace taonscope {

/// Reads at most maxBytes of the file at path. Empty when the file cannot be opened (result code in
/// openFailure); a failure after the open throws IoError.
std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t maxBytes, int& openFailure);

/// Replaces the contents of the file at path by bytes. Links are followed: a symbolic link keeps
/// naming the file it names, and a file with several hard links is written in place so that every
/// name sees the new bytes. A file the user may not write is refused ("File access denied") before
/// anything is written. Otherwise a regular file (or a new one) is replaced only once the new bytes
/// are completely written, through a temporary file that has no name until then, so that a failure or
/// a killed program leaves the old file as it was and nothing beside it; owner, group and mode stay.
/// A file in a folder the user may not write, and a device or FIFO (opened without waiting for a
/// reader), are written in place. Failures throw IoError, except a failure while writing the bytes
/// when writeFailureMessage is given: that throws TaonError(writeFailureMessage).
void ReplaceFileContents(const std::string& path, std::string_view bytes,
                         const std::string& writeFailureMessage = {});

/// Throws the IoError that ReplaceFileContents would meet before writing anything at path (a missing
/// folder, a folder or a file the user may not write, a FIFO without a reader, a name too long);
/// returns when the save can be tried.
void CheckReplaceable(const std::string& path);
/// A file written from its start in pieces, such as a trajectory growing frame by frame. Every
/// failure throws IoError; the destructor closes a file still open without reporting.
class OutputFile {
public:
    /// Creates the file at path, or empties the one that is there.
    explicit OutputFile(const std::string& path);
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    /// Writes bytes after what was written before; a failure leaves none of them in a regular file.
    void Write(std::string_view bytes);
    /// Closes the file; nothing can be written after.
    void Close();
    /// True until Close.
    bool IsOpen() const { return fd_ >= 0; }

private:
    std::string path_;
    int fd_ = -1;
    long long written_ = 0;
};

/// Creates the folder that holds path, and the folders above it, when missing; failures throw IoError.
void CreateParentFolders(const std::string& path);

/// The paths of the regular files in folder whose names end with ending, sorted by name; empty when the
/// folder cannot be read.
std::vector<std::string> FilesEndingWith(const std::string& folder, std::string_view ending);

} // namespace taonscope
