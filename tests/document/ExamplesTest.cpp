// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/Examples.h"
#include "document/FileIo.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace taonscope {
namespace {

using test::TempDir;
using test::WriteAll;

TEST(ListExamples, TitlesEveryConfigurationByItsCommentaryInTheOrderOfTheNames) {
    TempDir dir;
    WriteAll(dir.File("02-ring.tao"), "");
    WriteAll(dir.File("02-ring.txt"), "A ring\r\nTwelve taons.\r\n");
    WriteAll(dir.File("01-pair.tao"), "");
    WriteAll(dir.File("01-pair.txt"), "A pair\r\n");
    WriteAll(dir.File("03-bare.tao"), "");  // no commentary: titled by its name
    WriteAll(dir.File("04-blank.tao"), ""); // an empty first line: the same
    WriteAll(dir.File("04-blank.txt"), "\r\nSecond line\r\n");
    WriteAll(dir.File("notes.txt"), "Not an example\r\n"); // a commentary alone is no example
    WriteAll(dir.File(".tao"), "");                        // a name that is only the ending
    std::filesystem::create_directory(dir.File("05-folder.tao"));

    const std::vector<ExampleEntry> examples = ListExamples(dir.path().string());
    ASSERT_EQ(examples.size(), 4u);
    EXPECT_EQ(examples[0].Title, "A pair");
    EXPECT_EQ(examples[0].Path, dir.File("01-pair.tao"));
    EXPECT_EQ(examples[1].Title, "A ring");
    EXPECT_EQ(examples[2].Title, "03-bare");
    EXPECT_EQ(examples[3].Title, "04-blank");
}

TEST(ListExamples, AFolderThatCannotBeReadHasNone) {
    TempDir dir;
    EXPECT_TRUE(ListExamples(dir.File("missing")).empty());
    EXPECT_TRUE(FilesEndingWith(dir.File("missing"), ".tao").empty());
}

TEST(FirstExampleFolder, SkipsMissingFoldersAndFoldersWithoutConfigurations) {
    TempDir dir;
    std::filesystem::create_directories(dir.File("empty"));
    std::filesystem::create_directories(dir.File("full"));
    std::filesystem::create_directories(dir.File("later"));
    WriteAll(dir.File("empty/readme.txt"), "");
    WriteAll(dir.File("full/a.tao"), "");
    WriteAll(dir.File("later/b.tao"), "");
    EXPECT_EQ(
        FirstExampleFolder({dir.File("missing"), dir.File("empty"), dir.File("full"), dir.File("later")}),
        dir.File("full"));
    EXPECT_EQ(FirstExampleFolder({dir.File("missing"), dir.File("empty")}), "");
}

TEST(ExampleFolderCandidates, LooksInTheChosenFolderThenTheInstalledOneThenTheSourceTree) {
    ::unsetenv("TAONSCOPE_EXAMPLES");
    std::vector<std::string> folders = ExampleFolderCandidates("/opt/ts/bin");
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[0], "/opt/ts/bin/../share/taonscope/examples");
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(folders[1]) / "01-pair.tao")) << folders[1];

    ::setenv("TAONSCOPE_EXAMPLES", "/somewhere/else", 1);
    folders = ExampleFolderCandidates("/opt/ts/bin");
    ::unsetenv("TAONSCOPE_EXAMPLES");
    ASSERT_EQ(folders.size(), 3u);
    EXPECT_EQ(folders[0], "/somewhere/else");
}

TEST(ExampleFolderCandidates, AnInstalledProgramFindsTheExamplesOfItsOwnPrefix) {
    ::unsetenv("TAONSCOPE_EXAMPLES");
    TempDir prefix;
    std::filesystem::create_directories(prefix.File("bin"));
    std::filesystem::create_directories(prefix.File("share/taonscope/examples"));
    WriteAll(prefix.File("share/taonscope/examples/01-pair.tao"), "");
    WriteAll(prefix.File("share/taonscope/examples/01-pair.txt"), "Installed pair\r\n");
    const std::string folder = FirstExampleFolder(ExampleFolderCandidates(prefix.File("bin")));
    EXPECT_EQ(std::filesystem::canonical(folder),
              std::filesystem::canonical(prefix.File("share/taonscope/examples")));
    const std::vector<ExampleEntry> examples = ListExamples(folder);
    ASSERT_EQ(examples.size(), 1u);
    EXPECT_EQ(examples[0].Title, "Installed pair");
}

} // namespace
} // namespace taonscope
