// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/TrajectoryFile.h"

#include "support/TempDir.h"
#include "support/WorldFiles.h"

#include "core/Scenarios.h"
#include "core/Step.h"
#include "document/ConfigFile.h"
#include "document/IoError.h"
#include "document/LammpsDumpFile.h"
#include "document/TrajectoryIndex.h"
#include "document/XyzFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

namespace taonscope {
namespace {

using test::PackedRecord;

TEST(TrajectoryFormat, FollowsTheExtensionOrTheName) {
    for (const char* path : {"run.lammpstrj", "RUN.LAMMPSTRJ", "dir.xyz/run.dump"})
        EXPECT_EQ(TrajectoryFormatOf(path), TrajectoryFormat::Lammps) << path;
    for (const char* path : {"run.xyz", "run.lammpstrj.json", "lammpstrj", ""})
        EXPECT_EQ(TrajectoryFormatOf(path), TrajectoryFormat::Xyz) << path;
    EXPECT_EQ(ParseTrajectoryFormat("lammps"), TrajectoryFormat::Lammps);
    EXPECT_EQ(ParseTrajectoryFormat("xyz"), TrajectoryFormat::Xyz);
    EXPECT_EQ(ParseTrajectoryFormat("XYZ"), std::nullopt);
}

TEST(SpeciesNames, AreThreeDifferentNames) {
    EXPECT_TRUE(ParseSpeciesNames("T1,T2,T3")->IsDefault());
    EXPECT_EQ(ParseSpeciesNames("He_4,Ne,abcdefghijklmnop")->Joined(), "He_4,Ne,abcdefghijklmnop");
    for (const char* text : {"Ar,Kr", "Ar,Kr,Xe,Rn", "Ar,Ar,Xe", "Ar,,Xe", "Ar,Kr,", "Ar,4He,Xe", "Ar,K r,Xe",
                             "Ar,Kr,X\"e", "Ar;Kr;Xe", "Ar,Kr,abcdefghijklmnopq", ""})
        EXPECT_EQ(ParseSpeciesNames(text), std::nullopt) << text;
}

TEST(TrajectoryFiles, ReadBackWhatTheirWritersWroteInEitherFormat) {
    test::TempDir dir;
    std::vector<World> frames{RingWorld()}; // after 0, 5 and 10 steps
    World world = RingWorld();
    for (int step = 1; step <= 10; ++step) {
        AdvanceStep(world, CoolFactor(false));
        if (step % 5 == 0) frames.push_back(world);
    }
    for (const auto& [name, format, species] :
         std::vector<std::tuple<std::string, TrajectoryFormat, SpeciesNames>>{
             {"ring.xyz", TrajectoryFormat::Xyz, SpeciesNames{}},
             {"named.xyz", TrajectoryFormat::Xyz, *ParseSpeciesNames("Ar,Kr,Xe")},
             {"ring.lammpstrj", TrajectoryFormat::Lammps, SpeciesNames{}}}) {
        const std::string path = dir.File(name);
        {
            const std::unique_ptr<TrajectoryWriter> writer = OpenTrajectoryWriter(path, format, species);
            for (std::size_t f = 0; f < frames.size(); ++f)
                writer->Append(frames[f], static_cast<std::int64_t>(5 * f), 5 * f * frames[f].dt);
            EXPECT_EQ(writer->Frames(), 3);
            writer->Close();
        }
        // A frame cut short at the end is left out by the reader, with a note.
        const std::string whole = test::ReadAll(path);
        test::WriteAll(path, whole + whole.substr(0, whole.size() / 5));
        const std::unique_ptr<TrajectoryReader> reader = OpenTrajectoryReader(path, format);
        for (const World& expected : frames) {
            ASSERT_TRUE(reader->Next(world)) << name;
            EXPECT_EQ(PackedRecord(world), PackedRecord(expected)) << name;
        }
        EXPECT_FALSE(reader->Next(world)) << name;
        EXPECT_NE(reader->Note().find("and was left out"), std::string::npos) << name;
        EXPECT_EQ(PackedRecord(ReadTrajectoryFile(path, format, {.frame = 2})), PackedRecord(frames[1]))
            << name;
    }

    // A reader refuses what holds no frame, and what is no file.
    test::WriteAll(dir.File("empty.lammpstrj"), "");
    EXPECT_THROW(OpenTrajectoryReader(dir.File("empty.lammpstrj"), TrajectoryFormat::Lammps)->Next(world),
                 TaonError);
    ASSERT_EQ(::mkfifo(dir.File("pipe.xyz").c_str(), 0600), 0);
    EXPECT_THROW(OpenTrajectoryReader(dir.File("pipe.xyz"), TrajectoryFormat::Xyz), IoError);
    EXPECT_THROW(OpenTrajectoryReader(dir.File("pipe.xyz"), TrajectoryFormat::Lammps), IoError);
}

// An index finds the whole frames once, without their numbers; any frame is then read, in any order, as
// the reader reads it in turn, with its step and time.
TEST(TrajectoryFiles, AnIndexReadsAnyFrameAsTheReaderReadsItInTurn) {
    test::TempDir dir;
    std::vector<World> frames{RingWorld()};
    for (int n = 1; n < 7; ++n) {
        frames.push_back(frames.back());
        for (int s = 0; s < 3; ++s) AdvanceStep(frames.back(), CoolFactor(false));
    }
    frames[4].dt = 0.002L; // the law changes during the run
    for (const auto& [name, format] : std::vector<std::pair<std::string, TrajectoryFormat>>{
             {"ring.xyz", TrajectoryFormat::Xyz}, {"ring.lammpstrj", TrajectoryFormat::Lammps}}) {
        const std::string path = dir.File(name);
        {
            const std::unique_ptr<TrajectoryWriter> writer = OpenTrajectoryWriter(path, format);
            for (std::size_t f = 0; f < frames.size(); ++f)
                writer->Append(frames[f], static_cast<std::int64_t>(100 * f + 7),
                               0.25L * static_cast<Extended>(f));
            writer->Close();
        }
        const std::string whole = test::ReadAll(path);
        test::WriteAll(path, whole.substr(0, whole.size() - 10)); // the last frame cut: six whole ones
        std::uint64_t reported = 0;
        TrajectoryIndex index(path, format, {}, [&](std::uint64_t done, std::uint64_t total) {
            EXPECT_LE(done, total);
            reported = done;
            return true;
        });
        ASSERT_EQ(index.Frames(), 6) << name;
        EXPECT_NE(index.Note().find("was left out"), std::string::npos) << name;
        EXPECT_EQ(reported, whole.size() - 10);
        for (const int k : {5, 0, 3, 3, 1, 4, 2}) {
            FrameStamp stamp;
            const World world = index.Read(k, &stamp);
            EXPECT_EQ(stamp.Step, 100 * k + 7) << name;
            // The dump keeps no time: its step times dt (frame 4's dt, in the dump's one sidecar, the last).
            if (format == TrajectoryFormat::Xyz) {
                EXPECT_EQ(stamp.Time, 0.25L * k) << name;
                EXPECT_EQ(test::PackedRecord(world), test::PackedRecord(frames[static_cast<std::size_t>(k)]))
                    << k;
            } else {
                EXPECT_EQ(world.PosX, frames[static_cast<std::size_t>(k)].PosX) << k;
                EXPECT_EQ(stamp.Time, (100 * k + 7) * world.dt) << k;
            }
        }
        EXPECT_THROW(index.Read(6), TaonError);
    }
}

// Cut anywhere inside its last frame (a run killed while it wrote, a copy cut short), a trajectory gives
// the whole frame before it and says what it left out; a lone frame without its last line end is read,
// with a warning that its last number may be cut too.
TEST(TrajectoryFiles, EveryCutInsideTheLastFrameLeavesItOutWithANote) {
    World first = EasySquareWorld();
    first.VelZ[4] = -6.009e-3L;
    World second = first;
    second.PosX[2] = 2.5e-3L, second.VelZ[4] = -7.125e-3L;
    using Read = std::function<World(std::string_view, std::string*)>;
    const std::vector<std::tuple<std::string, std::function<std::string(const World&)>, Read>> formats = {
        {"XYZ", [](const World& w) { return FormatXyzFrame(w, 0, 0); },
         [](std::string_view text, std::string* note) { return ReadXyzText(text, {}, note); }},
        {"LAMMPS", [](const World& w) { return FormatLammpsFrame(w, 0); },
         [&](std::string_view text, std::string* note) {
             return ReadLammpsText(text, {}, note, FormatLammpsSidecar(first));
         }}};
    for (const auto& [name, format, read] : formats) {
        const std::string whole = format(first), text = whole + format(second);
        std::string note;
        EXPECT_EQ(PackedRecord(read(text, &note)), PackedRecord(second)) << name;
        EXPECT_EQ(note, "") << name;
        for (std::size_t cut = whole.size() + 1; cut < text.size(); ++cut) {
            note.clear();
            EXPECT_EQ(PackedRecord(read(std::string_view(text).substr(0, cut), &note)), PackedRecord(first))
                << name << " cut after " << cut << " bytes";
            EXPECT_NE(note.find("was left out"), std::string::npos) << name << " cut after " << cut;
        }
        note.clear();
        EXPECT_EQ(PackedRecord(read(std::string_view(whole).substr(0, whole.size() - 1), &note)),
                  PackedRecord(first))
            << name;
        EXPECT_EQ(note,
                  "the frame (line 1) has no line end after its last line: if the file was cut short, so "
                  "may its last number be")
            << name;
    }
}

} // namespace
} // namespace taonscope
