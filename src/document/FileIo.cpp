#include "FileIo.h"

#include "IoError.h"

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

void WriteInPlace(const std::string& path, std::string_view bytes, const std::string& writeFailureMessage) {
    Descriptor file(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (file.get() < 0) ThrowErrno(errno, path);
    if (!WriteAll(file.get(), bytes)) ThrowWriteFailure(errno, path, writeFailureMessage);
    if (!file.Close()) ThrowErrno(errno, path);
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
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
    struct stat info {};
    const bool exists = ::stat(path.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode)) throw IoError(FileAccessDenied);
    if (exists && !S_ISREG(info.st_mode)) return WriteInPlace(path, bytes, writeFailureMessage);

    // A link is followed, so that the file it names is replaced and the link stays.
    std::string target = path;
    if (exists) {
        if (char* resolved = ::realpath(path.c_str(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
    }
    const std::filesystem::path targetPath(target);
    const std::filesystem::path folder = targetPath.has_parent_path() ? targetPath.parent_path() : ".";
    std::string hiddenName = targetPath.filename().string();
    hiddenName.insert(hiddenName.begin(), '.');
    hiddenName.append(".XXXXXX");
    std::string temporary = (folder / hiddenName).string();

    Descriptor file(::mkstemp(temporary.data()));
    if (file.get() < 0) ThrowErrno(errno, path);
    auto fail = [&](int error, bool writing) {
        ::unlink(temporary.c_str());
        if (writing) ThrowWriteFailure(error, path, writeFailureMessage);
        ThrowErrno(error, path);
    };
    if (::fchmod(file.get(), exists ? (info.st_mode & 07777) : NewFileMode()) != 0) fail(errno, false);
    if (!WriteAll(file.get(), bytes) || ::fsync(file.get()) != 0) fail(errno, true);
    if (!file.Close()) fail(errno, true);
    if (::rename(temporary.c_str(), target.c_str()) != 0) fail(errno, false);
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

} // namespace taonscope
