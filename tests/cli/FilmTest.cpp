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

namespace taonscope {
namespace {

using test::Cli;
using test::CliProgram;
using test::ReadAll;
using test::TempDir;

// The ring's run of 30 steps, a frame every 10: four frames, swinging outwards.
std::string RecordRing(const TempDir& dir, const std::string& name) {
    test::SaveWorld(dir.File("ring.tao"), RingWorld());
    const test::Outcome run = Cli({"run", dir.File("ring.tao"), "--steps", "30", "--dt", "0.05",
                                   "--trajectory", dir.File(name), "--every", "10"});
    EXPECT_EQ(run.status, CliOk) << run.err;
    return dir.File(name);
}

QImage Picture(const TempDir& dir, const std::string& name) {
    return QImage(QString::fromStdString(dir.File(name)));
}

// The box around the pixels that are not black (left, top, right, bottom), and how many they are.
std::pair<std::array<int, 4>, int> Lit(const QImage& picture) {
    std::array<int, 4> box{picture.width(), picture.height(), -1, -1};
    int lit = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if ((picture.pixel(x, y) & 0xffffff) != 0) {
                box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
                ++lit;
            }
    return {box, lit};
}

TEST(RenderFilm, FfprobeSeesEveryFrameAtTheSizeAndRateAskedFor) {
    TempDir dir;
    if (!std::filesystem::exists("/usr/bin/ffprobe"))
        GTEST_SKIP() << "ffprobe is missing (Debian package ffmpeg)";
    for (const std::string name : {"ring.xyz", "ring.lammpstrj"}) {
        const std::string film = dir.File(name + ".mp4");
        ASSERT_EQ(CliProgram("render " + RecordRing(dir, name) + " " + film +
                                 " --size 96x64 --fps 12 --fit run --style spheres",
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

TEST(RenderFilm, EachPictureIsTheFrameAsRenderDrawsItAndFitRunKeepsOneZoom) {
    TempDir dir;
    const std::string trajectory = RecordRing(dir, "ring.lammpstrj"),
                      options = " --size 200x160 --angles 0.4,0.2,0";
    ASSERT_EQ(
        CliProgram("render " + trajectory + " " + dir.File("each_%03d.png") + options + " --fit --progress",
                   dir),
        0)
        << ReadAll(dir.File("cli.err"));
    ASSERT_EQ(CliProgram("render " + trajectory + " " + dir.File("run_%d.png") + options + " --fit run", dir),
              0);
    std::array<int, 4> all{200, 160, -1, -1};
    for (int k = 1; k <= 4; ++k) {
        // The frame imported as a configuration and drawn alone, fitted the same way.
        const std::string name = "each_00" + std::to_string(k) + ".png";
        ASSERT_EQ(Cli({"import", trajectory, dir.File("frame.tao"), "--frame", std::to_string(k)}).status,
                  CliOk);
        ASSERT_EQ(
            CliProgram("render " + dir.File("frame.tao") + " " + dir.File("alone.png") + options + " --fit",
                       dir),
            0);
        ASSERT_EQ(Picture(dir, name).size(), QSize(200, 160)) << name;
        EXPECT_EQ(Picture(dir, name), Picture(dir, "alone.png")) << name;
        // Fitted to the run, every frame inside the margin of a tenth (and a dot's size) on each side.
        const auto box = Lit(Picture(dir, "run_" + std::to_string(k) + ".png")).first;
        EXPECT_TRUE(box[0] >= 18 && box[1] >= 14 && box[2] <= 183 && box[3] <= 147) << k;
        all = {std::min(all[0], box[0]), std::min(all[1], box[1]), std::max(all[2], box[2]),
               std::max(all[3], box[3])};
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("each_005.png")) ||
                 std::filesystem::exists(dir.File("each_000.png")));
    // Together the frames reach the margin across or down; the ring swings outwards, so its first frame
    // fitted alone fills more of the picture than in the run.
    EXPECT_TRUE((all[0] <= 22 && all[2] >= 177) || (all[1] <= 18 && all[3] >= 141));
    const auto first = Lit(Picture(dir, "run_1.png")).first, alone = Lit(Picture(dir, "each_001.png")).first;
    EXPECT_GT(alone[2] - alone[0], first[2] - first[0] + 2);
}

TEST(RenderFilm, RefusesWhatItCannotMakeAndChangesNothing) {
    TempDir dir;
    const std::string trajectory = RecordRing(dir, "ring.xyz"), kept = dir.File("kept.mp4");
    test::WriteAll(kept, "an older film");
    const std::string usage = " (see taonscope-cli --help)\n";
    const std::pair<std::string, std::string> failures[] = {
        {trajectory + " " + kept + " --size 95x64",
         kept + ": an MP4 film needs an even width and height, not 95x64\n"},
        {trajectory + " " + dir.File("film.avi"),
         dir.File("film.avi") +
             ": a film is named OUT.mp4, or OUT_%04d.png for a PNG picture of each frame\n"},
        {dir.File("none.xyz") + " " + kept, dir.File("none.xyz") + ": File not found\n"},
        {trajectory + " " + dir.File("x.mp4") + " --fit --scale 9",
         "taonscope-cli: --fit and --scale both set the zoom: give one" + usage},
        {trajectory + " " + dir.File("x.mp4") + " --fps 0",
         "taonscope-cli: --fps takes a whole number from 1 to 240, not '0'" + usage},
        {dir.File("ring.tao") + " " + dir.File("x.png") + " --fps 10",
         "taonscope-cli: --fps and --progress go with a film of a trajectory" + usage},
    };
    for (const auto& [args, message] : failures) {
        EXPECT_EQ(CliProgram("render " + args, dir), 2) << args;
        EXPECT_EQ(ReadAll(dir.File("cli.err")), message) << args;
    }
    // Without the ffmpeg program an MP4 film cannot be made; pictures can.
    const std::string nowhere = "PATH=" + dir.File("nowhere");
    EXPECT_EQ(CliProgram("render " + trajectory + " " + dir.File("x.mp4"), dir, nowhere), 2);
    EXPECT_EQ(ReadAll(dir.File("cli.err")),
              dir.File("x.mp4") + ": the ffmpeg program was not found: install it (Debian package "
                                  "ffmpeg) to make MP4 films, or make PNG pictures OUT_%04d.png\n");
    EXPECT_EQ(CliProgram("render " + trajectory + " " + dir.File("p_%d.png"), dir, nowhere), 0);
    EXPECT_TRUE(std::filesystem::exists(dir.File("p_4.png")));
    EXPECT_EQ(ReadAll(kept), "an older film");
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.mp4")));

    // A cut last frame is left out with a note; the film holds the whole frames.
    test::WriteAll(dir.File("cut.xyz"), ReadAll(trajectory) + ReadAll(trajectory).substr(0, 300));
    EXPECT_EQ(CliProgram("render " + dir.File("cut.xyz") + " " + dir.File("cut_%d.png"), dir), 0);
    EXPECT_NE(ReadAll(dir.File("cli.err")).find("cut.xyz: the last frame (line 57) ends after "),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir.File("cut_4.png")) &&
                !std::filesystem::exists(dir.File("cut_5.png")));
}

TEST(RenderFit, ShowsEveryTaonOfTheShippedExamples) {
    TempDir dir;
    // The wheel's twelve taons, dots of four pixels: six of them lie outside the picture at the default zoom.
    const std::string wheel = std::string(TAONSCOPE_EXAMPLES_DIR) + "/09-wheel.tao";
    ASSERT_EQ(CliProgram("render " + wheel + " " + dir.File("fit.png") + " --fit", dir), 0);
    ASSERT_EQ(CliProgram("render " + wheel + " " + dir.File("plain.png"), dir), 0);
    EXPECT_EQ(Lit(Picture(dir, "fit.png")).second, 12 * 4);
    EXPECT_LT(Lit(Picture(dir, "plain.png")).second, 12 * 4);

    // Every example fills the picture to its margins, and no taon is cut at the edge.
    for (const auto& entry : std::filesystem::directory_iterator(TAONSCOPE_EXAMPLES_DIR)) {
        if (entry.path().extension() != ".tao") continue;
        ASSERT_EQ(
            CliProgram("render " + entry.path().string() + " " + dir.File("e.png") + " --fit --size 300x200",
                       dir),
            0);
        const auto box = Lit(Picture(dir, "e.png")).first;
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(box[0] >= 28 && box[1] >= 18 && box[2] <= 273 && box[3] <= 183) << name;
        EXPECT_TRUE((box[0] <= 32 && box[2] >= 268) || (box[1] <= 22 && box[3] >= 178)) << name;
    }
}

} // namespace
} // namespace taonscope
