// Any bytes as a .tao record: unpack, show every value, save back bit for bit, and make one step.
#include "FuzzSupport.h"

#include "core/FpTrap.h"
#include "core/NumberText.h"
#include "core/Step.h"
#include "document/ConfigFile.h"

#include <algorithm>
#include <cstring>

using namespace taonscope;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ConfigRecord record{};
    std::memcpy(record.data(), data, std::min(size, record.size()));
    World world;
    UnpackConfigRecord(record, world);

    // Every value is shown as a number, "INF", "-INF" or "NAN", and a shown number reads back.
    auto shown = [](Extended value) {
        const std::string text = FormatReal(value);
        fuzz::Require(!text.empty());
        if (text != "NAN" && text != "INF" && text != "-INF") fuzz::Require(TryParseReal(text).has_value());
    };
    for (auto field : ParameterFields) shown(world.*field);
    for (int i = 1; i <= MaxTaons; ++i) shown(world.PosX[i]), shown(world.VelZ[i]);

    // Saving gives the same bytes back: the reals bit for bit, presence as 0 or 1, reserved bytes 0.
    ConfigRecord again{};
    PackConfigRecord(world, again);
    for (std::size_t offset = 0; offset < ConfigRecordSize; ++offset) {
        if (offset >= ConfigOffset::Presence && offset < ConfigOffset::Presence + MaxTaons)
            fuzz::Require(again[offset] == (record[offset] != 0 ? 1 : 0));
        else if (offset == 190 || offset == 191 || offset >= ConfigOffset::Presence + MaxTaons)
            fuzz::Require(again[offset] == 0);
        else
            fuzz::Require(again[offset] == record[offset]);
    }

    // A step either completes or faults and changes nothing. At most eight taons keep it quick.
    int present = 0;
    for (int i = 1; i <= MaxTaons; ++i)
        if (world.TaonPresent[i] && ++present > 8) world.TaonPresent[i] = false;
    static FastLaw law(1);
    const World before = world;
    try {
        AdvanceStep(world, 0.99L, law);
        fuzz::Require(world.StepCounter == before.StepCounter + 1);
    } catch (const FloatingPointError&) {
        fuzz::Require(std::memcmp(&world.PosX, &before.PosX, sizeof world.PosX) == 0);
        fuzz::Require(std::memcmp(&world.NextVelY, &before.NextVelY, sizeof world.NextVelY) == 0);
        fuzz::Require(world.StepCounter == before.StepCounter);
    }
    return 0;
}
