// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/ConfigFile.h"
#include "document/IoError.h"

#include "core/Scenarios.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"
#include "support/WorldCompare.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <sys/types.h>

namespace taonscope {
namespace {

using test::ReadAll;
using test::SameBits;
using test::TempDir;
using test::WriteAll;

std::vector<std::uint8_t> Encoded(Extended value) {
    std::vector<std::uint8_t> bytes(10);
    EncodeExtended(value, bytes.data());
    return bytes;
}

Extended FromBits(std::uint64_t significand, std::uint16_t signAndExponent) {
    std::uint8_t bytes[10];
    std::memcpy(bytes, &significand, 8);
    std::memcpy(bytes + 8, &signAndExponent, 2);
    return DecodeExtended(bytes);
}

// A world in which every stored value differs from every other.
World DistinctWorld() {
    World world;
    for (std::size_t p = 0; p < ParameterFields.size(); ++p) world.*ParameterFields[p] = 0.5L + p;
    for (int i = 1; i <= MaxTaons; ++i) {
        world.TaonPresent[i] = i % 3 != 0;
        world.PosX[i] = i + 0.1L, world.PosY[i] = i + 0.2L, world.PosZ[i] = i + 0.3L;
        world.VelX[i] = -i - 0.1L, world.VelY[i] = -i - 0.2L, world.VelZ[i] = -i - 0.3L;
    }
    return world;
}

TEST(Extended80, EncodesTheX87Bytes) {
    EXPECT_EQ(Encoded(1.0L), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}));
    EXPECT_EQ(Encoded(120.0L), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 0xF0, 0x05, 0x40}));
    EXPECT_EQ(Encoded(0.001L),
              (std::vector<std::uint8_t>{0x3B, 0xDF, 0x4F, 0x8D, 0x97, 0x6E, 0x12, 0x83, 0xF5, 0x3F}));
    EXPECT_EQ(Encoded(-2.0L), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}));
}

TEST(ConfigRecord, LayoutMatchesTheFileFormat) {
    World world = DistinctWorld();
    world.TaonPresent[100] = true;
    ConfigRecord record{};
    record.fill(0xEE);
    PackConfigRecord(world, record);
    auto at = [&](std::size_t offset) { return DecodeExtended(&record[offset]); };
    EXPECT_EQ(at(0), world.dt);
    EXPECT_EQ(at(10), world.A1);
    EXPECT_EQ(at(60), world.G1);
    EXPECT_EQ(at(70), world.A2);
    EXPECT_EQ(at(130), world.A3);
    EXPECT_EQ(at(180), world.G3);
    EXPECT_EQ(at(192), world.PosX[1]);
    EXPECT_EQ(at(1182), world.PosX[100]);
    EXPECT_EQ(at(1192), world.PosY[1]);
    EXPECT_EQ(at(2192), world.PosZ[1]);
    EXPECT_EQ(at(3192), world.VelX[1]);
    EXPECT_EQ(at(4192), world.VelY[1]);
    EXPECT_EQ(at(6182), world.VelZ[100]);
    EXPECT_EQ(record[6192], 1);
    EXPECT_EQ(record[6194], 0); // taon 3 is absent
    EXPECT_EQ(record[6291], 1);
    for (std::size_t reserved : {190u, 191u, 6292u, 6293u, 6294u, 6295u}) EXPECT_EQ(record[reserved], 0);
}

TEST(ConfigRecord, UnpackReadsEverySlotAndAlignsTheCopies) {
    const World source = DistinctWorld();
    ConfigRecord record{};
    PackConfigRecord(source, record);
    record[6192 + 4] = 2; // any non-zero presence byte means present

    World world = CloudWorld();
    world.StepCounter = 12;
    UnpackConfigRecord(record, world);
    EXPECT_TRUE(world.TaonPresent[5]);
    EXPECT_FALSE(world.TaonPresent[3]);
    for (int i = 1; i <= MaxTaons; ++i) {
        EXPECT_EQ(world.PosX[i], source.PosX[i]);
        EXPECT_EQ(world.VelZ[i], source.VelZ[i]);
        EXPECT_EQ(world.NextPosY[i], source.PosY[i]);
        EXPECT_EQ(world.ScenePosZ[i], source.PosZ[i]);
        EXPECT_EQ(world.NextVelX[i], source.VelX[i]);
    }
    for (auto field : ParameterFields) EXPECT_EQ(world.*field, source.*field);
    EXPECT_EQ(world.StepCounter, 12);
}

TEST(ConfigRecord, EveryBitPatternSurvivesALoadAndASave) {
    const Extended odd[] = {
        FromBits(0x8000000000000001ull, 0x7FFF), // signalling NaN
        FromBits(0xC000000000000000ull, 0xFFFF), // quiet NaN, negative
        FromBits(0x8000000000000000ull, 0x7FFF), // infinity
        FromBits(0x0000000000000000ull, 0x7FFF), // pseudo-infinity
        FromBits(0x1234000000000000ull, 0x4000), // unnormal
        FromBits(0x8000000000000001ull, 0x0000), // pseudo-denormal
        FromBits(0x0000000000000001ull, 0x8000), // denormal, negative
        -0.0L,
    };
    ConfigRecord record{};
    PackConfigRecord(DistinctWorld(), record);
    for (std::size_t n = 0; n < std::size(odd); ++n) {
        EncodeExtended(odd[n], &record[10 * n]);
        EncodeExtended(odd[n], &record[192 + 10 * n]);
    }
    World world;
    UnpackConfigRecord(record, world);
    ConfigRecord again{};
    PackConfigRecord(world, again);
    EXPECT_EQ(again, record);
}

TEST(ConfigFile, WriteThenReadRestoresTheWorld) {
    TempDir dir;
    World source = DistinctWorld();
    source.TaonPresent.fill(false); // empty slots are saved like any other
    ConfigRecord buffer{};
    WriteConfigFile(dir.File("all.tao"), source, buffer);
    EXPECT_EQ(std::filesystem::file_size(dir.File("all.tao")), 6296u);

    World world;
    ConfigRecord readBack{};
    ASSERT_EQ(ReadConfigFile(dir.File("all.tao"), readBack), 0);
    UnpackConfigRecord(readBack, world);
    source.NextPosX = source.ScenePosX = source.PosX;
    source.NextPosY = source.ScenePosY = source.PosY;
    source.NextPosZ = source.ScenePosZ = source.PosZ;
    source.NextVelX = source.VelX, source.NextVelY = source.VelY, source.NextVelZ = source.VelZ;
    EXPECT_TRUE(test::SameWorld(world, source));
}

TEST(ConfigFile, ALongerFileLoadsFromItsFirstRecord) {
    TempDir dir;
    ConfigRecord buffer{};
    WriteConfigFile(dir.File("a.tao"), DistinctWorld(), buffer);
    WriteAll(dir.File("long.tao"), ReadAll(dir.File("a.tao")) + "trailing bytes");
    ConfigRecord readBack{};
    ASSERT_EQ(ReadConfigFile(dir.File("long.tao"), readBack), 0);
    EXPECT_EQ(readBack, buffer);
}

TEST(ConfigFile, AShortFileFailsAndLeavesTheBufferAlone) {
    TempDir dir;
    WriteAll(dir.File("short.tao"), std::string(6295, '\1'));
    ConfigRecord buffer{};
    buffer.fill(7);
    try {
        (void)ReadConfigFile(dir.File("short.tao"), buffer);
        FAIL();
    } catch (const IoError& error) {
        EXPECT_STREQ(error.what(), "Read beyond end of file");
    }
    EXPECT_EQ(buffer[0], 7);
    EXPECT_EQ(buffer[6295], 7);
}

TEST(ConfigFile, FailedOpensAreReturnedNotThrown) {
    TempDir dir;
    ConfigRecord buffer{};
    EXPECT_EQ(ReadConfigFile(dir.File("missing.tao"), buffer), FileNotFound);
    EXPECT_EQ(ReadConfigFile(dir.File("no/such/folder.tao"), buffer), InvalidFilename);
    EXPECT_EQ(ReadConfigFile(dir.path().string(), buffer), FileAccessDenied);
    EXPECT_EQ(ReadConfigFile("", buffer), InvalidFilename);
}

TEST(ConfigFile, FilesThatAreNoFilesNeitherHangNorLoad) {
    TempDir dir;
    ConfigRecord buffer{};
    ASSERT_EQ(::mkfifo(dir.File("pipe.tao").c_str(), 0600), 0);
    EXPECT_EQ(ReadConfigFile(dir.File("pipe.tao"), buffer),
              FileAccessDenied); // no writer: it would wait for ever
    // A file whose reading fails after it opened, even for root.
    try {
        (void)ReadConfigFile("/proc/self/mem", buffer);
        FAIL();
    } catch (const IoError& error) {
        EXPECT_STREQ(error.what(), "I/O error 1005");
    }
    // A device reads like a file: 6296 zero bytes.
    buffer.fill(1);
    EXPECT_EQ(ReadConfigFile("/dev/zero", buffer), 0);
    EXPECT_EQ(buffer[6295], 0);
}

TEST(ConfigFile, AFailedSaveKeepsThePreviousFile) {
    TempDir dir;
    const std::string path = dir.File("keep.tao");
    ConfigRecord buffer{};
    WriteConfigFile(path, EasySquareWorld(), buffer);
    const std::string saved = ReadAll(path);
    {
        test::FileSizeLimit limit(1000);
        try {
            WriteConfigFile(path, DistinctWorld(), buffer);
            FAIL();
        } catch (const IoError& error) {
            EXPECT_STREQ(error.what(), "Disk full");
        }
    }
    EXPECT_EQ(ReadAll(path), saved);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "no stray temporary file";
}

TEST(ConfigFile, SaveFailuresHaveTheirMessages) {
    TempDir dir;
    ConfigRecord buffer{};
    auto messageOf = [&](const std::string& path) -> std::string {
        try {
            WriteConfigFile(path, EasySquareWorld(), buffer);
        } catch (const IoError& error) {
            return error.what();
        }
        return "";
    };
    EXPECT_EQ(messageOf(dir.path().string()), "File access denied");
    EXPECT_EQ(messageOf(dir.File("missing/a.tao")), "Invalid filename");
    EXPECT_EQ(messageOf("/dev/full"), "Disk full");
    EXPECT_EQ(messageOf(""), "Invalid filename");
}

TEST(ConfigFile, SavingReplacesTheFileALinkNamesAndKeepsItsMode) {
    TempDir dir;
    const std::string target = dir.File("target.tao");
    ConfigRecord buffer{};
    WriteConfigFile(target, World{}, buffer);
    ::chmod(target.c_str(), 0640);
    std::filesystem::create_symlink(target, dir.File("link.tao"));
    WriteConfigFile(dir.File("link.tao"), EasySquareWorld(), buffer);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.tao")));
    EXPECT_EQ(ReadAll(target), std::string(reinterpret_cast<const char*>(buffer.data()), buffer.size()));
    struct stat info {};
    ::stat(target.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

} // namespace
} // namespace taonscope
