// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/IoError.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace taonscope {
namespace {

TEST(IoError, TextsByResultCode) {
    EXPECT_EQ(IoErrorText(2), "File not found");
    EXPECT_EQ(IoErrorText(3), "Invalid filename");
    EXPECT_EQ(IoErrorText(4), "Too many open files");
    EXPECT_EQ(IoErrorText(5), "File access denied");
    EXPECT_EQ(IoErrorText(100), "Read beyond end of file");
    EXPECT_EQ(IoErrorText(101), "Disk full");
    EXPECT_EQ(IoErrorText(106), "Invalid numeric input");
    EXPECT_EQ(IoErrorText(32), "I/O error 32");
    EXPECT_STREQ(IoError(101).what(), "Disk full");
}

TEST(IoError, SystemErrorsMapToTheirCodes) {
    test::TempDir dir;
    EXPECT_EQ(IoCodeFromErrno(ENOENT, dir.File("missing.tao")), FileNotFound);
    EXPECT_EQ(IoCodeFromErrno(ENOENT, dir.File("no-folder/missing.tao")), InvalidFilename);
    EXPECT_EQ(IoCodeFromErrno(ENOENT, "relative.tao"), FileNotFound);
    EXPECT_EQ(IoCodeFromErrno(EACCES, "x"), FileAccessDenied);
    EXPECT_EQ(IoCodeFromErrno(EISDIR, "x"), FileAccessDenied);
    EXPECT_EQ(IoCodeFromErrno(EMFILE, "x"), TooManyOpenFiles);
    EXPECT_EQ(IoCodeFromErrno(ENOSPC, "x"), DiskFull);
    EXPECT_EQ(IoErrorText(IoCodeFromErrno(EIO, "x")), "I/O error 1005");
}

} // namespace
} // namespace taonscope
