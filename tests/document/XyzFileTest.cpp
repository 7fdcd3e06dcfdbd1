// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/XyzFile.h"

#include "support/ChildProcess.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"
#include "support/WorldCompare.h"
#include "support/WorldFiles.h"

#include "core/Scenarios.h"
#include "core/Version.h"
#include "document/ConfigFile.h"
#include "document/IoError.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace taonscope {
namespace {

using test::PackedRecord;
using test::SameBits;

// A value from its sign, 64-bit significand and biased exponent.
Extended FromParts(bool negative, std::uint64_t significand, int biasedExponent) {
    std::uint8_t bytes[16] = {};
    std::memcpy(bytes, &significand, 8);
    const auto top = static_cast<std::uint16_t>((negative ? 0x8000 : 0) | biasedExponent);
    std::memcpy(bytes + 8, &top, 2);
    Extended value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

// Three kinds, gaps between the present slots, every value of an odd size; absent slots all zero,
// as a frame cannot hold them.
World MixedWorld() {
    World world = CloudWorld(7);
    for (int j = 1; j <= MaxTaons; ++j) {
        if (j % 3 != 0 && j != 100) continue;
        world.TaonPresent[j] = false;
        world.PosX[j] = world.PosY[j] = world.PosZ[j] = 0;
        world.VelX[j] = world.VelY[j] = world.VelZ[j] = 0;
    }
    world.PosX[1] = -0.0L;
    world.PosY[1] = std::numeric_limits<Extended>::denorm_min();
    world.PosZ[1] = std::numeric_limits<Extended>::max();
    world.VelX[2] = HUGE_VALL;
    world.VelY[2] = -HUGE_VALL;
    world.VelZ[2] = std::numeric_limits<Extended>::min();
    world.PosX[4] = 1.0L / 3;
    world.dt = 0.0123456789012345678901L;
    world.G3 = -1e-4000L;
    SyncCopiesFromCurrent(world);
    return world;
}

std::string ErrorOf(std::string_view text, const XyzImportOptions& options = {}) {
    try {
        ReadXyzText(text, options);
    } catch (const TaonError& error) {
        return error.what();
    }
    return "no error";
}

TEST(XyzRealText, TwentyOneSignificantDigitsWithAFullStop) {
    EXPECT_EQ(XyzRealText(1), "1.00000000000000000000e+00");
    EXPECT_EQ(XyzRealText(-0.1L), "-1.00000000000000000001e-01");
    EXPECT_EQ(XyzRealText(1.0L / 3), "3.33333333333333333342e-01");
    EXPECT_EQ(XyzRealText(-0.0L), "-0.00000000000000000000e+00");
    EXPECT_EQ(XyzRealText(std::nanl("")), "nan");
    EXPECT_EQ(XyzRealText(-std::nanl("")), "nan");
    EXPECT_EQ(XyzRealText(HUGE_VALL), "inf");
    EXPECT_EQ(XyzRealText(-HUGE_VALL), "-inf");

    // A locale with a decimal comma changes neither the text written nor the reading.
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "fr_FR.UTF-8")) {
        EXPECT_EQ(XyzRealText(2.5L), "2.50000000000000000000e+00");
        EXPECT_EQ(ParseXyzReal("2.5"), 2.5L);
    }
    std::setlocale(LC_NUMERIC, previous.c_str());
}

TEST(XyzRealText, ReadsBackEverySignificandBitForBit) {
    std::mt19937_64 random(15);
    for (int i = 0; i < 8000; ++i) {
        const int exponent = i % 16 == 0 ? static_cast<int>(random() % 0x7FFF)
                                         : 16383 + static_cast<int>(random() % 400) - 200;
        const std::uint64_t significand = exponent == 0 ? random() >> 1 : random() | (1ull << 63);
        const Extended value = FromParts(random() & 1, significand, exponent);
        char printed[64];
        std::snprintf(printed, sizeof printed, "%.20Le", value); // glibc rounds correctly too
        ASSERT_EQ(XyzRealText(value), printed);
        const auto back = ParseXyzReal(XyzRealText(value));
        ASSERT_TRUE(back.has_value()) << XyzRealText(value);
        ASSERT_TRUE(SameBits(*back, value)) << XyzRealText(value);
    }
    EXPECT_TRUE(std::isnan(*ParseXyzReal("NaN")));
    EXPECT_EQ(*ParseXyzReal("-Inf"), -HUGE_VALL);
    EXPECT_EQ(*ParseXyzReal("+2e3"), 2000);
    for (const char* text : {"", "-", "0x10", "1,5", "nan(1)", "1e", "12a", "."})
        EXPECT_FALSE(ParseXyzReal(text).has_value()) << text;
}

TEST(XyzFrame, LaysOutTheCommentAndOneLinePerPresentTaon) {
    World world;
    SetParameterSet(world, 1, FigureParameters());
    SetParameterSet(world, 2, {2, 3, 6, 11, 21, 31});
    SetParameterSet(world, 3, {-1, 0, 0, 0, 0, 0.5L});
    world.dt = 0.25L;
    world.TaonPresent[2] = world.TaonPresent[60] = world.TaonPresent[90] = true;
    world.PosX[2] = 1.5L;
    world.VelZ[60] = -2;
    world.PosY[90] = std::nanl("");
    const std::string text = FormatXyzFrame(world, 300, 0.75L);

    const std::string zero = "0.00000000000000000000e+00";
    const std::string expected =
        "3\n"
        "Properties=species:S:1:pos:R:3:velo:R:3:slot:I:1 Time=7.50000000000000000000e-01 Step=300 "
        "dt=2.50000000000000000000e-01 pbc=\"F F F\" program=\"" +
        std::string(ProgramSignature) +
        "\" A1=1.00000000000000000000e+00 "
        "B1=2.71799999999999999998e+00 C1=5.00000000000000000000e+00 D1=1.00000000000000000000e+01 "
        "F1=2.00000000000000000000e+01 G1=3.00000000000000000000e+01 A2=2.00000000000000000000e+00 "
        "B2=3.00000000000000000000e+00 C2=6.00000000000000000000e+00 D2=1.10000000000000000000e+01 "
        "F2=2.10000000000000000000e+01 G2=3.10000000000000000000e+01 A3=-1.00000000000000000000e+00 "
        "B3=" +
        zero + " C3=" + zero + " D3=" + zero + " F3=" + zero +
        " G3=5.00000000000000000000e-01\n"
        "T1 1.50000000000000000000e+00 " +
        zero + " " + zero + " " + zero + " " + zero + " " + zero +
        " 2\n"
        "T2 " +
        zero + " " + zero + " " + zero + " " + zero + " " + zero +
        " -2.00000000000000000000e+00 60\n"
        "T3 " +
        zero + " nan " + zero + " " + zero + " " + zero + " " + zero + " 90\n";
    EXPECT_EQ(text, expected);
}

TEST(XyzRoundTrip, GivesTheSameRecordByteForByte) {
    const World world = MixedWorld();
    const World back = ReadXyzText(FormatXyzFrame(world, 0, 0));
    EXPECT_EQ(PackedRecord(back), PackedRecord(world));
    EXPECT_EQ(back.TaonCount, MaxTaons);
    EXPECT_TRUE(SameBits(back.NextVelX[2], world.VelX[2]));
    EXPECT_TRUE(SameBits(back.ScenePosZ[1], world.PosZ[1]));

    // An empty world comes back empty, with its parameters.
    World empty;
    empty.dt = 0.5L;
    SetParameterSet(empty, 2, {9, 8, 7, 6, 5, 4});
    EXPECT_EQ(PackedRecord(ReadXyzText(FormatXyzFrame(empty, 0, 0))), PackedRecord(empty));
}

TEST(XyzRoundTrip, PicksTheFrameAskedForAndTheLastByDefault) {
    World first = EasySquareWorld();
    World second = RingWorld();
    second.dt = 0.002L;
    const std::string text = FormatXyzFrame(first, 0, 0) + FormatXyzFrame(second, 100, 0.2L) + "\n\n";
    EXPECT_EQ(PackedRecord(ReadXyzText(text)), PackedRecord(second));
    EXPECT_EQ(PackedRecord(ReadXyzText(text, {.frame = 2})), PackedRecord(second));
    EXPECT_EQ(PackedRecord(ReadXyzText(text, {.frame = 1})), PackedRecord(first));
    EXPECT_EQ(ErrorOf(text, {.frame = 3}), "the file holds 2 frames, not 3");
    EXPECT_EQ(ReadXyzText(text, {.frame = 1, .dt = 0.5L}).dt, 0.5L);
}

TEST(XyzImport, PlainFramesFillTheSlotsOfEachKindInFileOrder) {
    const World world = ReadXyzText("5\nmade elsewhere, t = 3\n"
                                    "T2 1 2 3\n"
                                    "C 4 5 6\n"
                                    "T3 7 8 9 extra columns are ignored\n"
                                    "T1 -1 -2 -3\n"
                                    "T2\t0.5  0.25 1e-3\r\n");
    const ParameterSet figure = FigureParameters();
    for (int j = 1; j <= MaxTaons; ++j)
        EXPECT_EQ(world.TaonPresent[j], j == 1 || j == 2 || j == 51 || j == 52 || j == 81) << j;
    EXPECT_EQ(world.PosX[51], 1);
    EXPECT_EQ(world.PosZ[1], 6); // other species are kind 1
    EXPECT_EQ(world.PosY[2], -2);
    EXPECT_EQ(world.PosZ[52], 1e-3L);
    EXPECT_EQ(world.PosX[81], 7);
    EXPECT_EQ(world.VelX[51], 0);
    EXPECT_EQ(world.dt, 0.001L);
    for (int kind = 1; kind <= 3; ++kind) {
        EXPECT_EQ(GetParameterSet(world, kind).B, figure.B);
        EXPECT_EQ(GetParameterSet(world, kind).G, figure.G);
    }
    EXPECT_EQ(world.ScenePosX[51], 1);
    EXPECT_EQ(ReadXyzText("1\n\nT1 1 2 3\n", {.dt = 0.25L}).dt, 0.25L);
}

TEST(XyzImport, ASlotColumnWinsOverTheSpeciesAndVelocitiesAreOptional) {
    const World world = ReadXyzText("2\nProperties=species:S:1:pos:R:3:slot:I:1:mass:R:1 dt=0.5 B2=4\n"
                                    "T1 1 2 3 77 1.0\n"
                                    "Xx 4 5 6 3 1.0\n");
    EXPECT_TRUE(world.TaonPresent[77] && world.TaonPresent[3] && !world.TaonPresent[1]);
    EXPECT_EQ(world.PosX[77], 1);
    EXPECT_EQ(world.PosZ[3], 6);
    EXPECT_EQ(world.VelY[77], 0);
    EXPECT_EQ(world.dt, 0.5L);
    EXPECT_EQ(world.B2, 4);
    EXPECT_EQ(world.B1, FigureParameters().B);

    const World moving = ReadXyzText("1\nProperties=pos:R:3:species:S:1:velo:R:3\n0 1 2 T3 -1 -2 -3\n");
    EXPECT_TRUE(moving.TaonPresent[81]);
    EXPECT_EQ(moving.PosZ[81], 2);
    EXPECT_EQ(moving.VelY[81], -2);
}

TEST(XyzImport, EachErrorNamesItsLine) {
    std::string tooMany = "51\n\n";
    for (int i = 0; i < 51; ++i) tooMany += "T1 0 0 0\n";
    EXPECT_EQ(ErrorOf(tooMany), "line 53: more than 50 taons of kind 1");
    std::string tooManyThird = "21\n\n";
    for (int i = 0; i < 21; ++i) tooManyThird += "T3 0 0 0\n";
    EXPECT_EQ(ErrorOf(tooManyThird), "line 23: more than 20 taons of kind 3");

    EXPECT_EQ(ErrorOf("2\n\nT1 0 0 0\nT1 0 0\n"), "line 4: expected 4 fields, found 3");
    EXPECT_EQ(ErrorOf("1\nProperties=species:S:1:pos:R:3:velo:R:3\nT1 0 0 0 1 1\n"),
              "line 3: expected 7 fields, found 6");
    EXPECT_EQ(ErrorOf("1\n\nT1 0 x 0\n"), "line 3: 'x' is not a number");
    EXPECT_EQ(ErrorOf("1\nA1=1 B1=fast\nT1 0 0 0\n"), "line 2: 'fast' is not a number");
    EXPECT_EQ(ErrorOf("3\n\nT1 0 0 0\nT1 0 0 0\n"),
              "line 1: the count 3 does not match: the file ends after 2 taons");
    EXPECT_EQ(
        ErrorOf("1\n\nT1 0 0 0\nT1 0 0 0\n"),
        "line 4: expected the number of taons of a frame; the count in line 1 does not match its taons");
    EXPECT_EQ(ErrorOf("T1 0 0 0\n"), "line 1: expected the number of taons of a frame");
    EXPECT_EQ(ErrorOf(""), "the file holds no frame");
    EXPECT_EQ(ErrorOf("2\nProperties=species:S:1:pos:R:3:slot:I:1\nT1 0 0 0 5\nT1 0 0 0 5\n"),
              "line 4: slot 5 is given twice");
    EXPECT_EQ(ErrorOf("1\nProperties=species:S:1:pos:R:3:slot:I:1\nT1 0 0 0 101\n"),
              "line 3: slot '101' is not a number from 1 to 100");
    EXPECT_EQ(ErrorOf("1\nProperties=species:S:1:velo:R:3\nT1 0 0 0\n"),
              "line 2: Properties needs species:S:1 and pos:R:3");
    EXPECT_EQ(ErrorOf("1\nProperties=species:S\nT1 0 0 0\n"),
              "line 2: Properties 'species:S' is not name:type:count ...");
    EXPECT_EQ(ErrorOf("1\nProperties=species:S:1:pos:R:3\nT1 0 0 0 7\n"),
              "line 3: expected 4 fields, found 5");
    EXPECT_EQ(ErrorOf("1\n\nT1 1e5000 0 0\n"), "line 3: '1e5000' is beyond the range of extended reals");
    EXPECT_EQ(ErrorOf("1\n\nT1 0 -1e-5000 0\n"), "line 3: '-1e-5000' is beyond the range of extended reals");
    EXPECT_EQ(ErrorOf("1\n\nT1 0 0 " + std::string(500, '7') + "x\n"),
              "line 3: '" + std::string(80, '7') + "...' is not a number");
    EXPECT_EQ(ErrorOf("1\n\nT1 0 0 " + std::string(2 << 20, '7') + "\n"),
              "line 3: longer than 1048576 characters");
    EXPECT_EQ(ErrorOf("101\n\n" + std::string(101, '\n')), "line 1: a frame of 101 taons; at most 100 fit");
    // An error in another frame than the one read is an error all the same when it breaks the frames.
    EXPECT_EQ(
        ErrorOf("1\n\nT1 0 0 0\nbad\n"),
        "line 4: expected the number of taons of a frame; the count in line 1 does not match its taons");
}

TEST(XyzRoundTrip, NamedKindsComeBackToTheirSlotsByteForByte) {
    // (What the columns of named frames mean is read by ASE in the CLI tests.)
    const World world = MixedWorld();
    const std::string named = FormatXyzFrame(world, 0, 0, *ParseSpeciesNames("Ar,Kr,Xe"));
    EXPECT_NE(named.find(" species=\"Ar,Kr,Xe\"\nAr "), std::string::npos);
    EXPECT_EQ(PackedRecord(ReadXyzText(named)), PackedRecord(world));
    EXPECT_EQ(FormatXyzFrame(world, 4, 0.5L, SpeciesNames{}), FormatXyzFrame(world, 4, 0.5L)); // as it was

    // Without the slot column the names place the taons, from the comment line or from the options;
    // T1, T2, T3 are read all the same, and other names are kind 1.
    const World placed = ReadXyzText("4\nspecies=\"Ar,Kr,Xe\"\nXe 1 0 0\nKr 2 0 0\nT3 3 0 0\nC 4 0 0\n");
    EXPECT_EQ((std::array{placed.PosX[81], placed.PosX[51], placed.PosX[82], placed.PosX[1]}),
              (std::array<Extended, 4>{1, 2, 3, 4}));
    const World asked = ReadXyzText("2\n\nXe 1 0 0\nNe 2 0 0\n", {.species = ParseSpeciesNames("He,Ne,Xe")});
    EXPECT_EQ(asked.PosX[81], 1);
    EXPECT_EQ(asked.PosX[51], 2);
    EXPECT_EQ(ReadXyzText("2\n\nXe 1 0 0\nNe 2 0 0\n").PosX[2], 2);

    // Momenta over masses, as ASE writes them, when there is no velo column.
    const World moving =
        ReadXyzText("1\nProperties=species:S:1:pos:R:3:masses:R:1:momenta:R:3\nT2 0 0 0 4 2 -6 1\n");
    EXPECT_EQ((std::array{moving.VelX[51], moving.VelY[51], moving.VelZ[51]}),
              (std::array<Extended, 3>{0.5L, -1.5L, 0.25L}));
}

TEST(XyzImport, ACutLastFrameIsLeftOutWithANote) {
    const std::string first = FormatXyzFrame(EasySquareWorld(), 0, 0),
                      second = FormatXyzFrame(RingWorld(), 5, 0);
    std::size_t cut = 0; // after the count, the comment and 5 taons
    for (int line = 0; line < 7; ++line) cut = second.find('\n', cut) + 1;
    const std::string text = first + second + second.substr(0, cut);
    std::string note;
    EXPECT_EQ(PackedRecord(ReadXyzText(text, {}, &note)), PackedRecord(RingWorld()));
    EXPECT_EQ(note, "the last frame (line " + std::to_string(7 + 14) +
                        ") ends after 5 of its 12 taons and was left out");
    EXPECT_EQ(PackedRecord(ReadXyzText(text, {.frame = 1})), PackedRecord(EasySquareWorld()));
    EXPECT_EQ(ErrorOf(text, {.frame = 3}), "the file holds 2 frames, not 3");
}

// The bytes of the file at path made by pieces written at offsets; what lies between them reads as NUL.
void WriteSparse(const std::string& path, const std::vector<std::pair<off_t, std::string>>& pieces) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    for (const auto& [offset, bytes] : pieces)
        EXPECT_EQ(::pwrite(fd, bytes.data(), bytes.size(), offset), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
}

TEST(XyzImport, FilesOfAnySizeAreReadInPiecesAndDevicesNotAtAll) {
    test::TempDir dir;
    // The last frame lies beyond 2 GiB, after 2048 frames whose comment lines are 1 MiB of NUL.
    std::vector<std::pair<off_t, std::string>> pieces;
    constexpr off_t Mib = 1 << 20;
    for (off_t n = 0; n < 2048; ++n)
        pieces.push_back({n * Mib, "0\n"}), pieces.push_back({(n + 1) * Mib - 1, "\n"});
    pieces.push_back({2048 * Mib, FormatXyzFrame(RingWorld(), 9, 0)});
    WriteSparse(dir.File("huge.xyz"), pieces);
    EXPECT_EQ(PackedRecord(ReadXyzFile(dir.File("huge.xyz"))), PackedRecord(RingWorld()));

    // Blank lines after a frame, and empty frames, need no memory of their own.
    WriteSparse(dir.File("blank.xyz"), {{0, FormatXyzFrame(RingWorld(), 0, 0) + std::string(8 << 20, '\n')}});
    std::string empty;
    for (int n = 0; n < (8 << 20) / 3; ++n) empty += "0\n\n";
    WriteSparse(dir.File("empty.xyz"), {{0, empty}});
    for (const char* name : {"blank.xyz", "empty.xyz"}) {
        const int grown = test::RunInChild([&] {
            rusage before{}, after{};
            ::getrusage(RUSAGE_SELF, &before);
            (void)ReadXyzFile(dir.File(name));
            ::getrusage(RUSAGE_SELF, &after);
            return static_cast<int>((after.ru_maxrss - before.ru_maxrss) >> 10); // MiB
        });
        EXPECT_LT(grown, 4) << name;
    }

    ASSERT_EQ(::mkfifo(dir.File("pipe.xyz").c_str(), 0600), 0);
    for (const std::string& path : {std::string("/dev/zero"), dir.File("pipe.xyz")}) {
        const int status = test::RunInChild(
            [&] {
                try {
                    (void)ReadXyzFile(path);
                } catch (const IoError& error) {
                    return std::string(error.what()).find(", not a file that can be read") !=
                                   std::string::npos
                               ? 0
                               : 1;
                }
                return 2;
            },
            2000);
        EXPECT_EQ(status, 0) << path;
    }
}

TEST(XyzTrajectoryFile, AppendsWholeFramesAndReportsWriteFailures) {
    test::TempDir dir;
    const std::string path = dir.File("run.xyz");
    World world = EasySquareWorld();
    {
        XyzTrajectory trajectory(path);
        trajectory.Append(world, 0, 0);
        world.PosX[1] = 9;
        trajectory.Append(world, 10, 0.01L);
        EXPECT_EQ(trajectory.Frames(), 2);
        trajectory.Close();
    }
    EXPECT_EQ(test::ReadAll(path),
              FormatXyzFrame(EasySquareWorld(), 0, 0) + FormatXyzFrame(world, 10, 0.01L));
    EXPECT_EQ(ReadXyzFile(path).PosX[1], 9);
    EXPECT_EQ(ReadXyzFile(path, {.frame = 1}).PosX[1], EasySquareWorld().PosX[1]);

    {
        XyzTrajectory again(path); // a new recording starts the file afresh
        again.Append(world, 0, 0);
    }
    EXPECT_EQ(test::ReadAll(path), FormatXyzFrame(world, 0, 0));

    {
        // A frame that does not fit is taken back whole: the file ends with the last complete frame.
        const std::string frame = FormatXyzFrame(world, 0, 0);
        XyzTrajectory limited(dir.File("limited.xyz"));
        test::FileSizeLimit limit(frame.size() + frame.size() / 2);
        limited.Append(world, 0, 0);
        EXPECT_THROW(limited.Append(world, 1, 0), IoError);
        EXPECT_EQ(test::ReadAll(dir.File("limited.xyz")), frame);
    }
    EXPECT_THROW(XyzTrajectory(dir.File("missing/run.xyz")), IoError);
    XyzTrajectory full("/dev/full");
    EXPECT_THROW(full.Append(world, 0, 0), IoError);
    try {
        ReadXyzFile(dir.File("none.xyz"));
        ADD_FAILURE() << "no error";
    } catch (const IoError& error) {
        EXPECT_EQ(std::string(error.what()), "File not found");
    }
}

} // namespace
} // namespace taonscope
