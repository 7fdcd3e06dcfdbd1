// SPDX-License-Identifier: GPL-3.0-or-later
// What run --trajectory writes, read by the programs of other people (MDAnalysis, ASE, Open Babel), and
// brought back by import.
#include "support/CliRun.h"
#include "support/SystemPython.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"

#include "core/Scenarios.h"
#include "core/Step.h"
#include "document/ConfigFile.h"
#include "document/LammpsDumpFile.h"
#include "document/XyzFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <regex>
#include <sstream>

namespace taonscope {
namespace {

using test::Cli;
using test::Outcome;
using test::ReadAll;
using test::TempDir;

// Five taons of each kind from the cloud; the slots left empty are all zero, as a frame cannot hold them.
World SmallCloud() {
    World world = CloudWorld();
    for (int j = 1; j <= MaxTaons; ++j) {
        if (j <= 5 || (j >= 51 && j <= 55) || (j >= 81 && j <= 85)) continue;
        world.TaonPresent[j] = false;
        for (TaonArray* values :
             {&world.PosX, &world.PosY, &world.PosZ, &world.VelX, &world.VelY, &world.VelZ})
            (*values)[static_cast<std::size_t>(j)] = 0;
    }
    SyncCopiesFromCurrent(world);
    return world;
}

// The frames of 20 steps of the small cloud, one every 10.
std::vector<World> CloudFrames() {
    std::vector<World> frames = {SmallCloud()};
    World world = SmallCloud();
    for (int step = 1; step <= 20; ++step) {
        AdvanceStep(world, CoolFactor(false));
        if (step % 10 == 0) frames.push_back(world);
    }
    return frames;
}

// Records the run of the small cloud into the trajectory at path, with extra options.
void Record(const TempDir& dir, const std::string& path, std::vector<std::string> extra = {}) {
    test::SaveWorld(dir.File("cloud.tao"), SmallCloud());
    std::vector<std::string> args = {"run",     dir.File("cloud.tao"), "--steps", "20",      "--kernel",
                                     "literal", "--trajectory",        path,      "--every", "10"};
    args.insert(args.end(), extra.begin(), extra.end());
    const Outcome run = Cli(args);
    ASSERT_EQ(run.status, CliOk) << run.err;
}

// One atom as another program sees it.
struct Seen {
    std::string name;
    double position[3], velocity[3];
};

// What read_with_other_programs.py printed: frames of atoms.
std::vector<std::vector<Seen>> Frames(const std::string& out, std::size_t atoms) {
    std::istringstream in(out);
    std::size_t count = 0;
    in >> count;
    std::vector<std::vector<Seen>> frames(count);
    for (auto& frame : frames)
        for (std::size_t a = 0; a < atoms; ++a) {
            Seen seen;
            in >> seen.name;
            for (double& c : seen.position) in >> c;
            for (double& c : seen.velocity) in >> c;
            if (in) frame.push_back(seen);
        }
    return frames;
}

std::vector<int> PresentSlots(const World& world) {
    std::vector<int> slots;
    for (int j = 1; j <= MaxTaons; ++j)
        if (world.TaonPresent[j]) slots.push_back(j);
    return slots;
}

// Near in the precision a reader keeps: float32 (MDAnalysis) or float64 (ASE).
void ExpectNear(double seen, Extended value, double precision, const std::string& what) {
    EXPECT_NEAR(seen, static_cast<double>(value), precision * (1 + std::fabs(seen))) << what;
}

constexpr double Float32 = 1e-6, Float64 = 1e-14;

std::optional<test::PythonOutcome> ReadWith(const char* reader, const std::string& path, const TempDir& dir) {
    return test::RunSystemPython(TAONSCOPE_OTHER_READERS, {reader, path}, dir);
}

TEST(OtherPrograms, MDAnalysisReadsTheDumpWithTypesAndVelocities) {
    TempDir dir;
    const std::string path = dir.File("cloud.lammpstrj");
    Record(dir, path);
    const auto read = ReadWith("mda-dump", path, dir);
    SKIP_WITHOUT_PYTHON_MODULES(read);
    ASSERT_EQ(read->status, 0) << read->err;
    const std::vector<World> expected = CloudFrames();
    const auto frames = Frames(read->out, 15);
    ASSERT_EQ(frames.size(), expected.size());
    for (std::size_t f = 0; f < frames.size(); ++f) {
        const World& world = expected[f];
        const std::vector<int> slots = PresentSlots(world);
        ASSERT_EQ(frames[f].size(), slots.size());
        for (std::size_t a = 0; a < slots.size(); ++a) {
            const int j = slots[a];
            const Seen& seen = frames[f][a];
            EXPECT_EQ(seen.name, std::to_string(j) + ":" + std::to_string(TaonKind(world, j))); // id:type
            const Extended velocity[3] = {world.VelX[j], world.VelY[j], world.VelZ[j]};
            for (int c = 0; c < 3; ++c)
                ExpectNear(seen.velocity[c], velocity[c], Float32, "v of " + seen.name);
            // MDAnalysis moves the box's low corner to the origin: distances between taons stay.
            const int first = slots[0];
            const Extended apart[3] = {world.PosX[j] - world.PosX[first], world.PosY[j] - world.PosY[first],
                                       world.PosZ[j] - world.PosZ[first]};
            for (int c = 0; c < 3; ++c)
                ExpectNear(seen.position[c] - frames[f][0].position[c], apart[c], 1e-5, "x of " + seen.name);
        }
    }
}

TEST(OtherPrograms, AseReadsTheDumpAndTheNamedXyzWithTheSamePositionsAndVelocities) {
    TempDir dir;
    Record(dir, dir.File("cloud.lammpstrj"));
    Record(dir, dir.File("named.xyz"), {"--species", "Ar,Kr,Xe"});
    const std::vector<World> expected = CloudFrames();
    const std::string symbols[4] = {"", "Ar", "Kr", "Xe"};
    for (const auto& [reader, file] :
         {std::pair{"ase-dump", "cloud.lammpstrj"}, std::pair{"ase-xyz", "named.xyz"}}) {
        const auto read = ReadWith(reader, dir.File(file), dir);
        SKIP_WITHOUT_PYTHON_MODULES(read);
        ASSERT_EQ(read->status, 0) << read->err;
        const auto frames = Frames(read->out, 15);
        ASSERT_EQ(frames.size(), expected.size()) << reader;
        for (std::size_t f = 0; f < frames.size(); ++f) {
            const World& world = expected[f];
            const std::vector<int> slots = PresentSlots(world);
            ASSERT_EQ(frames[f].size(), slots.size()) << reader;
            for (std::size_t a = 0; a < slots.size(); ++a) {
                const int j = slots[a], kind = TaonKind(world, j);
                const Seen& seen = frames[f][a];
                // The dump's types are atomic numbers to ASE; the XYZ names are elements.
                EXPECT_EQ(seen.name,
                          std::string(reader) == "ase-dump" ? std::to_string(kind) : symbols[kind]);
                const Extended position[3] = {world.PosX[j], world.PosY[j], world.PosZ[j]};
                const Extended velocity[3] = {world.VelX[j], world.VelY[j], world.VelZ[j]};
                for (int c = 0; c < 3; ++c) {
                    ExpectNear(seen.position[c], position[c], Float64,
                               std::string(reader) + " x " + seen.name);
                    ExpectNear(seen.velocity[c], velocity[c], Float64,
                               std::string(reader) + " v " + seen.name);
                }
            }
        }
    }
}

TEST(OtherPrograms, OpenBabelKeepsTheElementsOfTheNamedXyz) {
    TempDir dir;
    const std::string obabel = "/usr/bin/obabel";
    if (!std::filesystem::exists(obabel))
        GTEST_SKIP() << "Open Babel check skipped: " << obabel << " is missing";
    Record(dir, dir.File("named.xyz"), {"--species", "Ar,Kr,Xe"});
    const std::string command = obabel + " -ixyz " + dir.File("named.xyz") + " -opdb -O " +
                                dir.File("named.pdb") + " 2> " + dir.File("obabel.err");
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadAll(dir.File("obabel.err"));
    EXPECT_NE(ReadAll(dir.File("obabel.err")).find("3 molecules converted"), std::string::npos);

    // Each frame is a model whose atoms carry the kinds' elements (columns 77-78) in slot order.
    std::istringstream pdb(ReadAll(dir.File("named.pdb")));
    std::string line, elements;
    int models = 0;
    while (std::getline(pdb, line)) {
        if (line.rfind("COMPND", 0) == 0) ++models;
        if (line.rfind("HETATM", 0) == 0 && line.size() >= 78) elements += line.substr(76, 2) + ' ';
    }
    EXPECT_EQ(models, 3);
    std::string frame;
    for (const char* element : {"Ar", "Kr", "Xe"})
        for (int n = 0; n < 5; ++n) frame += std::string(element) + ' ';
    EXPECT_EQ(elements, frame + frame + frame);
}

TEST(OtherPrograms, ImportBringsEveryFrameBackBitForBit) {
    TempDir dir;
    Record(dir, dir.File("cloud.lammpstrj"));
    Record(dir, dir.File("named.xyz"), {"--species", "Ar,Kr,Xe"});
    Record(dir, dir.File("dump.txt"), {"--trajectory-format", "lammps"});
    EXPECT_EQ(ReadAll(dir.File("dump.txt")), ReadAll(dir.File("cloud.lammpstrj")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("dump.txt.json")));
    const std::vector<World> expected = CloudFrames();
    for (const std::string file : {"cloud.lammpstrj", "named.xyz"})
        for (std::size_t k = 1; k <= expected.size(); ++k) {
            const std::string out = dir.File(file + std::to_string(k) + ".tao");
            const Outcome import = Cli({"import", dir.File(file), out, "--frame", std::to_string(k)});
            ASSERT_EQ(import.status, CliOk) << import.err;
            EXPECT_EQ(import.err, "");
            ConfigRecord seen{}, source{};
            ASSERT_EQ(ReadConfigFile(out, seen), 0);
            PackConfigRecord(expected[k - 1], source);
            EXPECT_EQ(seen, source) << file << " frame " << k;
        }

    // A dump without its sidecar imports with a note; a dump named otherwise with --trajectory-format.
    std::filesystem::remove(dir.File("cloud.lammpstrj.json"));
    const Outcome bare = Cli({"import", dir.File("cloud.lammpstrj"), dir.File("bare.tao")});
    EXPECT_EQ(bare.status, CliOk);
    EXPECT_EQ(bare.err, dir.File("cloud.lammpstrj") + ": there is no " + dir.File("cloud.lammpstrj.json") +
                            " beside it: the parameters are the figure's, dt is 0.001\n");
    EXPECT_EQ(
        Cli({"import", dir.File("dump.txt"), dir.File("txt.tao"), "--trajectory-format", "lammps"}).status,
        CliOk);
    EXPECT_EQ(test::LoadWorld(dir.File("txt.tao")).PosX, expected.back().PosX);

    // Element names written back by another program, without the comment line's names.
    test::WriteAll(dir.File("back.xyz"), "2\nfrom elsewhere\nXe 1 2 3\nKr 4 5 6\n");
    ASSERT_EQ(Cli({"import", dir.File("back.xyz"), dir.File("back.tao"), "--species", "Ar,Kr,Xe"}).status,
              CliOk);
    const World back = test::LoadWorld(dir.File("back.tao"));
    EXPECT_TRUE(back.TaonPresent[81] && back.TaonPresent[51]);
    EXPECT_EQ(back.PosZ[51], 6);
}

TEST(OtherPrograms, TheFormatOptionsAreCheckedBeforeAnythingIsWritten) {
    TempDir dir;
    test::SaveWorld(dir.File("ring.tao"), RingWorld());
    const std::string ring = dir.File("ring.tao");
    for (const auto& [args, message] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"run", ring, "--trajectory", dir.File("a.lammpstrj"), "--species", "Ar,Kr,Xe"},
              "--species names the kinds of XYZ frames; a LAMMPS dump gives them as types"},
             {{"run", ring, "--trajectory", dir.File("a.xyz"), "--species", "Ar,Ar,Xe"},
              "--species takes three different names of letters, digits or _ (as Ar,Kr,Xe), not 'Ar,Ar,Xe'"},
             {{"run", ring, "--trajectory", dir.File("a.xyz"), "--trajectory-format", "pdb"},
              "--trajectory-format takes lammps or xyz, not 'pdb'"},
             {{"run", ring, "--species", "Ar,Kr,Xe"},
              "--trajectory-format and --species go with --trajectory"},
             {{"import", dir.File("a.lammpstrj"), dir.File("a.tao"), "--species", "Ar,Kr,Xe"},
              "--species names the kinds of XYZ frames; a LAMMPS dump gives them as types"}}) {
        const Outcome outcome = Cli(args);
        EXPECT_EQ(outcome.status, CliBadInput);
        EXPECT_EQ(outcome.err, "taonscope-cli: " + message + " (see taonscope-cli --help)\n");
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1); // ring.tao alone

    // A sidecar nobody may write stops the run before its first step, as the dump itself would.
    test::WriteAll(dir.File("run.lammpstrj.json"), "{}");
    std::filesystem::permissions(dir.File("run.lammpstrj.json"), std::filesystem::perms::owner_read |
                                                                     std::filesystem::perms::group_read |
                                                                     std::filesystem::perms::others_read);
    const Outcome locked =
        Cli({"run", ring, "--trajectory", dir.File("run.lammpstrj"), "--output", dir.File("out.tao")});
    EXPECT_EQ(locked.status, CliBadInput);
    EXPECT_EQ(locked.err, dir.File("run.lammpstrj.json") + ": the file is read-only (--force replaces it)\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.tao")));
    EXPECT_EQ(Cli({"run", ring, "--trajectory", dir.File("run.lammpstrj"), "--force"}).status, CliOk);
    EXPECT_EQ(ReadAll(dir.File("run.lammpstrj.json")), FormatLammpsSidecar(RingWorld()));
}

} // namespace
} // namespace taonscope
