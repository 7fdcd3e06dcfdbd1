// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Errors.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace taonscope {

/// Reads at most maxBytes of the file at path. Empty when the file cannot be opened (result code in
/// openFailure); a failure after the open throws IoError.
std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t maxBytes, int& openFailure);

/// A file that no one may write (no write permission bit set), which even a user allowed to write
/// anything (root) replaces only when told to.
class ReadOnlyFileError : public TaonError {
public:
    explicit ReadOnlyFileError(std::string path)
        : TaonError("the file is read-only"), path_(std::move(path)) {}
    /// The path the save was given.
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

/// While one lives, saves on this thread also replace files that no one may write, which they
/// otherwise refuse with ReadOnlyFileError (the user was asked, or gave --force).
class ReplacingReadOnlyFiles {
public:
    ReplacingReadOnlyFiles();
    ReplacingReadOnlyFiles(const ReplacingReadOnlyFiles&) = delete;
    ReplacingReadOnlyFiles& operator=(const ReplacingReadOnlyFiles&) = delete;
    ~ReplacingReadOnlyFiles();
};

/// Replaces the contents of the file at path by bytes. Links are followed: a symbolic link keeps
/// naming the file it names, and a file with several hard links is written in place so that every
/// name sees the new bytes. A file the user may not write is refused ("File access denied") before
/// anything is written, and so is a file no one may write (ReadOnlyFileError) unless
/// ReplacingReadOnlyFiles allows it. Otherwise a regular file (or a new one) is replaced only once
/// the new bytes are completely written and synced, through a temporary file that has no name until
/// then, and the folder is synced after the rename; owner, group, mode and extended attributes (with
/// the access control list) stay. Where the temporary could not keep them (another user's file),
/// the file is written in place instead. A file in a folder the user may not write, and a device or
/// FIFO (opened without waiting for a reader), are written in place. Failures throw IoError, except a
/// failure while writing the bytes when writeFailureMessage is given: that throws
/// TaonError(writeFailureMessage).
void ReplaceFileContents(const std::string& path, std::string_view bytes,
                         const std::string& writeFailureMessage = {});

/// A file written in pieces that takes the place of the file at path only once it is complete, under
/// the rules of ReplaceFileContents (which writes through one): until Commit the old file stays as it
/// was, and a replacement destroyed without Commit leaves nothing behind. A device or FIFO takes the
/// pieces as they come. Failures throw IoError, or TaonError(writeFailureMessage) for a failure to write
/// the bytes when that is given.
class FileReplacement {
public:
    /// Checks path as a save does and prepares the new file.
    explicit FileReplacement(const std::string& path, std::string writeFailureMessage = {});
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;
    ~FileReplacement();

    /// Adds bytes to the new contents.
    void Write(std::string_view bytes);
    /// Puts the new contents in place of the old, synced.
    void Commit();
    /// True when a regular file was at path when the replacement began: it stays until Commit.
    bool Replaces() const { return exists_ && way_ != Way::Stream; }

private:
    enum class Way {
        Temporary, ///< a temporary file beside the file, renamed over it
        InPlace,   ///< the bytes are kept until Commit writes them into the file itself
        Stream,    ///< a device or FIFO, written as the bytes come
    };
    void Discard();
    [[noreturn]] void Fail(int error, bool writing);

    std::string path_, target_, message_;
    Way way_ = Way::InPlace;
    int fd_ = -1;
    std::string temporaryName_;
    std::string pending_; // InPlace's bytes
    bool exists_ = false;
    bool done_ = false;
};

/// Throws the error that ReplaceFileContents would meet before writing anything at path (a missing
/// folder, a folder or a file the user may not write, a read-only file, a FIFO without a reader, a
/// name too long); returns when the save can be tried.
void CheckReplaceable(const std::string& path);

/// Lets ReplaceFileContents give its temporary file a name from the start, as it does on file systems
/// without unnamed files (false: unnamed where possible, the default).
void UseNamedTemporaries(bool named);

/// A file written from its start in pieces, such as a trajectory or a log growing as a run goes on.
/// It is checked as a save is (links followed, protected and read-only files refused, a FIFO without a
/// reader refused at once) and emptied only by its first Write. What is written is synced at most once
/// a second while it grows, and at Close. A file removed while it is written is reported in words.
/// Every failure throws IoError or TaonError; the destructor closes a file still open without
/// reporting, and removes the file it created when nothing was written.
class OutputFile {
public:
    /// Opens (or creates) the file at path without changing what it holds.
    explicit OutputFile(const std::string& path);
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    /// Writes bytes after what was written before (the first call empties the file first); a failure
    /// leaves none of them in a regular file.
    void Write(std::string_view bytes);
    /// Syncs what was written, now, and reports a file or folder removed meanwhile.
    void Sync();
    /// Syncs and closes the file; nothing can be written after.
    void Close();
    /// True until Close.
    bool IsOpen() const { return fd_ >= 0; }

private:
    void CheckStillThere() const;

    std::string path_;
    std::string target_; // path with its links followed
    int fd_ = -1;
    bool regular_ = false;
    bool created_ = false;
    bool started_ = false;
    long long written_ = 0;
    std::chrono::steady_clock::time_point lastSync_{};
};

/// A regular file read from its start in pieces, of any size. Devices, FIFOs and folders are refused
/// before anything is read; failures throw IoError or TaonError.
class InputFile {
public:
    /// Opens the file at path.
    explicit InputFile(const std::string& path);
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    /// Reads up to size bytes into buffer; 0 at the end of the file.
    std::size_t Read(char* buffer, std::size_t size);
    /// Reads on from the byte at offset.
    void Seek(std::uint64_t offset);
    /// The file's size in bytes now.
    std::uint64_t Size() const;

private:
    std::string path_;
    int fd_ = -1;
};

/// Creates the folder that holds path, and the folders above it, when missing; failures throw IoError.
void CreateParentFolders(const std::string& path);

/// The paths of the regular files in folder whose names end with ending, sorted by name; empty when the
/// folder cannot be read.
std::vector<std::string> FilesEndingWith(const std::string& folder, std::string_view ending);

/// What a path names, its links followed.
enum class PathKind { Missing, File, Folder, Other };

/// What path names; Missing also when it cannot be looked at.
PathKind KindOfPath(const std::string& path);

/// The size in bytes of the regular file at path (links followed); empty for anything else.
std::optional<std::uintmax_t> RegularFileSize(const std::string& path);

/// The names of everything in folder, sorted; empty when the folder cannot be read.
std::vector<std::string> FolderEntries(const std::string& folder);

/// The path made absolute against the working folder, without looking at the file system.
std::string AbsolutePath(const std::string& path);

/// The absolute path of the running program's file; empty when the system does not say.
std::string RunningProgramPath();

} // namespace taonscope
