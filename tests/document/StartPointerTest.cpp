// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/StartPointer.h"
#include "document/IoError.h"

#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace taonscope {
namespace {

using test::ReadAll;
using test::TempDir;
using test::WriteAll;

TEST(StartPointer, FirstLineEndsAtCarriageReturnOrEndOfFileMark) {
    EXPECT_EQ(FirstLine("D:\\sim\\ring.tao\r\nmore\r\nlines"), "D:\\sim\\ring.tao");
    EXPECT_EQ(FirstLine("/a/ring.tao\nrest"), "/a/ring.tao\nrest");
    EXPECT_EQ(FirstLine("/a/b.tao\x1A junk"), "/a/b.tao");
    EXPECT_EQ(FirstLine("\r\n/a/b.tao"), "");
    EXPECT_EQ(FirstLine(""), "");
    EXPECT_EQ(FirstLine("/plain"), "/plain");
}

TEST(StartPointer, MissingEmptyAndNamingFiles) {
    TempDir dir;
    const std::string pointer = dir.File("cfg/taonscope/Start.-ts-");
    EXPECT_FALSE(ReadStartPointer(pointer).has_value());

    CreateEmptyStartPointer(pointer); // creates the folders too
    EXPECT_EQ(ReadStartPointer(pointer), std::optional<std::string>(""));
    EXPECT_EQ(std::filesystem::file_size(pointer), 0u);

    WriteStartPointer(pointer, "/home/u/ring.tao");
    EXPECT_EQ(ReadAll(pointer), "/home/u/ring.tao");
    EXPECT_EQ(ReadStartPointer(pointer), std::optional<std::string>("/home/u/ring.tao"));

    WriteAll(pointer, "/x/ring.tao\r\nsecond line");
    EXPECT_EQ(ReadStartPointer(pointer), std::optional<std::string>("/x/ring.tao"));
}

TEST(StartPointer, AFolderThatCannotBeCreatedIsAnIoError) {
    TempDir dir;
    WriteAll(dir.File("plain"), "a file where a folder should be");
    try {
        WriteStartPointer(dir.File("plain/taonscope/Start.-ts-"), "/a.tao");
        FAIL();
    } catch (const IoError& error) {
        EXPECT_STREQ(error.what(), "Invalid filename");
    }
    EXPECT_EQ(ReadAll(dir.File("plain")), "a file where a folder should be");
}

TEST(StartPointer, AFailedWriteKeepsThePreviousPointer) {
    TempDir dir;
    const std::string pointer = dir.File("Start.-ts-");
    WriteStartPointer(pointer, "/home/u/kept.tao");
    {
        test::FileSizeLimit limit(4);
        EXPECT_THROW(WriteStartPointer(pointer, "/home/u/a-much-longer-name.tao"), IoError);
    }
    EXPECT_EQ(ReadAll(pointer), "/home/u/kept.tao");
    EXPECT_THROW(WriteStartPointer("/dev/full", "/x.tao"), IoError);
}

TEST(StartPointer, LivesInTheUsersConfigurationFolder) {
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string restore = savedConfig ? savedConfig : "";
    ::setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
    EXPECT_EQ(DefaultStartPointerPath(), "/somewhere/config/taonscope/Start.-ts-");
    ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    const std::string fromHome = DefaultStartPointerPath();
    EXPECT_EQ(fromHome, std::string(std::getenv("HOME")) + "/.config/taonscope/Start.-ts-");
    if (savedConfig)
        ::setenv("XDG_CONFIG_HOME", restore.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace taonscope
