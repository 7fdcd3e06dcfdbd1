// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/Commentary.h"
#include "document/ConfigFile.h"
#include "document/StartPointer.h"

#include "core/Scenarios.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace taonscope {
namespace {

using test::TempDir;

// The permission bits of the file at path.
unsigned ModeOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return 0;
    return info.st_mode & 07777;
}

// Sets the process's file creation mask for the lifetime of the object.
class Umask {
public:
    explicit Umask(mode_t mask) : previous_(::umask(mask)) {}
    ~Umask() { ::umask(previous_); }
    Umask(const Umask&) = delete;
    Umask& operator=(const Umask&) = delete;

private:
    mode_t previous_;
};

TEST(FileMode, NewFilesAreCreatedAsTheUmaskAllows) {
    for (const auto& [mask, expected] : {std::pair{mode_t{022}, 0644u}, std::pair{mode_t{077}, 0600u}}) {
        TempDir dir;
        Umask umask(mask);
        ConfigRecord buffer{};
        WriteConfigFile(dir.File("new.tao"), EasySquareWorld(), buffer);
        SaveCommentary(dir.File("new.tao"), "text");
        WriteStartPointer(dir.File("config/taonscope/Start.-ts-"), dir.File("new.tao"));
        EXPECT_EQ(ModeOf(dir.File("new.tao")), expected) << std::oct << mask;
        EXPECT_EQ(ModeOf(dir.File("new.txt")), expected) << std::oct << mask;
        EXPECT_EQ(ModeOf(dir.File("config/taonscope/Start.-ts-")), expected) << std::oct << mask;
    }
}

} // namespace
} // namespace taonscope
