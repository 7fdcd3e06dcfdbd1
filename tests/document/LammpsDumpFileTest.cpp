// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/LammpsDumpFile.h"

#include "support/TempDir.h"
#include "support/WorldFiles.h"

#include "core/Scenarios.h"
#include "document/ConfigFile.h"
#include "document/XyzFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace taonscope {
namespace {

using test::PackedRecord;

std::string ErrorOf(std::string_view text, const ImportOptions& options = {},
                    std::optional<std::string_view> sidecar = std::nullopt) {
    try {
        ReadLammpsText(text, options, nullptr, sidecar);
    } catch (const TaonError& error) {
        return error.what();
    }
    return "no error";
}

// A number as frames write it: the mantissa filled up to 21 significant digits, then the exponent.
std::string N(std::string mantissa, const char* exponent = "+00") {
    mantissa.resize(22 + (mantissa[0] == '-'), '0');
    return mantissa + "e" + exponent;
}

TEST(LammpsFrame, HoldsTheStepTheBoundsWithAMarginAndOneLinePerTaonInSlotOrder) {
    World world;
    world.TaonPresent[81] = world.TaonPresent[2] = world.TaonPresent[60] = true;
    world.PosX[2] = 20, world.PosY[2] = -1.5L, world.VelZ[2] = 0.25L;
    world.PosZ[60] = 3;
    world.PosX[81] = 4, world.VelX[81] = -1;
    const std::string o = N("0.") + " ";
    EXPECT_EQ(FormatLammpsFrame(world, 1234567890123),
              "ITEM: TIMESTEP\n1234567890123\nITEM: NUMBER OF ATOMS\n3\nITEM: BOX BOUNDS ff ff ff\n" +
                  // A tenth of the largest extent (20) on every side.
                  N("-2.") + " " + N("2.2", "+01") + "\n" + N("-3.5") + " " + N("2.") + "\n" + N("-2.") +
                  " " + N("5.") + "\nITEM: ATOMS id type x y z vx vy vz\n2 1 " + N("2.", "+01") + " " +
                  N("-1.5") + " " + o + o + o + N("2.5", "-01") + "\n60 2 " + o + o + N("3.") + " " + o + o +
                  N("0.") + "\n81 3 " + N("4.") + " " + o + o + N("-1.") + " " + o + N("0.") + "\n");
    // A lone taon, and no taon, have a box of 1 on each side.
    World lone;
    lone.TaonPresent[7] = true;
    lone.PosY[7] = 5;
    const std::string unit = N("-1.") + " " + N("1.") + "\n";
    EXPECT_NE(FormatLammpsFrame(lone, 0).find("ff\n" + unit + N("4.") + " " + N("6.") + "\n"),
              std::string::npos);
    EXPECT_NE(FormatLammpsFrame(World{}, 3).find("\n0\nITEM: BOX BOUNDS ff ff ff\n" + unit + unit + unit),
              std::string::npos);
}

TEST(LammpsRoundTrip, GivesTheSameRecordByteForByteWithItsSidecar) {
    // Gaps between the present slots and values of every size, in the frame and in the law.
    World world = CloudWorld(11);
    for (int j = 4; j <= MaxTaons; j += 4) {
        world.TaonPresent[j] = false;
        world.PosX[j] = world.PosY[j] = world.PosZ[j] = world.VelX[j] = world.VelY[j] = world.VelZ[j] = 0;
    }
    world.PosX[1] = -0.0L;
    world.PosY[1] = std::numeric_limits<Extended>::denorm_min();
    world.VelX[2] = -HUGE_VALL;
    world.VelZ[3] = std::numeric_limits<Extended>::min();
    world.PosX[5] = 1.0L / 3;
    world.dt = 0.0123456789012345678901L;
    world.G3 = -1e-4000L;
    world.F2 = HUGE_VALL;
    world.D1 = std::nanl("");
    SyncCopiesFromCurrent(world);
    const World back = ReadLammpsText(FormatLammpsFrame(world, 5), {}, nullptr, FormatLammpsSidecar(world));
    EXPECT_EQ(PackedRecord(back), PackedRecord(world));
    const World full = CloudWorld(12); // every slot: a frame of 100 atoms keeps all its lines
    EXPECT_EQ(
        PackedRecord(ReadLammpsText(FormatLammpsFrame(full, 0), {}, nullptr, FormatLammpsSidecar(full))),
        PackedRecord(full));
    EXPECT_TRUE(std::isnan(back.D1));
    EXPECT_EQ(back.ScenePosX[5], world.PosX[5]);

    // Without the sidecar the law is the figure's, with dt from the options or 0.001.
    const World bare = ReadLammpsText(FormatLammpsFrame(world, 5), {.dt = 0.5L});
    EXPECT_EQ(bare.dt, 0.5L);
    EXPECT_EQ(bare.B2, FigureParameters().B);
    EXPECT_EQ(bare.PosX, back.PosX);
    EXPECT_EQ(ReadLammpsText(FormatLammpsFrame(world, 5)).dt, 0.001L);
}

TEST(LammpsImport, ReadsWhatOtherProgramsWrite) {
    struct Case {
        std::string atoms;                 // the ATOMS line and its three atoms
        std::vector<int> slots;            // present, in the order of the x below
        std::vector<Extended> x, velocity; // x and vx of each
    };
    const std::string header = "ITEM: TIMESTEP\n100\nITEM: NUMBER OF ATOMS\n3\nITEM: BOX BOUNDS pp pp pp\n"
                               "0 10\n-5 5\n0 2\n";
    const Case cases[] = {
        // ids that are slots of their types
        {"id type x y z vx vy vz\n81 3 1 0 0 7 0 0\n5 1 2 0 0 8 0 0\n51 2 3 0 0 9 0 0\n",
         {81, 5, 51},
         {1, 2, 3},
         {7, 8, 9}},
        // ids of another numbering: by type in the order of the ids
        {"id type x y z\n3 2 1 0 0\n1 2 2 0 0\n2 1 3 0 0\n", {52, 51, 1}, {1, 2, 3}, {0, 0, 0}},
        // columns in another order, unwrapped positions
        {"type vx vy vz xu yu zu id\n1 1 1 1 4 0 0 1\n1 2 2 2 5 0 0 2\n1 3 3 3 6 0 0 3\n",
         {1, 2, 3},
         {4, 5, 6},
         {1, 2, 3}},
        // scaled positions, no ids: file order
        {"type xs ys zs\n1 0.5 0.5 0.5\n1 0 0 0\n3 1 1 1\n", {1, 2, 81}, {5, 0, 10}, {0, 0, 0}},
        // an id given twice: by type
        {"id type x y z\n1 1 1 0 0\n1 1 2 0 0\n51 2 3 0 0\n", {1, 2, 51}, {1, 2, 3}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        // LAMMPS's own items before the step are read past.
        const World world =
            ReadLammpsText("ITEM: UNITS\nlj\nITEM: TIME\n0.5\n" + header + "ITEM: ATOMS " + c.atoms);
        EXPECT_EQ(std::count(world.TaonPresent.begin(), world.TaonPresent.end(), true), 3) << c.atoms;
        for (std::size_t t = 0; t < c.slots.size(); ++t) {
            const int j = c.slots[t];
            EXPECT_TRUE(world.TaonPresent[j]) << c.atoms << "slot " << j;
            EXPECT_EQ(world.PosX[j], c.x[t]) << c.atoms << "slot " << j;
            EXPECT_EQ(world.VelX[j], c.velocity[t]) << c.atoms << "slot " << j;
        }
    }
}

// Scaled positions are the box's own: its low bounds and edges, and for a triclinic box its tilts, whose
// bounds are those of the box around it.
TEST(LammpsImport, ScaledPositionsLieInTheBoxWithItsTilt) {
    struct Case {
        std::string box; // the BOX BOUNDS item and its three lines
        Extended xyz[3]; // where the scaled position 0.5 0.25 0.75 lies
    };
    const Case cases[] = {
        {"ff ff ff\n2 6\n-5 3\n10 14\n", {4, -3, 13}},
        // xlo 0, xhi 10 inside the bounds 0 15 (xy 5); ylo 0, yhi 10; lz 10: x 5 + 0.25 5, y 2.5.
        {"xy xz yz pp pp pp\n0 15 5\n0 10 0\n0 10 0\n", {6.25L, 2.5L, 7.5L}},
        // Negative tilts widen the bounds below: xlo = -4 + 3 = -1, xhi = 8 - 2 = 6 (xy 2, xz -3);
        // ylo = -1 + 1 = 0, yhi 4 (yz -1).
        {"xy xz yz ff ff ff\n-4 8 2\n-1 4 -3\n1 5 -1\n", {-1 + 3.5L + 0.5L - 2.25L, 1 - 0.75L, 4}},
    };
    for (const Case& c : cases) {
        const World world = ReadLammpsText("ITEM: NUMBER OF ATOMS\n1\nITEM: BOX BOUNDS " + c.box +
                                           "ITEM: ATOMS type xs ys zs\n1 0.5 0.25 0.75\n");
        EXPECT_EQ(world.PosX[1], c.xyz[0]) << c.box;
        EXPECT_EQ(world.PosY[1], c.xyz[1]) << c.box;
        EXPECT_EQ(world.PosZ[1], c.xyz[2]) << c.box;
    }
}

TEST(LammpsImport, EachErrorNamesItsLine) {
    const std::string atoms =
        "ITEM: TIMESTEP\n0\nITEM: NUMBER OF ATOMS\n1\nITEM: BOX BOUNDS ff ff ff\n0 1\n0 1\n0 1\n";
    std::string tooMany = "ITEM: TIMESTEP\n0\nITEM: NUMBER OF ATOMS\n101\nITEM: ATOMS id type x y z\n";
    for (int i = 0; i < 101; ++i) tooMany += "1 1 0 0 0\n";
    std::string kindOne = "ITEM: NUMBER OF ATOMS\n51\nITEM: ATOMS type x y z\n";
    for (int i = 0; i < 51; ++i) kindOne += "1 0 0 0\n";
    const std::string columns = "ITEM: ATOMS needs the columns x y z (or xu yu zu, xs ys zs, xsu ysu zsu)";
    const std::pair<std::string, std::string> cases[] = {
        {atoms + "ITEM: ATOMS id type x y z\n1 1 0 0\n", "line 10: expected 5 fields, found 4"},
        {atoms + "ITEM: ATOMS id type x y z\n1 1 0 zero 0\n", "line 10: 'zero' is not a number"},
        {atoms + "ITEM: ATOMS id type x y z\nfirst 1 0 0 0\n", "line 10: id 'first' is not a whole number"},
        {atoms + "ITEM: ATOMS id type q\n1 1 0\n", "line 9: " + columns},
        {"ITEM: TIMESTEP\n0\nITEM: ATOMS x y z\n", "line 3: ITEM: ATOMS before ITEM: NUMBER OF ATOMS"},
        {"ITEM: TIMESTEP\nlater\nITEM: NUMBER OF ATOMS\n0\nITEM: ATOMS x y z\n",
         "line 2: the step 'later' is not a whole number"},
        {"ITEM: NUMBER OF ATOMS\nmany\n", "line 2: expected the number of atoms, not 'many'"},
        {"ITEM: BONDS\n", "line 1: unknown item 'BONDS'"},
        {"ITEM: TIMESTEP\n0\nITEM: TIMESTEP\n1\n", "line 3: ITEM: TIMESTEP twice in a frame"},
        {"0\n", "line 1: expected an ITEM: line"},
        {atoms + "ITEM: ATOMS x y z\n0 0 0\n0 0 0\n",
         "line 11: expected an ITEM: line; the number of atoms in line 4 does not match its atoms"},
        {"ITEM: NUMBER OF ATOMS\n0\nITEM: BOX BOUNDS ff ff ff\n0\n0 1\n0 1\nITEM: ATOMS x y z\n",
         "line 4: expected the low and high bound"},
        {tooMany, "line 4: a frame of 101 atoms; at most 100 fit"},
        {kindOne, "line 54: more than 50 taons of kind 1"},
        {atoms + "ITEM: ATOMS x y z\n",
         "line 1: the file ends inside the frame that starts here, after 0 of its 1 atoms"},
        {"\n\n", "the file holds no frame"},
        {"ITEM: NUMBER OF ATOMS\n0\nITEM: ATOMS  0.5 1 2\n", "line 3: " + columns}, // the last line, no atoms
        {atoms + "ITEM: ATOMS type x y z\n4 0 0 0\n",
         "line 10: type 4 is no kind of taon (1, 2 or 3); the frame's types are 4"},
        {"ITEM: NUMBER OF ATOMS\n3\nITEM: ATOMS id type x y z\n1 1 0 0 0\n2 0 1 0 0\n3 2 2 0 0\n",
         "line 5: type 0 is no kind of taon (1, 2 or 3); the frame's types are 0, 1, 2"},
        {"ITEM: NUMBER OF ATOMS\n0\nITEM: BOX BOUNDS xy xz yz pp pp pp\n0 1\n0 1 0\n0 1 0\nITEM: ATOMS x y "
         "z\n",
         "line 4: expected the low and high bound and a tilt"},
    };
    for (const auto& [text, message] : cases) EXPECT_EQ(ErrorOf(text), message) << text;
    // The sidecar says what is wrong in it.
    const std::string frame = atoms + "ITEM: ATOMS x y z\n0 0 0\n";
    EXPECT_EQ(ErrorOf(frame, {}, "{\"dt\": 0.5, \"A1\": \"fast\"}"), "A1 is not a number");
    EXPECT_EQ(ErrorOf(frame, {}, "[1]"), "the sidecar is not an object");
    EXPECT_EQ(ErrorOf(frame, {}, "{\"dt\": 0.5,}"), "line 1, column 12: expected a key in quotes");
    EXPECT_EQ(ErrorOf(frame, {}, "{\"dt\": 1e-5000}"), "dt is not a number an extended real can hold");
    EXPECT_EQ(
        ErrorOf(frame, {}, "{\"program\": \"x\", \"a1\": 2.5}"),
        "unknown key \"a1\" (known: program, dt, A1, B1, C1, D1, F1, G1, A2, B2, C2, D2, F2, G2, A3, B3, "
        "C3, D3, F3, G3)");
}

TEST(LammpsImport, PicksTheFrameAskedForAndLeavesOutACutLastFrame) {
    const World first = EasySquareWorld(), second = RingWorld();
    const std::string last = FormatLammpsFrame(second, 10);
    const std::string text = FormatLammpsFrame(first, 0) + last + last.substr(0, last.size() / 2);
    std::string note;
    EXPECT_EQ(PackedRecord(ReadLammpsText(text, {}, &note, FormatLammpsSidecar(second))),
              PackedRecord(second));
    EXPECT_EQ(note, "the last frame (line 35) ends after 6 of its 12 atoms and was left out");
    EXPECT_EQ(PackedRecord(ReadLammpsText(text, {.frame = 1}, nullptr, FormatLammpsSidecar(first))),
              PackedRecord(first));
    EXPECT_EQ(ErrorOf(text, {.frame = 3}), "the file holds 2 frames, not 3");
    ReadLammpsText(FormatLammpsFrame(first, 0) + "ITEM: TIMESTEP\n", {}, &note);
    EXPECT_EQ(note, "the last frame (line 14) ends inside its header and was left out");
}

TEST(LammpsTrajectoryFile, WritesFramesAndASidecarThatFollowsTheLaw) {
    test::TempDir dir;
    const std::string path = dir.File("run.lammpstrj");
    World world = RingWorld();
    std::string frames = FormatLammpsFrame(world, 0);
    {
        LammpsTrajectory trajectory(path);
        trajectory.Append(world, 0, 0);
        world.PosX[1] = 9;
        world.C2 = 4.25L; // the window's parameter boxes change the law while it records
        trajectory.Append(world, 7, 0.007L);
        frames += FormatLammpsFrame(world, 7);
        trajectory.Close();
    }
    EXPECT_EQ(test::ReadAll(path), frames);
    EXPECT_EQ(test::ReadAll(dir.File("run.lammpstrj.json")), FormatLammpsSidecar(world));
    EXPECT_EQ(PackedRecord(ReadLammpsFile(path)), PackedRecord(world));

    // A sidecar that cannot be read is named.
    test::WriteAll(dir.File("run.lammpstrj.json"), "{\"dt\": 1e5000}");
    try {
        ReadLammpsFile(path);
        ADD_FAILURE() << "no error";
    } catch (const TaonError& error) {
        EXPECT_EQ(std::string(error.what()),
                  dir.File("run.lammpstrj.json") + ": dt is not a number an extended real can hold");
    }
}

} // namespace
} // namespace taonscope
