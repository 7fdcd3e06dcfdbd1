// SPDX-License-Identifier: GPL-3.0-or-later
// render --style: the window's drawing styles on the command line.
#include "support/CliRun.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"

#include "cli/Cli.h"
#include "core/Scenarios.h"
#include "view/ScenePicture.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace taonscope {
namespace {

using test::Cli;
using test::Outcome;
using test::TempDir;

TEST(CliRender, DrawsTheWindowsSpheresAndRefusesOtherStyles) {
    TempDir dir;
    test::SaveWorld(dir.File("ring.tao"), RingWorld());
    struct Case {
        const char* style;
        TaonStyle expected;
        const char* size; // --sphere-size, or none
        Extended radius;
    };
    const Case cases[] = {{"spheres", TaonStyle::Spheres, nullptr, ViewState{}.SphereRadius},
                          {"spheres", TaonStyle::Spheres, "0.3", 0.3L},
                          {"dots", TaonStyle::Dots, nullptr, ViewState{}.SphereRadius}};
    for (const Case& c : cases) {
        std::string command = std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ") +
                              TAONSCOPE_CLI_PATH + " render " + dir.File("ring.tao") + " " +
                              dir.File("ring.png") + " --size 300x200 --scale 90 --style " + c.style;
        if (c.size) command += std::string(" --sphere-size ") + c.size;
        ASSERT_EQ(WEXITSTATUS(std::system(command.c_str())), 0) << command;
        ViewState view;
        view.ViewScale = 90;
        view.Style = c.expected;
        view.SphereRadius = c.radius;
        const QImage expected = TaonPicture(RingWorld(), view, 300, 200);
        EXPECT_EQ(QImage(QString::fromStdString(dir.File("ring.png"))).convertToFormat(QImage::Format_RGB32),
                  expected)
            << command;
    }
    for (const std::vector<std::string>& extra : {std::vector<std::string>{"--style", "balls"},
                                                  {"--style", "spheres", "--sphere-size", "0"},
                                                  {"--sphere-size", "wide"}}) {
        std::vector<std::string> args = {"render", dir.File("ring.tao"), dir.File("x.png")};
        args.insert(args.end(), extra.begin(), extra.end());
        const Outcome outcome = Cli(args);
        EXPECT_EQ(outcome.status, CliBadInput);
        EXPECT_EQ(outcome.err.rfind("taonscope-cli: ", 0), 0u) << outcome.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.png")));
}

} // namespace
} // namespace taonscope
