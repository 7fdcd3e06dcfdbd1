// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/TrajectoryFile.h"

#include "support/TempDir.h"

#include "core/Scenarios.h"
#include "core/Step.h"
#include "document/ConfigFile.h"
#include "document/IoError.h"
#include "document/LammpsDumpFile.h"
#include "document/XyzFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace taonscope {
namespace {

ConfigRecord Record(const World& world) {
    ConfigRecord record{};
    PackConfigRecord(world, record);
    return record;
}

TEST(TrajectoryFormat, FollowsTheExtensionOrTheName) {
    for (const auto& [path, format] :
         std::vector<std::pair<std::string, TrajectoryFormat>>{{"run.lammpstrj", TrajectoryFormat::Lammps},
                                                               {"RUN.LAMMPSTRJ", TrajectoryFormat::Lammps},
                                                               {"dir.xyz/run.dump", TrajectoryFormat::Lammps},
                                                               {"run.xyz", TrajectoryFormat::Xyz},
                                                               {"run.lammpstrj.json", TrajectoryFormat::Xyz},
                                                               {"lammpstrj", TrajectoryFormat::Xyz},
                                                               {"", TrajectoryFormat::Xyz}})
        EXPECT_EQ(TrajectoryFormatOf(path), format) << path;
    EXPECT_EQ(ParseTrajectoryFormat("lammps"), TrajectoryFormat::Lammps);
    EXPECT_EQ(ParseTrajectoryFormat("xyz"), TrajectoryFormat::Xyz);
    EXPECT_EQ(ParseTrajectoryFormat("XYZ"), std::nullopt);
    EXPECT_EQ(ParseTrajectoryFormat("lammpstrj"), std::nullopt);
}

TEST(SpeciesNames, AreThreeDifferentNames) {
    EXPECT_EQ(ParseSpeciesNames("Ar,Kr,Xe")->Names, (std::array<std::string, 3>{"Ar", "Kr", "Xe"}));
    EXPECT_EQ(ParseSpeciesNames("T1,T2,T3"), SpeciesNames{});
    EXPECT_TRUE(ParseSpeciesNames("T1,T2,T3")->IsDefault());
    EXPECT_EQ(ParseSpeciesNames("He_4,Ne,abcdefghijklmnop")->Joined(), "He_4,Ne,abcdefghijklmnop");
    for (const char* text :
         {"Ar,Kr", "Ar,Kr,Xe,Rn", "Ar,Ar,Xe", "Ar,,Xe", "Ar,Kr,", ",Kr,Xe", "Ar,4He,Xe", "Ar,K r,Xe",
          "Ar,Kr,X\"e", "Ar,Kr,Xe=1", "Ar;Kr;Xe", "Ar,Kr,abcdefghijklmnopq", ""})
        EXPECT_EQ(ParseSpeciesNames(text), std::nullopt) << text;
}

// The ring after 0, 5 and 10 steps.
std::vector<World> RingFrames() {
    std::vector<World> frames{RingWorld()};
    World world = RingWorld();
    for (int step = 1; step <= 10; ++step) {
        AdvanceStep(world, CoolFactor(false));
        if (step % 5 == 0) frames.push_back(world);
    }
    return frames;
}

TEST(TrajectoryFiles, ReadBackWhatTheirWritersWroteInEitherFormat) {
    test::TempDir dir;
    const std::vector<World> frames = RingFrames();
    SpeciesNames named = *ParseSpeciesNames("Ar,Kr,Xe");
    for (const auto& [name, format, species] :
         std::vector<std::tuple<std::string, TrajectoryFormat, SpeciesNames>>{
             {"ring.xyz", TrajectoryFormat::Xyz, SpeciesNames{}},
             {"named.xyz", TrajectoryFormat::Xyz, named},
             {"ring.lammpstrj", TrajectoryFormat::Lammps, SpeciesNames{}}}) {
        const std::string path = dir.File(name);
        {
            const std::unique_ptr<TrajectoryWriter> writer = OpenTrajectoryWriter(path, format, species);
            for (std::size_t f = 0; f < frames.size(); ++f)
                writer->Append(frames[f], static_cast<std::int64_t>(5 * f), 5 * f * frames[f].dt);
            EXPECT_EQ(writer->Frames(), 3);
            writer->Close();
        }
        const std::unique_ptr<TrajectoryReader> reader = OpenTrajectoryReader(path, format);
        World world;
        for (const World& expected : frames) {
            ASSERT_TRUE(reader->Next(world)) << name;
            EXPECT_EQ(Record(world), Record(expected)) << name;
        }
        EXPECT_FALSE(reader->Next(world)) << name;
        EXPECT_EQ(reader->Note(), "") << name;
        for (int k = 1; k <= 3; ++k)
            EXPECT_EQ(Record(ReadTrajectoryFile(path, format, {.frame = k})), Record(frames[k - 1])) << name;

        // A frame cut short at the end is left out by the reader too, with a note.
        const std::string whole = test::ReadAll(path);
        test::WriteAll(path, whole + whole.substr(0, whole.size() / 5));
        const std::unique_ptr<TrajectoryReader> cut = OpenTrajectoryReader(path, format);
        int read = 0;
        while (cut->Next(world)) ++read;
        EXPECT_EQ(read, 3) << name;
        EXPECT_NE(cut->Note().find("and was left out"), std::string::npos) << name;
    }

    // The dump's sidecar holds the law the frames were made with.
    EXPECT_EQ(test::ReadAll(dir.File("ring.lammpstrj.json")), FormatLammpsSidecar(frames.back()));

    // A reader refuses what holds no frame, and what is no file.
    test::WriteAll(dir.File("empty.lammpstrj"), "");
    World world;
    EXPECT_THROW(OpenTrajectoryReader(dir.File("empty.lammpstrj"), TrajectoryFormat::Lammps)->Next(world),
                 TaonError);
    ASSERT_EQ(::mkfifo(dir.File("pipe.xyz").c_str(), 0600), 0);
    EXPECT_THROW(OpenTrajectoryReader(dir.File("pipe.xyz"), TrajectoryFormat::Xyz), IoError);
    EXPECT_THROW(OpenTrajectoryReader(dir.File("pipe.xyz"), TrajectoryFormat::Lammps), IoError);
}

} // namespace
} // namespace taonscope
