// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileIo.h"

#include "IoError.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/xattr.h>
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

// Opens a file for writing without waiting: a FIFO without a reader is refused at once instead of
// holding the program. The descriptor then blocks as usual.
int OpenForWriting(const std::string& path, int flags = 0) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | flags, 0666);
    if (fd < 0 && errno == ENXIO) throw IoError(IoSystemErrorBase + ENXIO, "no reader on the FIFO");
    if (fd >= 0) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// How many ReplacingReadOnlyFiles live on this thread.
thread_local int readOnlyReplacements = 0;

bool ReadOnlyForEveryone(const struct stat& info) {
    return S_ISREG(info.st_mode) && (info.st_mode & 0222) == 0;
}

void CheckNotReadOnly(const struct stat& info, const std::string& path) {
    if (ReadOnlyForEveryone(info) && readOnlyReplacements == 0) throw ReadOnlyFileError(path);
}

// A regular file's bytes reach the disk before it is closed; devices and FIFOs cannot be synced.
bool Synced(int fd) {
    return ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
}

// Writes the file's own blocks: every hard link sees the new contents, and owner, group, mode and
// extended attributes stay as they are. A regular file is cut to the new length only after the bytes
// are written.
void WriteInPlace(const std::string& path, std::string_view bytes, const std::string& writeFailureMessage,
                  bool regular) {
    Descriptor file(OpenForWriting(path));
    if (file.get() < 0) ThrowErrno(errno, path);
    if (!WriteAll(file.get(), bytes)) ThrowWriteFailure(errno, path, writeFailureMessage);
    if (regular && ::ftruncate(file.get(), static_cast<off_t>(bytes.size())) != 0) ThrowErrno(errno, path);
    if (!Synced(file.get())) ThrowErrno(errno, path);
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

bool namedTemporaries = false;

constexpr std::string_view TemporaryPrefix = ".taonscope-";

// A short name that no file in folder has yet; short, so that the longest names can still be saved.
std::string FreshName(const std::filesystem::path& folder) {
    static unsigned counter = 0;
    for (;;) {
        const std::string name =
            std::string(TemporaryPrefix) + std::to_string(::getpid()) + "-" + std::to_string(++counter);
        const std::filesystem::path candidate = folder / name;
        struct stat info {};
        if (::lstat(candidate.c_str(), &info) != 0 && errno == ENOENT) return candidate.string();
    }
}

// The process that named a temporary file ".taonscope-PID-N"; 0 for any other name.
pid_t TemporaryOwner(std::string_view name) {
    const auto number = [](std::string_view digits) -> long long {
        long long value = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        return error == std::errc() && end == digits.data() + digits.size() ? value : -1;
    };
    if (!name.starts_with(TemporaryPrefix)) return 0;
    name.remove_prefix(TemporaryPrefix.size());
    const std::size_t dash = name.find('-');
    if (dash == std::string_view::npos || number(name.substr(dash + 1)) < 0) return 0;
    const long long pid = number(name.substr(0, dash));
    return pid > 0 && pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
}

// Removes the named temporaries that a save killed between naming and renaming them left in folder:
// those of processes that have ended, untouched for a minute.
void RemoveLeftoverTemporaries(const std::filesystem::path& folder) {
    std::error_code error;
    const auto now = std::filesystem::file_time_type::clock::now();
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const pid_t owner = TemporaryOwner(entry->path().filename().native());
        if (owner == 0 || owner == ::getpid() || ::kill(owner, 0) == 0 || errno != ESRCH) continue;
        std::error_code ignored;
        if (!entry->is_regular_file(ignored) || entry->is_symlink(ignored) ||
            now - entry->last_write_time(ignored) < std::chrono::minutes(1))
            continue;
        std::filesystem::remove(entry->path(), ignored);
    }
}

Temporary CreateTemporary(const std::filesystem::path& folder) {
    // An unnamed file is linked in through /proc, which a sandbox may not have.
    static const bool canLink = ::access("/proc/self/fd", X_OK) == 0;
    Temporary temporary;
    if (canLink && !namedTemporaries) {
        temporary.fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (temporary.fd >= 0) return temporary;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return temporary; // the folder refuses
    }
    // The file system has no unnamed files: a hidden named one, removed again on failure.
    for (;;) {
        temporary.name = FreshName(folder);
        temporary.fd = ::open(temporary.name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (temporary.fd >= 0 || errno != EEXIST) return temporary;
    }
}

// Gives the unnamed temporary file the name path; false with errno set when the system refuses.
bool LinkAs(const Temporary& temporary, const std::string& path) {
    const std::string self = "/proc/self/fd/" + std::to_string(temporary.fd);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

// Gives the unnamed temporary file a fresh name in folder.
bool LinkIn(Temporary& temporary, const std::filesystem::path& folder) {
    for (;;) {
        const std::string name = FreshName(folder);
        if (LinkAs(temporary, name)) {
            temporary.name = name;
            return true;
        }
        if (errno != EEXIST) return false;
    }
}

// Gives the file open as fd the extended attributes of the file at path, its access control list
// among them; false when one of them cannot be set.
bool CopyExtendedAttributes(const std::string& path, int fd) {
    std::vector<char> names;
    for (;;) {
        const ssize_t size = ::listxattr(path.c_str(), nullptr, 0);
        if (size < 0) return errno == ENOTSUP;
        if (size == 0) return true;
        names.resize(static_cast<std::size_t>(size));
        const ssize_t got = ::listxattr(path.c_str(), names.data(), names.size());
        if (got >= 0) {
            names.resize(static_cast<std::size_t>(got));
            break;
        }
        if (errno != ERANGE) return false;
    }
    std::vector<char> value;
    for (std::size_t at = 0; at < names.size(); at += std::char_traits<char>::length(names.data() + at) + 1) {
        const char* name = names.data() + at;
        const ssize_t size = ::getxattr(path.c_str(), name, nullptr, 0);
        if (size < 0) return false;
        value.resize(static_cast<std::size_t>(size));
        const ssize_t got = ::getxattr(path.c_str(), name, value.data(), value.size());
        if (got < 0 || ::fsetxattr(fd, name, value.data(), static_cast<std::size_t>(got), 0) != 0)
            return false;
    }
    return true;
}

// Makes a rename in folder survive a crash; a folder that cannot be opened or synced is left as it is
// where the system gives no other answer.
void SyncFolder(const std::filesystem::path& folder, const std::string& path) {
    Descriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() < 0) return;
    if (!Synced(directory.get()) && errno != EBADF) ThrowErrno(errno, path);
}

} // namespace

ReplacingReadOnlyFiles::ReplacingReadOnlyFiles() {
    ++readOnlyReplacements;
}

ReplacingReadOnlyFiles::~ReplacingReadOnlyFiles() {
    --readOnlyReplacements;
}

void UseNamedTemporaries(bool named) {
    namedTemporaries = named;
}

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

FileReplacement::FileReplacement(const std::string& path, std::string writeFailureMessage)
    : path_(path), message_(std::move(writeFailureMessage)) {
    CheckPathSyntax(path);
    target_ = FollowLinks(path);
    struct stat info {};
    exists_ = ::stat(target_.c_str(), &info) == 0;
    if (exists_ && S_ISDIR(info.st_mode)) throw IoError(FileAccessDenied);
    if (exists_ && !S_ISREG(info.st_mode)) {
        // A device or FIFO cannot be replaced: it takes the bytes as they come.
        fd_ = OpenForWriting(target_);
        if (fd_ < 0) ThrowErrno(errno, target_);
        way_ = Way::Stream;
        return;
    }
    // Creating the file by truncation would be refused for a file the user may not write.
    if (exists_ && !MayWrite(target_)) ThrowErrno(errno, target_);
    if (exists_) CheckNotReadOnly(info, path);
    if (exists_ && info.st_nlink > 1) return; // in place, so that every name sees the new bytes

    const std::filesystem::path folder = FolderOf(target_);
    RemoveLeftoverTemporaries(folder);
    Temporary temporary = CreateTemporary(folder);
    if (temporary.fd < 0) {
        // A folder the user may not write still lets a writable file be written where it is.
        if (exists_ && Refused(errno)) return;
        ThrowErrno(errno, target_);
    }
    fd_ = temporary.fd;
    temporaryName_ = temporary.name;
    way_ = Way::Temporary;
    if (exists_) {
        // A new file cannot keep another user's ownership or every extended attribute: the old one
        // takes the bytes then, in place.
        const bool owned = ::fchown(fd_, info.st_uid, info.st_gid) == 0;
        if (!owned && errno != EPERM) Fail(errno, false);
        if (::fchmod(fd_, info.st_mode & 07777) != 0) Fail(errno, false);
        if (!owned || !CopyExtendedAttributes(target_, fd_)) Discard();
    } else if (::fchmod(fd_, NewFileMode()) != 0) {
        Fail(errno, false);
    }
}

FileReplacement::~FileReplacement() {
    Discard();
}

void FileReplacement::Discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporaryName_.empty()) ::unlink(temporaryName_.c_str());
    temporaryName_.clear();
    way_ = Way::InPlace;
}

void FileReplacement::Fail(int error, bool writing) {
    Discard();
    if (writing) ThrowWriteFailure(error, target_, message_);
    ThrowErrno(error, target_);
}

void FileReplacement::Write(std::string_view bytes) {
    if (done_) throw IoError(FileAccessDenied);
    if (way_ == Way::InPlace) {
        pending_.append(bytes);
        return;
    }
    if (!WriteAll(fd_, bytes)) Fail(errno, true);
}

void FileReplacement::Commit() {
    if (done_) return;
    done_ = true;
    if (way_ == Way::InPlace) return WriteInPlace(target_, pending_, message_, true);
    if (way_ == Way::Stream) {
        if (!Synced(fd_)) Fail(errno, false);
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) ThrowErrno(errno, target_);
        return;
    }
    if (::fsync(fd_) != 0) Fail(errno, true);
    // A new file is linked in under its own name at once; an old one is replaced by a rename.
    const std::filesystem::path folder = FolderOf(target_);
    Temporary temporary{fd_, temporaryName_};
    bool linked = false;
    if (temporary.name.empty()) {
        if (!exists_ && LinkAs(temporary, target_)) {
            linked = true;
        } else if ((!exists_ && errno != EEXIST) || !LinkIn(temporary, folder)) {
            Fail(errno, false);
        }
        temporaryName_ = temporary.name;
    }
    if (!linked && ::rename(temporaryName_.c_str(), target_.c_str()) != 0) {
        const int error = errno;
        if (!(exists_ && Refused(error))) Fail(error, false);
        // A sticky folder: the file is the user's, its name is not. It takes the bytes in place.
        std::string bytes;
        char chunk[1 << 16];
        for (ssize_t got; (got = ::pread(fd_, chunk, sizeof chunk, static_cast<off_t>(bytes.size()))) != 0;) {
            if (got < 0 && errno != EINTR) Fail(errno, false);
            if (got > 0) bytes.append(chunk, static_cast<std::size_t>(got));
        }
        Discard();
        return WriteInPlace(target_, bytes, message_, true);
    }
    temporaryName_.clear();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) ThrowWriteFailure(errno, target_, message_);
    SyncFolder(folder, target_);
}

void ReplaceFileContents(const std::string& path, std::string_view bytes,
                         const std::string& writeFailureMessage) {
    FileReplacement replacement(path, writeFailureMessage);
    replacement.Write(bytes);
    replacement.Commit();
}

void CheckReplaceable(const std::string& path) {
    CheckPathSyntax(path);
    const std::string target = FollowLinks(path);
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) throw IoError(FileAccessDenied);
        if (S_ISREG(info.st_mode)) {
            if (!MayWrite(target)) ThrowErrno(errno, path);
            CheckNotReadOnly(info, path);
            return;
        }
        Descriptor probe(OpenForWriting(target));
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
    target_ = FollowLinks(path);
    fd_ = OpenForWriting(target_);
    if (fd_ < 0 && errno == ENOENT) {
        fd_ = OpenForWriting(target_, O_CREAT | O_EXCL);
        created_ = fd_ >= 0;
    }
    if (fd_ < 0) ThrowErrno(errno, path);
    struct stat info {};
    if (::fstat(fd_, &info) != 0) ThrowErrno(errno, path);
    regular_ = S_ISREG(info.st_mode);
    if (!created_) {
        try {
            CheckNotReadOnly(info, path);
        } catch (const ReadOnlyFileError&) {
            ::close(fd_);
            fd_ = -1;
            throw;
        }
    }
    lastSync_ = std::chrono::steady_clock::now();
}

OutputFile::~OutputFile() {
    if (fd_ < 0) return;
    ::close(fd_);
    if (created_ && !started_) ::unlink(target_.c_str());
}

void OutputFile::Write(std::string_view bytes) {
    if (fd_ < 0) throw IoError(FileAccessDenied);
    if (!started_) {
        if (regular_ && ::ftruncate(fd_, 0) != 0) ThrowErrno(errno, path_);
        started_ = true;
    }
    if (!WriteAll(fd_, bytes)) {
        // A piece that was written in part is taken back, so that the file ends where a whole piece ends.
        const int error = errno;
        if (regular_ && ::ftruncate(fd_, written_) == 0) ::lseek(fd_, written_, SEEK_SET);
        ThrowErrno(error, path_);
    }
    written_ += static_cast<long long>(bytes.size());
    if (std::chrono::steady_clock::now() - lastSync_ >= std::chrono::seconds(1)) Sync();
}

void OutputFile::CheckStillThere() const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) ThrowErrno(errno, path_);
    if (info.st_nlink > 0) return;
    std::error_code ignored;
    if (!std::filesystem::is_directory(FolderOf(target_), ignored))
        throw TaonError("the folder was removed; what was written to the file is lost");
    throw TaonError("the file was removed; what was written to it is lost");
}

void OutputFile::Sync() {
    if (fd_ < 0 || !regular_) return;
    lastSync_ = std::chrono::steady_clock::now();
    if (::fdatasync(fd_) != 0) ThrowErrno(errno, path_);
    CheckStillThere();
}

void OutputFile::Close() {
    if (fd_ < 0) return;
    Sync();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) ThrowErrno(errno, path_);
}

InputFile::InputFile(const std::string& path) : path_(path) {
    CheckPathSyntax(path);
    // Opened without waiting, so that a FIFO without a writer cannot hang the program.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd_ < 0) ThrowErrno(errno, path);
    struct stat info {};
    if (::fstat(fd_, &info) != 0) ThrowErrno(errno, path);
    if (!S_ISREG(info.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        if (S_ISDIR(info.st_mode)) throw IoError(FileAccessDenied);
        throw IoError(FileAccessDenied, S_ISFIFO(info.st_mode)   ? "a FIFO, not a file that can be read"
                                        : S_ISSOCK(info.st_mode) ? "a socket, not a file that can be read"
                                                                 : "a device, not a file that can be read");
    }
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
}

InputFile::~InputFile() {
    if (fd_ >= 0) ::close(fd_);
}

void InputFile::Seek(std::uint64_t offset) {
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) ThrowErrno(errno, path_);
}

std::uint64_t InputFile::Size() const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) ThrowErrno(errno, path_);
    return static_cast<std::uint64_t>(info.st_size);
}

std::size_t InputFile::Read(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, size);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) ThrowErrno(errno, path_);
    }
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

PathKind KindOfPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status)) return PathKind::Missing;
    if (std::filesystem::is_regular_file(status)) return PathKind::File;
    if (std::filesystem::is_directory(status)) return PathKind::Folder;
    return PathKind::Other;
}

std::optional<std::uintmax_t> RegularFileSize(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error) || error) return std::nullopt;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return std::nullopt;
    return size;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error))
        names.push_back(entry->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

std::string RunningProgramPath() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.string();
}

} // namespace taonscope
