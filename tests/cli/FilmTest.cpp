// SPDX-License-Identifier: GPL-3.0-or-later
// render TRAJECTORY FILM: films read back by ffprobe, pictures compared with render of single frames,
// and --fit on the shipped examples.
#include "support/CliRun.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"

#include "core/Scenarios.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sys/wait.h>

namespace taonscope {
namespace {

using test::Cli;
using test::Outcome;
using test::ReadAll;
using test::TempDir;

// Runs taonscope-cli as a program of its own (render needs its own application object and environment).
int Program(const std::string& args, const TempDir& dir, const std::string& environment = "") {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + environment + " " +
                                TAONSCOPE_CLI_PATH + " " + args + " > " + dir.File("cli.out") + " 2> " +
                                dir.File("cli.err");
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

// The ring's run of 30 steps, a frame every 10: four frames, swinging outwards.
std::string RecordRing(const TempDir& dir, const std::string& name) {
    test::SaveWorld(dir.File("ring.tao"), RingWorld());
    const Outcome run = Cli({"run", dir.File("ring.tao"), "--steps", "30", "--dt", "0.05", "--trajectory",
                             dir.File(name), "--every", "10"});
    EXPECT_EQ(run.status, CliOk) << run.err;
    return dir.File(name);
}

// The box around the pixels that are not black: left, top, right, bottom; left > right when none is.
std::array<int, 4> LitBox(const QImage& picture) {
    std::array<int, 4> box{picture.width(), picture.height(), -1, -1};
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if ((picture.pixel(x, y) & 0xffffff) != 0)
                box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
    return box;
}

// The groups of touching lit pixels of a picture.
int LitGroups(const QImage& picture) {
    std::vector<int> seen(static_cast<std::size_t>(picture.width() * picture.height()), 0);
    int groups = 0;
    for (int y0 = 0; y0 < picture.height(); ++y0)
        for (int x0 = 0; x0 < picture.width(); ++x0) {
            if ((picture.pixel(x0, y0) & 0xffffff) == 0 || seen[y0 * picture.width() + x0]) continue;
            ++groups;
            std::vector<std::pair<int, int>> stack{{x0, y0}};
            seen[y0 * picture.width() + x0] = 1;
            while (!stack.empty()) {
                const auto [x, y] = stack.back();
                stack.pop_back();
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= picture.width() || ny >= picture.height()) continue;
                        int& mark = seen[ny * picture.width() + nx];
                        if (mark || (picture.pixel(nx, ny) & 0xffffff) == 0) continue;
                        mark = 1;
                        stack.push_back({nx, ny});
                    }
            }
        }
    return groups;
}

TEST(RenderFilm, FfprobeSeesEveryFrameAtTheSizeAndRateAskedFor) {
    TempDir dir;
    if (!std::filesystem::exists("/usr/bin/ffprobe"))
        GTEST_SKIP() << "ffprobe is missing (Debian package ffmpeg)";
    for (const std::string name : {"ring.xyz", "ring.lammpstrj"}) {
        const std::string trajectory = RecordRing(dir, name);
        const std::string film = dir.File(name + ".mp4");
        ASSERT_EQ(
            Program("render " + trajectory + " " + film + " --size 96x64 --fps 12 --fit run --style spheres",
                    dir),
            0)
            << ReadAll(dir.File("cli.err"));
        EXPECT_EQ(ReadAll(dir.File("cli.err")).rfind("4 frames in ", 0), 0u) << ReadAll(dir.File("cli.err"));
        const std::string probe =
            "/usr/bin/ffprobe -v error -count_frames -select_streams v:0 -show_entries "
            "stream=codec_name,width,height,r_frame_rate,nb_read_frames -of default=nw=1 " +
            film + " > " + dir.File("probe.txt");
        ASSERT_EQ(std::system(probe.c_str()), 0);
        EXPECT_EQ(ReadAll(dir.File("probe.txt")),
                  "codec_name=h264\nwidth=96\nheight=64\nr_frame_rate=12/1\nnb_read_frames=4\n");
    }
}

TEST(RenderFilm, EachPictureOfASeriesIsTheFrameAsRenderDrawsIt) {
    TempDir dir;
    const std::string trajectory = RecordRing(dir, "ring.lammpstrj");
    ASSERT_EQ(Program("render " + trajectory + " " + dir.File("ring_%03d.png") +
                          " --size 120x90 --fit --angles 0.4,0.2,0 --progress",
                      dir),
              0)
        << ReadAll(dir.File("cli.err"));
    for (int k = 1; k <= 4; ++k) {
        // The frame imported as a configuration and drawn alone, fitted the same way.
        const std::string frame = dir.File("frame" + std::to_string(k) + ".tao");
        ASSERT_EQ(Cli({"import", trajectory, frame, "--frame", std::to_string(k)}).status, CliOk);
        ASSERT_EQ(Program("render " + frame + " " + dir.File("alone.png") +
                              " --size 120x90 --fit --angles 0.4,0.2,0",
                          dir),
                  0);
        char name[32];
        std::snprintf(name, sizeof name, "ring_%03d.png", k);
        const QImage picture(QString::fromStdString(dir.File(name)));
        ASSERT_EQ(picture.size(), QSize(120, 90)) << name;
        EXPECT_EQ(picture, QImage(QString::fromStdString(dir.File("alone.png")))) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("ring_005.png")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("ring_000.png")));
}

TEST(RenderFilm, FitRunKeepsEveryFrameInsideOneZoom) {
    TempDir dir;
    const std::string trajectory = RecordRing(dir, "ring.xyz");
    const int width = 200, height = 160;
    ASSERT_EQ(
        Program("render " + trajectory + " " + dir.File("run_%d.png") + " --size 200x160 --fit run", dir), 0);
    ASSERT_EQ(Program("render " + trajectory + " " + dir.File("each_%d.png") + " --size 200x160 --fit", dir),
              0);
    std::array<int, 4> all{width, height, -1, -1};
    for (int k = 1; k <= 4; ++k) {
        const QImage run(QString::fromStdString(dir.File("run_" + std::to_string(k) + ".png")));
        const auto box = LitBox(run);
        // Every frame inside the margin of a tenth (and a dot's size) on each side.
        EXPECT_GE(box[0], 0.1 * width - 2) << k;
        EXPECT_GE(box[1], 0.1 * height - 2) << k;
        EXPECT_LE(box[2], 0.9 * width + 3) << k;
        EXPECT_LE(box[3], 0.9 * height + 3) << k;
        all = {std::min(all[0], box[0]), std::min(all[1], box[1]), std::max(all[2], box[2]),
               std::max(all[3], box[3])};
        // The ring swings outwards: fitted alone, the first frames fill more of the picture than in the run.
        if (k == 1) {
            const auto alone = LitBox(QImage(QString::fromStdString(dir.File("each_1.png"))));
            EXPECT_GT(alone[2] - alone[0], box[2] - box[0] + 2);
        }
    }
    // Together the frames reach the margin across or down.
    const bool across = all[0] <= 0.1 * width + 2 && all[2] >= 0.9 * width - 3;
    const bool down = all[1] <= 0.1 * height + 2 && all[3] >= 0.9 * height - 3;
    EXPECT_TRUE(across || down);
}

TEST(RenderFilm, RefusesWhatItCannotMakeAndChangesNothing) {
    TempDir dir;
    const std::string trajectory = RecordRing(dir, "ring.xyz");
    test::WriteAll(dir.File("kept.mp4"), "an older film");
    const std::map<std::string, std::string> failures = {
        {"render " + trajectory + " " + dir.File("kept.mp4") + " --size 95x64",
         dir.File("kept.mp4") + ": an MP4 film needs an even width and height, not 95x64\n"},
        {"render " + trajectory + " " + dir.File("film.avi"),
         dir.File("film.avi") +
             ": a film is named OUT.mp4, or OUT_%04d.png for a PNG picture of each frame\n"},
        {"render " + dir.File("none.xyz") + " " + dir.File("kept.mp4"),
         dir.File("none.xyz") + ": File not found\n"},
        {"render " + trajectory + " " + dir.File("x.mp4") + " --fit --scale 9",
         "taonscope-cli: --fit and --scale both set the zoom: give one (see taonscope-cli --help)\n"},
        {"render " + trajectory + " " + dir.File("x.mp4") + " --fps 0",
         "taonscope-cli: --fps takes a whole number from 1 to 240, not '0' (see taonscope-cli --help)\n"},
        {"render " + dir.File("ring.tao") + " " + dir.File("x.png") + " --fps 10",
         "taonscope-cli: --fps and --progress go with a film of a trajectory (see taonscope-cli --help)\n"},
    };
    for (const auto& [args, message] : failures) {
        EXPECT_EQ(Program(args, dir), 2) << args;
        EXPECT_EQ(ReadAll(dir.File("cli.err")), message) << args;
    }
    // Without the ffmpeg program an MP4 film cannot be made; pictures can.
    EXPECT_EQ(Program("render " + trajectory + " " + dir.File("x.mp4"), dir, "PATH=" + dir.File("nowhere")),
              2);
    EXPECT_EQ(ReadAll(dir.File("cli.err")),
              dir.File("x.mp4") +
                  ": the ffmpeg program was not found: install it (Debian package ffmpeg) to make "
                  "MP4 films, or make PNG pictures OUT_%04d.png\n");
    EXPECT_EQ(
        Program("render " + trajectory + " " + dir.File("p_%d.png"), dir, "PATH=" + dir.File("nowhere")), 0);
    EXPECT_TRUE(std::filesystem::exists(dir.File("p_4.png")));
    EXPECT_EQ(ReadAll(dir.File("kept.mp4")), "an older film");
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.mp4")));

    // A cut last frame is left out with a note; the film holds the whole frames.
    const std::string text = ReadAll(trajectory);
    test::WriteAll(dir.File("cut.xyz"), text + text.substr(0, 300));
    EXPECT_EQ(Program("render " + dir.File("cut.xyz") + " " + dir.File("cut_%d.png"), dir), 0);
    EXPECT_NE(
        ReadAll(dir.File("cli.err")).find(dir.File("cut.xyz") + ": the last frame (line 57) ends after "),
        std::string::npos)
        << ReadAll(dir.File("cli.err"));
    EXPECT_TRUE(std::filesystem::exists(dir.File("cut_4.png")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("cut_5.png")));
}

TEST(RenderFit, ShowsEveryTaonOfTheShippedExamples) {
    TempDir dir;
    // The wheel's twelve taons: six of them lie outside the picture at the default zoom.
    const std::string wheel = std::string(TAONSCOPE_EXAMPLES_DIR) + "/09-wheel.tao";
    ASSERT_EQ(Program("render " + wheel + " " + dir.File("fit.png") + " --fit", dir), 0);
    ASSERT_EQ(Program("render " + wheel + " " + dir.File("plain.png"), dir), 0);
    EXPECT_EQ(LitGroups(QImage(QString::fromStdString(dir.File("fit.png")))), 12);
    EXPECT_LT(LitGroups(QImage(QString::fromStdString(dir.File("plain.png")))), 12);

    // Every example fills the picture to its margins, and no taon is cut at the edge.
    for (const auto& entry : std::filesystem::directory_iterator(TAONSCOPE_EXAMPLES_DIR)) {
        if (entry.path().extension() != ".tao") continue;
        ASSERT_EQ(
            Program("render " + entry.path().string() + " " + dir.File("e.png") + " --fit --size 300x200",
                    dir),
            0);
        const auto box = LitBox(QImage(QString::fromStdString(dir.File("e.png"))));
        const std::string name = entry.path().filename().string();
        EXPECT_GE(box[0], 28) << name;
        EXPECT_GE(box[1], 18) << name;
        EXPECT_LE(box[2], 273) << name;
        EXPECT_LE(box[3], 183) << name;
        EXPECT_TRUE((box[0] <= 32 && box[2] >= 268) || (box[1] <= 22 && box[3] >= 178)) << name;
    }
}

} // namespace
} // namespace taonscope
