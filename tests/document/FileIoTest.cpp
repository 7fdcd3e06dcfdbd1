// SPDX-License-Identifier: GPL-3.0-or-later
// The save rules: never wait, never write what the user may not, follow links, leave nothing behind.
#include "document/FileIo.h"
#include "document/Commentary.h"
#include "document/ConfigFile.h"
#include "document/IoError.h"
#include "document/StartPointer.h"

#include "core/Scenarios.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include "support/FileSizeLimit.h"
#include "support/SyncCalls.h"

#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace taonscope {
namespace {

using test::killAtRename;
using test::ReadAll;
using test::RunAsOrdinaryUser;
using test::RunInChild;
using test::syncCalls;
using test::TempDir;
using test::WriteAll;

// The message ReplaceFileContents fails with, or "" when it succeeds.
std::string SaveMessage(const std::string& path, const std::string& bytes) {
    try {
        ReplaceFileContents(path, bytes);
    } catch (const TaonError& error) {
        return error.what();
    }
    return "";
}

std::vector<std::string> Names(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A folder that the ordinary user may enter and write.
struct SharedDir : TempDir {
    SharedDir() { std::filesystem::permissions(path(), std::filesystem::perms::all); }
    void Own(const std::string& file) const {
        if (::geteuid() == 0) {
            EXPECT_EQ(::chown(file.c_str(), test::OrdinaryUser, test::OrdinaryGroup), 0);
        }
    }
};

TEST(Save, AFifoWithoutAReaderIsRefusedAtOnce) {
    TempDir dir;
    const std::string fifo = dir.File("pipe.tao");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int status = RunInChild([&] {
        ConfigRecord buffer{};
        int refused = 0;
        for (auto save : {+[](const std::string&p, ConfigRecord&b) { WriteConfigFile(p, World{}, b); },
                          +[](const std::string&p, ConfigRecord&) { WriteStartPointer(p, "x.tao"); },
                          +[](const std::string&p, ConfigRecord&) { ReplaceFileContents(p, "text"); }}) {
            try {
                save(fifo, buffer);
            } catch (const IoError& error) {
                refused += std::string(error.what()) == "no reader on the FIFO";
            }
        }
        try {
            CheckReplaceable(fifo);
        } catch (const IoError&) {
            ++refused;
        }
        return refused == 4 ? 0 : 1;
    });
    EXPECT_EQ(status, 0) << (status == test::ChildTimedOut ? "a save waited for a reader" : "");
}

TEST(Save, AFileTheUserMayNotWriteIsRefusedBeforeAnythingIsWritten) {
    SharedDir dir;
    for (mode_t mode : {0444, 0000}) {
        const std::string config = dir.File("protected.tao"), comment = dir.File("protected.txt");
        WriteAll(config, "old record");
        WriteAll(comment, "old comment");
        dir.Own(config), dir.Own(comment);
        ::chmod(config.c_str(), mode), ::chmod(comment.c_str(), mode);
        const int status = RunAsOrdinaryUser([&] {
            ConfigRecord buffer{};
            int refused = 0;
            try {
                WriteConfigFile(config, EasySquareWorld(), buffer);
            } catch (const IoError& error) {
                refused += std::string(error.what()) == "File access denied";
            }
            try {
                SaveCommentary(config, "new");
            } catch (const IoError& error) {
                refused += std::string(error.what()) == "File access denied";
            }
            try {
                WriteStartPointer(config, "elsewhere.tao");
            } catch (const IoError& error) {
                refused += std::string(error.what()) == "File access denied";
            }
            try {
                CheckReplaceable(config);
            } catch (const IoError&) {
                ++refused;
            }
            return refused;
        });
        EXPECT_EQ(status, 4) << "mode " << std::oct << mode;
        ::chmod(config.c_str(), 0644), ::chmod(comment.c_str(), 0644);
        EXPECT_EQ(ReadAll(config), "old record");
        EXPECT_EQ(ReadAll(comment), "old comment");
        EXPECT_EQ(Names(dir.path()).size(), 2u);
        std::filesystem::remove(config), std::filesystem::remove(comment);
    }
}

TEST(Save, AWritableFileInAFolderTheUserMayNotWriteIsWrittenInPlace) {
    SharedDir dir;
    const std::string file = dir.File("locked/config.tao");
    std::filesystem::create_directory(dir.File("locked"));
    WriteAll(file, "old");
    dir.Own(file);
    ::chmod(dir.File("locked").c_str(), 0555);
    EXPECT_EQ(RunAsOrdinaryUser([&] { return SaveMessage(file, "new bytes").empty() ? 0 : 1; }), 0);
    EXPECT_EQ(ReadAll(file), "new bytes");
    EXPECT_EQ(RunAsOrdinaryUser([&] {
                  return SaveMessage(dir.File("locked/new.tao"), "x") == "File access denied" ? 0 : 1;
              }),
              0);
}

TEST(Save, LinksKeepNamingWhatTheyNamed) {
    TempDir dir;
    // A dangling symbolic link: the file it names is created, the link stays.
    std::filesystem::create_symlink("made.tao", dir.File("dangling.tao"));
    EXPECT_EQ(SaveMessage(dir.File("dangling.tao"), "through"), "");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("dangling.tao")));
    EXPECT_EQ(ReadAll(dir.File("made.tao")), "through");

    // A loop is refused with the system's error for it, and stays a loop.
    std::filesystem::create_symlink("b.tao", dir.File("a.tao"));
    std::filesystem::create_symlink("a.tao", dir.File("b.tao"));
    EXPECT_EQ(SaveMessage(dir.File("a.tao"), "x"), "Invalid filename");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("a.tao")));

    // Several hard links: every name sees the new bytes.
    WriteAll(dir.File("one.tao"), "a longer old record");
    std::filesystem::create_hard_link(dir.File("one.tao"), dir.File("two.tao"));
    EXPECT_EQ(SaveMessage(dir.File("two.tao"), "new"), "");
    EXPECT_EQ(ReadAll(dir.File("one.tao")), "new");
    EXPECT_EQ(std::filesystem::hard_link_count(dir.File("one.tao")), 2u);
}

TEST(Save, AReplacedFileKeepsItsOwnerAndGroup) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can save a file that another user owns";
    TempDir dir;
    const std::string file = dir.File("users.tao");
    WriteAll(file, "old");
    ASSERT_EQ(::chown(file.c_str(), test::OrdinaryUser, test::OrdinaryGroup), 0);
    EXPECT_EQ(SaveMessage(file, "new"), "");
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, test::OrdinaryUser);
    EXPECT_EQ(info.st_gid, test::OrdinaryGroup);
}

TEST(Save, TheLongestNameTheFileSystemTakesSaves) {
    TempDir dir;
    const std::string longest = dir.File(std::string(251, 'n') + ".tao");
    ConfigRecord buffer{};
    WriteConfigFile(longest, EasySquareWorld(), buffer);
    WriteConfigFile(longest, EasySquareWorld(), buffer); // replacing it too
    EXPECT_EQ(ReadAll(longest).size(), ConfigRecordSize);
    EXPECT_NO_THROW(CheckReplaceable(dir.File(std::string(255, 'm'))));
    EXPECT_EQ(SaveMessage(dir.File(std::string(256, 'n')), "x"), "Invalid filename");
    EXPECT_THROW(CheckReplaceable(dir.File(std::string(256, 'n'))), IoError);
}

TEST(Save, AKilledSaveLeavesNothingBesideTheFile) {
    TempDir dir;
    const std::string file = dir.File("precious.tao");
    WriteAll(file, "old");
    const std::string big(256 << 20, 'x');
    const pid_t pid = ::fork();
    if (pid == 0) {
        ReplaceFileContents(file, big);
        ::_exit(0);
    }
    // Killed as soon as the save holds a file in the folder, long before 256 MiB are written.
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    bool caught = false;
    for (int tries = 0; tries < 20000 && !caught; ++tries) {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(fds, ignored)) {
            const auto target = std::filesystem::read_symlink(entry.path(), ignored).string();
            caught = caught || target.rfind(dir.path().string(), 0) == 0;
        }
        if (!caught) std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    ASSERT_TRUE(caught) << "the save was never seen holding a file";
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"precious.tao"});
    EXPECT_EQ(ReadAll(file), "old");
}

TEST(Save, TheFileIsSyncedBeforeItsRenameAndTheFolderAfter) {
    TempDir dir;
    const std::string file = dir.File("durable.tao");
    std::vector<std::string> calls;
    syncCalls = &calls;
    ReplaceFileContents(file, "new");
    const std::vector<std::string> created = calls;
    calls.clear();
    ReplaceFileContents(file, "replaced");
    const std::vector<std::string> replaced = calls;
    calls.clear();
    std::filesystem::create_hard_link(file, dir.File("second.tao"));
    ReplaceFileContents(file, "in place");
    syncCalls = nullptr;
    EXPECT_EQ(created, (std::vector<std::string>{"sync file", "sync folder"}));
    EXPECT_EQ(replaced, (std::vector<std::string>{"sync file", "rename", "sync folder"}));
    EXPECT_EQ(calls, std::vector<std::string>{"sync file"});
    EXPECT_EQ(ReadAll(dir.File("second.tao")), "in place");
}

TEST(Save, NoTemporaryOutlivesAFailedOrKilledSave) {
    for (const bool named : {false, true}) {
        TempDir dir;
        const std::string file = dir.File("precious.tao");
        WriteAll(file, "old");
        UseNamedTemporaries(named);
        {
            const test::FileSizeLimit full(1000);
            EXPECT_THROW(ReplaceFileContents(file, std::string(4000, 'x')), IoError);
        }
        EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"precious.tao"}) << "named " << named;
        // Killed between naming the temporary and the rename: the next save clears what is left once
        // it is a minute old and its process has ended.
        EXPECT_EQ(RunInChild([&] {
                      killAtRename = true;
                      ReplaceFileContents(file, "lost");
                      return 0;
                  }),
                  128 + SIGKILL);
        UseNamedTemporaries(false);
        EXPECT_EQ(ReadAll(file), "old");
        for (const std::string& name : Names(dir.path())) {
            const timespec old[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
            ::utimensat(AT_FDCWD, dir.File(name).c_str(), old, AT_SYMLINK_NOFOLLOW);
        }
        ReplaceFileContents(dir.File("other.tao"), "x");
        EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"other.tao", "precious.tao"}))
            << "named " << named;
    }
}

TEST(Save, AnotherUsersFileKeepsItsOwnerAttributesAndAccessList) {
    SharedDir dir;
    const std::string file = dir.File("shared.tao");
    WriteAll(file, "old");
    ::chmod(file.c_str(), 0666);
    // An access list that also lets user 1234 read: owner, group, mask and others rw, user 1234 r.
    const std::uint32_t acl[] = {2,   0x0006'0001, ~0u, 0x0004'0002, 1234, 0x0006'0004,
                                 ~0u, 0x0006'0010, ~0u, 0x0006'0020, ~0u};
    ASSERT_EQ(::setxattr(file.c_str(), "user.taonscope.note", "kept", 4, 0), 0);
    const bool withAcl = ::setxattr(file.c_str(), "system.posix_acl_access", acl, sizeof acl, 0) == 0;
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(file.c_str(), 1234, 1234), 0);
    }
    struct stat before {};
    ::stat(file.c_str(), &before);
    EXPECT_EQ(RunAsOrdinaryUser([&] { return SaveMessage(file, "saved by another").empty() ? 0 : 1; }), 0);
    struct stat after {};
    ::stat(file.c_str(), &after);
    EXPECT_EQ(ReadAll(file), "saved by another");
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(after.st_mode, before.st_mode);
    char note[8] = {};
    EXPECT_EQ(::getxattr(file.c_str(), "user.taonscope.note", note, sizeof note), 4);
    EXPECT_STREQ(note, "kept");
    if (withAcl) {
        std::uint32_t back[16] = {};
        EXPECT_EQ(::getxattr(file.c_str(), "system.posix_acl_access", back, sizeof back),
                  static_cast<ssize_t>(sizeof acl));
        EXPECT_EQ(std::memcmp(back, acl, sizeof acl), 0);
    }
}

TEST(Save, AFileNobodyMayWriteIsReplacedOnlyWhenAllowed) {
    TempDir dir;
    const std::string file = dir.File("read-only.tao");
    WriteAll(file, "old");
    ::chmod(file.c_str(), 0444);
    for (const auto& attempt : std::vector<std::function<void()>>{[&] { ReplaceFileContents(file, "new"); },
                                                                  [&] { CheckReplaceable(file); },
                                                                  [&] { OutputFile output(file); }}) {
        // Root may write any file, and is refused as everyone else is (in words of its own).
        try {
            attempt();
            ADD_FAILURE() << "replaced";
        } catch (const ReadOnlyFileError& error) {
            EXPECT_EQ(error.Path(), file);
            EXPECT_EQ(::geteuid(), 0u);
        } catch (const IoError& error) {
            EXPECT_EQ(std::string(error.what()), "File access denied");
        }
    }
    EXPECT_EQ(ReadAll(file), "old");
    if (::geteuid() != 0) return;
    const ReplacingReadOnlyFiles allowed;
    EXPECT_EQ(SaveMessage(file, "new"), "");
    EXPECT_EQ(ReadAll(file), "new");
}

TEST(Commentary, AnEndlessCommentaryIsRefusedNotRead) {
    TempDir dir;
    std::filesystem::create_symlink("/dev/zero", dir.File("endless.txt"));
    try {
        (void)LoadCommentary(dir.File("endless.tao"));
        FAIL();
    } catch (const TaonError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "The commentary " + dir.File("endless.txt") + " is longer than 16 MiB and was not loaded");
    }
    WriteAll(dir.File("full.txt"), std::string(16 << 20, 'a'));
    EXPECT_EQ(LoadCommentary(dir.File("full.tao"))->size(), 16u << 20);
}

} // namespace
} // namespace taonscope
