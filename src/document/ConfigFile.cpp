// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConfigFile.h"

#include "FileIo.h"
#include "IoError.h"

#include <algorithm>
#include <cstring>

namespace taonscope {

namespace {

constexpr std::size_t SlotCount = static_cast<std::size_t>(MaxTaons);

static_assert(ConfigOffset::Parameters + 19 * ExtendedSize + 2 == ConfigOffset::PosX);
static_assert(ConfigOffset::PosX + 6 * ConfigOffset::ArrayStride == ConfigOffset::Presence);
static_assert(ConfigOffset::ArrayStride == SlotCount * ExtendedSize);
static_assert(ConfigOffset::Presence + SlotCount + 4 == ConfigRecordSize);

// The six stored arrays in their order in the record.
constexpr std::array<TaonArray World::*, 6> StoredArrays = {&World::PosX, &World::PosY, &World::PosZ,
                                                            &World::VelX, &World::VelY, &World::VelZ};

std::size_t ArrayElementOffset(std::size_t array, int slot) {
    return ConfigOffset::PosX + array * ConfigOffset::ArrayStride +
           static_cast<std::size_t>(slot - 1) * ExtendedSize;
}

int SlotsInUse(const World& world) {
    return std::clamp(world.TaonCount, 0, MaxTaons);
}

} // namespace

void EncodeExtended(Extended value, std::uint8_t* bytes) {
    std::memcpy(bytes, &value, ExtendedSize);
}

Extended DecodeExtended(const std::uint8_t* bytes) {
    Extended value = 0;
    std::memcpy(&value, bytes, ExtendedSize);
    return value;
}

void PackConfigRecord(const World& world, ConfigRecord& record) {
    record.fill(0);
    for (std::size_t p = 0; p < ParameterFields.size(); ++p)
        EncodeExtended(world.*ParameterFields[p], &record[ConfigOffset::Parameters + p * ExtendedSize]);
    const int slots = SlotsInUse(world);
    for (int i = 1; i <= slots; ++i)
        record[ConfigOffset::Presence + static_cast<std::size_t>(i - 1)] = world.TaonPresent[i] ? 1 : 0;
    for (int i = 1; i <= slots; ++i)
        for (std::size_t a = 0; a < StoredArrays.size(); ++a)
            EncodeExtended((world.*StoredArrays[a])[i], &record[ArrayElementOffset(a, i)]);
}

void UnpackConfigRecord(const ConfigRecord& record, World& world) {
    for (std::size_t p = 0; p < ParameterFields.size(); ++p)
        world.*ParameterFields[p] = DecodeExtended(&record[ConfigOffset::Parameters + p * ExtendedSize]);
    const int slots = SlotsInUse(world);
    for (int i = 1; i <= slots; ++i)
        world.TaonPresent[i] = record[ConfigOffset::Presence + static_cast<std::size_t>(i - 1)] != 0;
    for (int i = 1; i <= slots; ++i)
        for (std::size_t a = 0; a < StoredArrays.size(); ++a)
            (world.*StoredArrays[a])[i] = DecodeExtended(&record[ArrayElementOffset(a, i)]);
    SyncCopiesFromCurrent(world);
}

int ReadConfigFile(const std::string& path, ConfigRecord& buffer) {
    int openFailure = 0;
    const auto bytes = ReadFileBytes(path, ConfigRecordSize, openFailure);
    if (!bytes) return openFailure;
    if (bytes->size() < ConfigRecordSize) throw IoError(ReadBeyondEndOfFile);
    std::memcpy(buffer.data(), bytes->data(), ConfigRecordSize);
    return 0;
}

void WriteConfigFile(const std::string& path, const World& world, ConfigRecord& buffer) {
    PackConfigRecord(world, buffer);
    ReplaceFileContents(path, std::string_view(reinterpret_cast<const char*>(buffer.data()), buffer.size()));
}

std::optional<std::string> NotAConfiguration(const std::string& path) {
    const std::optional<std::uintmax_t> size = RegularFileSize(path);
    if (!size || *size == ConfigRecordSize) return std::nullopt;
    const std::string digits = std::to_string(*size);
    std::string grouped; // 12345 as "12,345"
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return path + " is not a configuration (" + grouped + (*size == 1 ? " byte" : " bytes") +
           "; a configuration has " + std::to_string(ConfigRecordSize) +
           "): taonscope-cli import reads coordinates";
}

} // namespace taonscope
