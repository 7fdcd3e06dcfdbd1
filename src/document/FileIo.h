#pragma once

#include <optional>
#include <string>
#include <string_view>

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

} // namespace taonscope
