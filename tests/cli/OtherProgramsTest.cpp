// SPDX-License-Identifier: GPL-3.0-or-later
// What run --trajectory writes, read by the programs of other people (MDAnalysis, ASE, Open Babel), and
// brought back by import.
#include "support/CliRun.h"
#include "support/SystemPython.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"

#include "core/Scenarios.h"
#include "core/Step.h"
#include "document/LammpsDumpFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

namespace taonscope {
namespace {

using test::Cli;
using test::CloudFrames;
using test::Outcome;
using test::ReadAll;
using test::SmallCloud;
using test::TempDir;

// Records the run of the small cloud into the trajectory at path, with extra options.
void Record(const TempDir& dir, const std::string& path, std::vector<std::string> extra = {}) {
    test::SaveWorld(dir.File("cloud.tao"), SmallCloud());
    std::vector<std::string> args = {"run",     dir.File("cloud.tao"), "--steps", "20",      "--kernel",
                                     "literal", "--trajectory",        path,      "--every", "10"};
    args.insert(args.end(), extra.begin(), extra.end());
    const Outcome run = Cli(args);
    ASSERT_EQ(run.status, CliOk) << run.err;
}

TEST(OtherPrograms, MDAnalysisAndAseReadTheDumpAndTheNamedXyzWithKindsPositionsAndVelocities) {
    TempDir dir;
    Record(dir, dir.File("cloud.lammpstrj"));
    Record(dir, dir.File("named.xyz"), {"--species", "Ar,Kr,Xe"});
    const std::vector<World> expected = CloudFrames();
    struct Reader {
        const char *name, *file;
        std::string (*atom)(int slot, int kind); // the name the reader gives an atom
        bool movesOrigin;                        // to the box's low corner, as MDAnalysis does
        double position, velocity;               // the precision it keeps: float32 or float64
    };
    const Reader readers[] = {{"mda-dump", "cloud.lammpstrj",
                               [](int j, int kind) { return std::to_string(j) + ":" + std::to_string(kind); },
                               true, 1e-5, 1e-6},
                              // ASE takes the dump's types as atomic numbers, and the XYZ names as elements.
                              {"ase-dump", "cloud.lammpstrj",
                               [](int, int kind) { return std::to_string(kind); }, false, 1e-14, 1e-14},
                              {"ase-xyz", "named.xyz",
                               [](int, int kind) {
                                   return std::string(kind == 1 ? "Ar" : kind == 2 ? "Kr" : "Xe");
                               },
                               false, 1e-14, 1e-14}};
    for (const Reader& reader : readers) {
        const auto read =
            test::RunSystemPython(TAONSCOPE_OTHER_READERS, {reader.name, dir.File(reader.file)}, dir);
        SKIP_WITHOUT_PYTHON_MODULES(read);
        ASSERT_EQ(read->status, 0) << read->err;
        // The number of frames, then a line per atom in slot order: its name, position and velocity.
        std::istringstream seen(read->out);
        std::size_t frames = 0;
        seen >> frames;
        ASSERT_EQ(frames, expected.size()) << reader.name;
        for (const World& world : expected) {
            double shift[3] = {0, 0, 0};
            bool first = true;
            for (int j = 1; j <= MaxTaons; ++j) {
                if (!world.TaonPresent[j]) continue;
                std::string name;
                double values[6];
                seen >> name;
                for (double& value : values) seen >> value;
                ASSERT_TRUE(seen) << reader.name;
                EXPECT_EQ(name, reader.atom(j, TaonKind(world, j))) << reader.name;
                const Extended truth[6] = {world.PosX[j], world.PosY[j], world.PosZ[j],
                                           world.VelX[j], world.VelY[j], world.VelZ[j]};
                for (int c = 0; c < 3 && first && reader.movesOrigin; ++c)
                    shift[c] = values[c] - static_cast<double>(truth[c]);
                first = false;
                for (int c = 0; c < 6; ++c)
                    EXPECT_NEAR(values[c] - (c < 3 ? shift[c] : 0), static_cast<double>(truth[c]),
                                (c < 3 ? reader.position : reader.velocity) * (1 + std::fabs(values[c])))
                        << reader.name << " " << name << " column " << c;
            }
        }
    }
}

TEST(OtherPrograms, OpenBabelKeepsTheElementsOfTheNamedXyz) {
    TempDir dir;
    if (!std::filesystem::exists("/usr/bin/obabel")) GTEST_SKIP() << "/usr/bin/obabel is missing";
    Record(dir, dir.File("named.xyz"), {"--species", "Ar,Kr,Xe"});
    const std::string command = "/usr/bin/obabel -ixyz " + dir.File("named.xyz") + " -opdb -O " +
                                dir.File("named.pdb") + " 2> " + dir.File("obabel.err");
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadAll(dir.File("obabel.err"));
    EXPECT_NE(ReadAll(dir.File("obabel.err")).find("3 molecules converted"), std::string::npos);
    // Each frame is a model whose atoms carry the kinds' elements (columns 77-78) in slot order.
    std::istringstream pdb(ReadAll(dir.File("named.pdb")));
    std::string line, elements, frame = "Ar Ar Ar Ar Ar Kr Kr Kr Kr Kr Xe Xe Xe Xe Xe ";
    while (std::getline(pdb, line))
        if (line.rfind("HETATM", 0) == 0 && line.size() >= 78) elements += line.substr(76, 2) + ' ';
    EXPECT_EQ(elements, frame + frame + frame);

    // Written back as XYZ, the comment line and its Properties stay but each line is element x y z: the
    // frame imports as plain XYZ, with a note, at the positions Open Babel kept (5 decimals).
    const std::string back = "/usr/bin/obabel -ixyz " + dir.File("named.xyz") + " -oxyz -O " +
                             dir.File("ob.xyz") + " 2> " + dir.File("obabel.err");
    ASSERT_EQ(std::system(back.c_str()), 0) << ReadAll(dir.File("obabel.err"));
    const Outcome import = Cli({"import", dir.File("ob.xyz"), dir.File("ob.tao"), "--species", "Ar,Kr,Xe"});
    ASSERT_EQ(import.status, CliOk) << import.err;
    EXPECT_NE(import.err.find("names 12 columns, but every taon line has 4: read as species and position"),
              std::string::npos)
        << import.err;
    const World last = CloudFrames().back(), read = test::LoadWorld(dir.File("ob.tao"));
    EXPECT_EQ(read.TaonPresent, last.TaonPresent);
    for (int j = 1; j <= MaxTaons; ++j)
        if (last.TaonPresent[j]) {
            EXPECT_NEAR(static_cast<double>(read.PosY[j]), static_cast<double>(last.PosY[j]), 1e-5) << j;
            EXPECT_EQ(read.VelX[j], 0) << j;
        }
}

TEST(OtherPrograms, ImportBringsEveryFrameBackBitForBit) {
    TempDir dir;
    Record(dir, dir.File("cloud.lammpstrj"));
    Record(dir, dir.File("named.xyz"), {"--species", "Ar,Kr,Xe"});
    Record(dir, dir.File("dump.txt"), {"--trajectory-format", "lammps"});
    EXPECT_EQ(ReadAll(dir.File("dump.txt")), ReadAll(dir.File("cloud.lammpstrj")));
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
    ASSERT_EQ(
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
    const std::string ring = dir.File("ring.tao"), dump = dir.File("a.lammpstrj");
    const std::string lammps = "--species names the kinds of XYZ frames; a LAMMPS dump gives them as types";
    for (const auto& [args, message] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"run", ring, "--trajectory", dump, "--species", "Ar,Kr,Xe"}, lammps},
             {{"run", ring, "--trajectory", dir.File("a.xyz"), "--species", "Ar,Ar,Xe"},
              "--species takes three different names of letters, digits or _ (as Ar,Kr,Xe), not 'Ar,Ar,Xe'"},
             {{"run", ring, "--trajectory", dump, "--trajectory-format", "pdb"},
              "--trajectory-format takes lammps or xyz, not 'pdb'"},
             {{"run", ring, "--species", "Ar,Kr,Xe"},
              "--trajectory-format and --species go with --trajectory"},
             {{"import", dump, dir.File("a.tao"), "--species", "Ar,Kr,Xe"}, lammps}}) {
        const Outcome outcome = Cli(args);
        EXPECT_EQ(outcome.status, CliBadInput);
        EXPECT_EQ(outcome.err, "taonscope-cli: " + message + " (see taonscope-cli --help)\n");
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1); // ring.tao alone

    // A sidecar nobody may write stops the run before its first step, as the dump itself would.
    test::WriteAll(dir.File("run.lammpstrj.json"), "{}");
    std::filesystem::permissions(dir.File("run.lammpstrj.json"), std::filesystem::perms::owner_read);
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
