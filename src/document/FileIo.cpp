// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileIo.h"

#include "IoError.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace taonscope {

namespace {

// Closes the descriptor it holds when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now and reports whether the close succeeded (errno tells why not).
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

[[noreturn]] void ThrowErrno(int error, const std::string& path) {
    throw IoError(IoCodeFromErrno(error, path));
}

void CheckPathSyntax(const std::string& path) {
    if (const int code = IoCodeOfPathSyntax(path)) throw IoError(code);
}

// Writes all bytes; false with errno set when the system refuses.
bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (written == 0) {
            errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

[[noreturn]] void ThrowWriteFailure(int error, const std::string& path, const std::string& message) {
    if (!message.empty()) throw TaonError(message);
    ThrowErrno(error, path);
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Opens a file that is already there for writing without waiting: a FIFO without a reader is refused
// at once instead of holding the program. The descriptor then blocks as usual.
int OpenExistingForWriting(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd >= 0) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// Writes the file's own blocks: every hard link sees the new contents. A regular file is cut to the
// new length only after the bytes are written.
void WriteInPlace(const std::string& path, std::string_view bytes, const std::string& writeFailureMessage,
                  bool regular) {
    Descriptor file(OpenExistingForWriting(path));
    if (file.get() < 0) ThrowErrno(errno, path);
    if (!WriteAll(file.get(), bytes)) ThrowWriteFailure(errno, path, writeFailureMessage);
    if (regular && ::ftruncate(file.get(), static_cast<off_t>(bytes.size())) != 0) ThrowErrno(errno, path);
    if (!file.Close()) ThrowErrno(errno, path);
}

// The file a save writes: path with each symbolic link in its last part followed, as open() would
// follow it, so that the link stays and the file it names (possibly a new one) takes the bytes.
std::string FollowLinks(const std::string& path) {
    constexpr int MostLinks = 40; // the system's own limit before ELOOP
    std::filesystem::path current(path);
    for (int n = 0; n <= MostLinks; ++n) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current.string();
        std::error_code error;
        const std::filesystem::path target = std::filesystem::read_symlink(current, error);
        if (error) ThrowErrno(error.value(), path);
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    ThrowErrno(ELOOP, path);
}

std::filesystem::path FolderOf(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// True for the errors of a folder that refuses a new name to this user.
bool Refused(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

// True when the calling user may write the file (root may write any file of a writable file system).
bool MayWrite(const std::string& path) {
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// A temporary file in folder, open for writing. Unnamed where the file system allows it, so that a save
// killed half-way leaves nothing behind; its name is then empty until it is linked in.
struct Temporary {
    int fd = -1;
    std::string name;
};

// A short name that no file in folder has yet; short, so that the longest names can still be saved.
std::string FreshName(const std::filesystem::path& folder) {
    static unsigned counter = 0;
    for (;;) {
        const std::string name = ".taonscope-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
        const std::filesystem::path candidate = folder / name;
        struct stat info {};
        if (::lstat(candidate.c_str(), &info) != 0 && errno == ENOENT) return candidate.string();
    }
}

Temporary CreateTemporary(const std::filesystem::path& folder) {
    // An unnamed file is linked in through /proc, which a sandbox may not have.
    static const bool canLink = ::access("/proc/self/fd", X_OK) == 0;
    Temporary temporary;
    if (canLink) {
        temporary.fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (temporary.fd >= 0) return temporary;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return temporary; // the folder refuses
    }
    // The file system has no unnamed files: a hidden named one, removed again on failure.
    for (;;) {
        temporary.name = FreshName(folder);
        temporary.fd = ::open(temporary.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (temporary.fd >= 0 || errno != EEXIST) return temporary;
    }
}

// Gives the unnamed temporary file a name in folder.
bool LinkIn(Temporary& temporary, const std::filesystem::path& folder) {
    const std::string self = "/proc/self/fd/" + std::to_string(temporary.fd);
    for (;;) {
        const std::string name = FreshName(folder);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temporary.name = name;
            return true;
        }
        if (errno != EEXIST) return false;
    }
}

} // namespace

std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t maxBytes, int& openFailure) {
    openFailure = IoCodeOfPathSyntax(path);
    if (openFailure != 0) return std::nullopt;
    // Opened without waiting, so that a FIFO without a writer cannot hang the program.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        openFailure = IoCodeFromErrno(errno, path);
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || S_ISDIR(info.st_mode) || S_ISFIFO(info.st_mode) ||
        S_ISSOCK(info.st_mode)) {
        openFailure = FileAccessDenied;
        return std::nullopt;
    }
    ::fcntl(file.get(), F_SETFL, ::fcntl(file.get(), F_GETFL) & ~O_NONBLOCK);
    std::string bytes;
    char chunk[8192];
    while (bytes.size() < maxBytes) {
        const std::size_t wanted = std::min(sizeof chunk, maxBytes - bytes.size());
        const ssize_t got = ::read(file.get(), chunk, wanted);
        if (got < 0) {
            if (errno == EINTR) continue;
            ThrowErrno(errno, path);
        }
        if (got == 0) break;
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
    if (!file.Close()) ThrowErrno(errno, path);
    return bytes;
}

void ReplaceFileContents(const std::string& path, std::string_view bytes,
                         const std::string& writeFailureMessage) {
    CheckPathSyntax(path);
    const std::string target = FollowLinks(path);
    struct stat info {};
    const bool exists = ::stat(target.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode)) throw IoError(FileAccessDenied);
    if (exists && !S_ISREG(info.st_mode)) return WriteInPlace(target, bytes, writeFailureMessage, false);
    // Creating the file by truncation would be refused for a file the user may not write.
    if (exists && !MayWrite(target)) ThrowErrno(errno, target);
    if (exists && info.st_nlink > 1) return WriteInPlace(target, bytes, writeFailureMessage, true);

    const std::filesystem::path folder = FolderOf(target);
    Temporary temporary = CreateTemporary(folder);
    if (temporary.fd < 0) {
        // A folder the user may not write still lets a writable file be written where it is.
        if (exists && Refused(errno)) return WriteInPlace(target, bytes, writeFailureMessage, true);
        ThrowErrno(errno, target);
    }
    Descriptor file(temporary.fd);
    auto fail = [&](int error, bool writing) {
        if (!temporary.name.empty()) ::unlink(temporary.name.c_str());
        if (writing) ThrowWriteFailure(error, target, writeFailureMessage);
        ThrowErrno(error, target);
    };
    // Owner and group are kept where the system allows it; elsewhere the saving user owns the file.
    if (exists && ::fchown(file.get(), info.st_uid, info.st_gid) != 0 && errno != EPERM) fail(errno, false);
    if (::fchmod(file.get(), exists ? (info.st_mode & 07777) : NewFileMode()) != 0) fail(errno, false);
    if (!WriteAll(file.get(), bytes) || ::fsync(file.get()) != 0) fail(errno, true);
    if (temporary.name.empty() && !LinkIn(temporary, folder)) fail(errno, false);
    if (!file.Close()) fail(errno, true);
    if (::rename(temporary.name.c_str(), target.c_str()) != 0) {
        const int error = errno;
        if (!(exists && Refused(error))) fail(error, false);
        ::unlink(temporary.name.c_str()); // a sticky folder: the file is the user's, its name is not
        WriteInPlace(target, bytes, writeFailureMessage, true);
    }
}

void CheckReplaceable(const std::string& path) {
    CheckPathSyntax(path);
    const std::string target = FollowLinks(path);
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) throw IoError(FileAccessDenied);
        if (S_ISREG(info.st_mode)) {
            if (!MayWrite(target)) ThrowErrno(errno, path);
            return;
        }
        Descriptor probe(OpenExistingForWriting(target));
        if (probe.get() < 0) ThrowErrno(errno, path);
        return;
    }
    const std::filesystem::path folder = FolderOf(target);
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) ThrowErrno(errno, path);
    const long longest = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    if (longest > 0 &&
        std::filesystem::path(target).filename().string().size() > static_cast<std::size_t>(longest))
        ThrowErrno(ENAMETOOLONG, path);
}

OutputFile::OutputFile(const std::string& path) : path_(path) {
    CheckPathSyntax(path);
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) ThrowErrno(errno, path);
}

OutputFile::~OutputFile() {
    if (fd_ >= 0) ::close(fd_);
}

void OutputFile::Write(std::string_view bytes) {
    if (fd_ < 0) throw IoError(FileAccessDenied);
    if (!WriteAll(fd_, bytes)) {
        // A piece that was written in part is taken back, so that the file ends where a whole piece ends.
        const int error = errno;
        if (::ftruncate(fd_, written_) == 0) ::lseek(fd_, written_, SEEK_SET);
        ThrowErrno(error, path_);
    }
    written_ += static_cast<long long>(bytes.size());
}

void OutputFile::Close() {
    if (fd_ < 0) return;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) ThrowErrno(errno, path_);
}

void CreateParentFolders(const std::string& path) {
    CheckPathSyntax(path);
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (parent.empty()) return;
    std::error_code error;
    std::filesystem::create_directories(parent, error);
    if (error) ThrowErrno(error.value(), path);
}

std::vector<std::string> FilesEndingWith(const std::string& folder, std::string_view ending) {
    std::vector<std::string> paths;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        std::error_code typeError;
        if (name.size() > ending.size() && name.ends_with(ending) && entry->is_regular_file(typeError))
            paths.push_back(entry->path().string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

} // namespace taonscope
