// SPDX-License-Identifier: GPL-3.0-or-later
// The encoder's side of the ffmpeg program: pictures in, the film out into the file, ffmpeg's failures
// reported in its words. Stand-ins for ffmpeg on PATH play its part; the real one is in the CLI tests.
#include "document/FilmEncoder.h"

#include "support/SyncCalls.h"
#include "support/TempDir.h"

#include "core/Errors.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace taonscope {
namespace {

// While it lives, PATH holds only a folder with an "ffmpeg" that runs script.
class StandIn {
public:
    StandIn(const test::TempDir& dir, const std::string& script) {
        std::filesystem::create_directories(dir.File("bin"));
        test::WriteAll(dir.File("bin/ffmpeg"), "#!/bin/sh\n" + script + "\n");
        std::filesystem::permissions(dir.File("bin/ffmpeg"), std::filesystem::perms::owner_all);
        if (const char* path = std::getenv("PATH")) saved_ = path;
        ::setenv("PATH", dir.File("bin").c_str(), 1);
    }
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;
    ~StandIn() { ::setenv("PATH", saved_.c_str(), 1); }

private:
    std::string saved_;
};

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const TaonError& error) {
        return error.what();
    }
    return "no error";
}

TEST(FilmEncoder, HandsEveryPictureOverAndWritesWhatComesBack) {
    test::TempDir dir;
    const StandIn copying(dir, "exec /bin/cat"); // a film that is its pictures
    // Pictures much larger than a pipe holds, so that the film comes back while pictures still go out.
    std::string pictures;
    {
        FilmEncoder film(dir.File("film.mp4"), 640, 480, 25);
        for (char shade : {'a', 'b', 'c'}) {
            const std::string picture(640 * 480 * 4, shade);
            film.Add(picture);
            pictures += picture;
        }
        film.Close();
    }
    EXPECT_EQ(test::ReadAll(dir.File("film.mp4")), pictures);
}

// A film that ffmpeg does not finish is not written: an earlier film at its path stays as it was.
TEST(FilmEncoder, ReportsWhatFfmpegSaysWhenItFailsAndKeepsTheEarlierFilm) {
    test::TempDir dir;
    const std::string picture(16 * 8 * 4, '\0');
    const struct {
        std::string script, earlier, says;
    } cases[] = {
        {"echo \"first line\" >&2; echo \"Unknown encoder 'libx264'\" >&2; exit 1", "",
         ": Unknown encoder 'libx264'; no film was written"},
        {"/bin/cat > /dev/null; printf begun; echo 'Disk quota exceeded' >&2; exit 1", "an earlier film",
         "ffmpeg failed: Disk quota exceeded; the earlier film is kept"},
        {"/bin/head -c 1000 > /dev/null; printf half; kill -9 $$", "an earlier film",
         "; the earlier film is kept"},
    };
    for (const auto& c : cases) {
        const std::string path = dir.File("film.mp4");
        std::filesystem::remove(path);
        if (!c.earlier.empty()) test::WriteAll(path, c.earlier);
        const StandIn failing(dir, c.script);
        FilmEncoder film(path, 16, 8, 25);
        const std::string message = ErrorOf([&] {
            for (int n = 0; n < 100; ++n) film.Add(picture); // until ffmpeg is found gone
            film.Close();
        });
        EXPECT_TRUE(message.starts_with("ffmpeg stopped") || message.starts_with("ffmpeg failed")) << message;
        EXPECT_TRUE(message.ends_with(c.says)) << message;
        EXPECT_EQ(test::ReadAll(path), c.earlier) << c.script;
        EXPECT_EQ(std::filesystem::exists(path), !c.earlier.empty()) << c.script;
    }
    {
        // A film whose last sync fails is not complete either.
        test::WriteAll(dir.File("film.mp4"), "an earlier film");
        const StandIn copying(dir, "exec /bin/cat");
        FilmEncoder film(dir.File("film.mp4"), 16, 8, 25);
        film.Add(picture);
        test::failSyncUnder = dir.path().string();
        EXPECT_EQ(ErrorOf([&] { film.Close(); }), "I/O error 1005");
        test::failSyncUnder.clear();
        EXPECT_EQ(test::ReadAll(dir.File("film.mp4")), "an earlier film");
    }
    // (An odd size and a missing ffmpeg are refused as render says, in the CLI tests.)
    const StandIn quiet(dir, "exit 0");
    FilmEncoder film(dir.File("quiet.mp4"), 16, 8, 25);
    EXPECT_EQ(ErrorOf([&] { film.Add(std::string(10, '\0')); }), "a picture of another size than the film's");
}

} // namespace
} // namespace taonscope
