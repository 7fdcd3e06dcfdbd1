// SPDX-License-Identifier: GPL-3.0-or-later
#include "IoError.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace taonscope {

std::string IoErrorText(int code) {
    switch (code) {
    case FileNotFound:
        return "File not found";
    case InvalidFilename:
        return "Invalid filename";
    case TooManyOpenFiles:
        return "Too many open files";
    case FileAccessDenied:
        return "File access denied";
    case ReadBeyondEndOfFile:
        return "Read beyond end of file";
    case DiskFull:
        return "Disk full";
    case InvalidNumericInput:
        return "Invalid numeric input";
    default:
        return "I/O error " + std::to_string(code);
    }
}

int IoCodeFromErrno(int error, const std::string& path) {
    switch (error) {
    case ENOENT: {
        const std::filesystem::path parent = std::filesystem::path(path).parent_path();
        std::error_code ignored;
        return parent.empty() || std::filesystem::is_directory(parent, ignored) ? FileNotFound
                                                                                : InvalidFilename;
    }
    case ENOTDIR:
    case EEXIST:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
        return InvalidFilename;
    case EMFILE:
    case ENFILE:
        return TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return FileAccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return DiskFull;
    default:
        return IoSystemErrorBase + error;
    }
}

int IoCodeOfPathSyntax(const std::string& path) {
    return path.empty() || path.find('\0') != std::string::npos ? InvalidFilename : 0;
}

} // namespace taonscope
