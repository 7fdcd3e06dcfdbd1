// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Errors.h"

#include <string>

namespace taonscope {

/// Result codes of file operations that have a text of their own.
enum IoCode : int {
    FileNotFound = 2,
    InvalidFilename = 3,
    TooManyOpenFiles = 4,
    FileAccessDenied = 5,
    ReadBeyondEndOfFile = 100,
    DiskFull = 101,
    InvalidNumericInput = 106,
};

/// The message of an I/O result code: "File not found", ..., "I/O error %d" for codes without a text.
std::string IoErrorText(int code);

/// A failed file operation.
class IoError : public TaonError {
public:
    explicit IoError(int code) : TaonError(IoErrorText(code)), code_(code) {}
    /// A failure whose code has no text that says what happened, told in words instead.
    IoError(int code, const std::string& message) : TaonError(message), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

/// The I/O result code of an operating-system error on path: a missing file is "File not found",
/// a missing folder on its way "Invalid filename", as drive-letter systems report them; an error
/// without a text of its own keeps its number offset by IoSystemErrorBase ("I/O error 1005").
int IoCodeFromErrno(int error, const std::string& path);

/// Offset of the operating system's error numbers among the I/O result codes.
inline constexpr int IoSystemErrorBase = 1000;

/// The I/O result code of a path that no file operation can take (empty, or holding a NUL), else 0.
int IoCodeOfPathSyntax(const std::string& path);

} // namespace taonscope
