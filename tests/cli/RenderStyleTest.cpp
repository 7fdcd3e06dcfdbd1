// SPDX-License-Identifier: GPL-3.0-or-later
// render --style: the window's drawing styles on the command line.
#include "support/CliRun.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"

#include "core/Scenarios.h"
#include "view/ScenePicture.h"

#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>

namespace taonscope {
namespace {

TEST(CliRender, DrawsTheWindowsSpheresAndRefusesOtherStyles) {
    test::TempDir dir;
    test::SaveWorld(dir.File("ring.tao"), RingWorld());
    const std::string render =
        "render " + dir.File("ring.tao") + " " + dir.File("ring.png") + " --size 300x200 --scale 90";
    struct Case {
        const char* options;
        TaonStyle style;
        Extended radius;
    };
    for (const Case& c : {Case{" --style spheres", TaonStyle::Spheres, ViewState{}.SphereRadius},
                          Case{" --style spheres --sphere-size 0.3", TaonStyle::Spheres, 0.3L},
                          Case{" --style dots", TaonStyle::Dots, ViewState{}.SphereRadius}}) {
        ASSERT_EQ(test::CliProgram(render + c.options, dir), 0) << c.options;
        ViewState view;
        view.ViewScale = 90;
        view.Style = c.style;
        view.SphereRadius = c.radius;
        EXPECT_EQ(QImage(QString::fromStdString(dir.File("ring.png"))).convertToFormat(QImage::Format_RGB32),
                  TaonPicture(RingWorld(), view, 300, 200))
            << c.options;
    }
    for (const std::vector<std::string>& extra : {std::vector<std::string>{"--style", "balls"},
                                                  {"--style", "spheres", "--sphere-size", "0"},
                                                  {"--sphere-size", "wide"}}) {
        std::vector<std::string> args = {"render", dir.File("ring.tao"), dir.File("x.png")};
        args.insert(args.end(), extra.begin(), extra.end());
        const test::Outcome outcome = test::Cli(args);
        EXPECT_EQ(outcome.status, CliBadInput);
        EXPECT_EQ(outcome.err.rfind("taonscope-cli: ", 0), 0u) << outcome.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.png")));
}

} // namespace
} // namespace taonscope
