// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/Commentary.h"
#include "document/IoError.h"

#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace taonscope {
namespace {

using test::ReadAll;
using test::TempDir;
using test::WriteAll;

TEST(CommentFileName, ReplacesTheLastFourCharacters) {
    EXPECT_EQ(CommentFileName("D:\\sim\\ring.tao"), "D:\\sim\\ring.txt");
    EXPECT_EQ(CommentFileName("/home/a/ring.tao"), "/home/a/ring.txt");
    EXPECT_EQ(CommentFileName("ThetraSpiral"), "ThetraSp.txt");
    EXPECT_EQ(CommentFileName("abc"), "abc.txt");
    EXPECT_EQ(CommentFileName(""), ".txt");
    EXPECT_EQ(CommentFileName("abcd"), ".txt");
    // Characters, not bytes: "ö" and "ü" are two bytes each in UTF-8.
    EXPECT_EQ(CommentFileName("/d/grün.taö"), "/d/grün.txt");
    EXPECT_EQ(CommentFileName("/d/xüöäß"), "/d/x.txt");
}

TEST(NormalizeLineEnds, EndsLinesAtCrLfLoneCrAndLoneLf) {
    EXPECT_EQ(NormalizeLineEnds("a\r\nb\rc\nd"), "a\nb\nc\nd");
    EXPECT_EQ(NormalizeLineEnds("a\r\n"), "a\n");
    EXPECT_EQ(NormalizeLineEnds("a\n\nb"), "a\n\nb");
    EXPECT_EQ(NormalizeLineEnds("\r\n\r\n"), "\n\n");
    EXPECT_EQ(NormalizeLineEnds("\n\r"), "\n\n");
    EXPECT_EQ(NormalizeLineEnds("\r\r\n"), "\n\n");
    EXPECT_EQ(NormalizeLineEnds(""), "");
}

TEST(Commentary, LoadsTheLinesBesideTheConfiguration) {
    TempDir dir;
    EXPECT_FALSE(LoadCommentary(dir.File("ring.tao")).has_value());
    WriteAll(dir.File("ring.txt"), "first\r\nsecond\nthird\r");
    EXPECT_EQ(LoadCommentary(dir.File("ring.tao")), std::optional<std::string>("first\nsecond\nthird\n"));
    WriteAll(dir.File("empty.txt"), "");
    EXPECT_EQ(LoadCommentary(dir.File("empty.tao")), std::optional<std::string>(""));
}

TEST(Commentary, SavesWithCrLfAndNoLineEndAfterTheLastLine) {
    TempDir dir;
    SaveCommentary(dir.File("ring.tao"), "one\ntwo\r\nthree");
    EXPECT_EQ(ReadAll(dir.File("ring.txt")), "one\r\ntwo\r\nthree");
    SaveCommentary(dir.File("ring.tao"), "ends\n");
    EXPECT_EQ(ReadAll(dir.File("ring.txt")), "ends\r\n");
    SaveCommentary(dir.File("ring.tao"), "");
    EXPECT_EQ(ReadAll(dir.File("ring.txt")), "");
}

TEST(Commentary, WhatIsLoadedIsSavedAgainUnchanged) {
    TempDir dir;
    for (const std::string text : {"\r\n\r\n", "a\r\n", "a\r\n\r\nb", "", "x"}) {
        WriteAll(dir.File("n.txt"), text);
        SaveCommentary(dir.File("n.tao"), *LoadCommentary(dir.File("n.tao")));
        EXPECT_EQ(ReadAll(dir.File("n.txt")), text);
    }
}

TEST(Commentary, AFailedSaveKeepsThePreviousCommentary) {
    TempDir dir;
    SaveCommentary(dir.File("ring.tao"), "kept");
    {
        test::FileSizeLimit limit(10);
        try {
            SaveCommentary(dir.File("ring.tao"), std::string(100, 'x'));
            FAIL();
        } catch (const TaonError& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot create file " + dir.File("ring.txt"));
        }
    }
    EXPECT_EQ(ReadAll(dir.File("ring.txt")), "kept");
    EXPECT_THROW(SaveCommentary(dir.File("missing/ring.tao"), "x"), IoError);
}

TEST(Commentary, AReadFailureAfterTheOpenNamesTheCommentaryFile) {
    TempDir dir;
    // Reading this process's memory from address 0 opens but fails with an I/O error.
    std::filesystem::create_symlink("/proc/self/mem", dir.File("ring.txt"));
    try {
        LoadCommentary(dir.File("ring.tao"));
        FAIL() << "the read did not fail";
    } catch (const IoError&) {
        FAIL() << "the file's own result code instead of the commentary message";
    } catch (const TaonError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file " + dir.File("ring.txt"));
    }
}

} // namespace
} // namespace taonscope
