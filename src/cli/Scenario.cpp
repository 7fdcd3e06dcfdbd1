// SPDX-License-Identifier: GPL-3.0-or-later
#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"

#include "core/Scenarios.h"

#include <charconv>

namespace taonscope {

namespace {

std::uint64_t SeedOption(const std::string& text) {
    std::uint64_t seed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        throw CommandLineError{"--seed takes a whole number from 0 to 18446744073709551615, not '" + text +
                               "'"};
    return seed;
}

std::array<int, 3> KindsOption(const std::string& text) {
    std::array<int, 3> kinds{};
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    for (std::size_t kind = 0; kind < 3; ++kind) {
        const auto [next, error] = std::from_chars(at, end, kinds[kind]);
        const bool last = kind == 2;
        if (next == at || error != std::errc() || (last ? next != end : next == end || *next != ',') ||
            kinds[kind] < 0 || kinds[kind] > MostCloudKinds[kind])
            throw CommandLineError{"--kinds takes N1,N2,N3: at most 50, 30 and 20 taons of kinds 1, 2 and 3, "
                                   "not '" +
                                   text + "'"};
        at = next + 1;
    }
    if (kinds[0] + kinds[1] + kinds[2] == 0) throw CommandLineError{"--kinds needs at least one taon"};
    return kinds;
}

} // namespace

int ScenarioCommand(const std::vector<std::string>& args, std::ostream& err) {
    const std::vector<std::string> cloudOptions{"--seed", "--side", "--min-distance", "--kinds"};
    const CommandLine a = SplitCommandLine(args, cloudOptions, {"--force"});
    const ForceOption force(a);
    if (a.positional.size() != 2) throw CommandLineError{"expected a scenario name and an output file"};
    World world;
    if (a.positional[0] == "cloud") {
        CloudOptions options;
        if (const auto seed = a.Option("--seed")) options.Seed = SeedOption(*seed);
        if (const auto side = RealOption(a, "--side")) options.Side = *side;
        if (const auto distance = RealOption(a, "--min-distance")) options.MinDistance = *distance;
        if (const auto kinds = a.Option("--kinds")) options.Kinds = KindsOption(*kinds);
        try {
            world = CloudWorld(options);
        } catch (const TaonError& error) {
            throw CommandLineError{error.what()};
        }
    } else {
        for (const std::string& option : cloudOptions)
            if (a.Option(option)) throw CommandLineError{option + " goes with the cloud scenario only"};
        if (!BuildScenario(a.positional[0], world))
            throw CommandLineError{"unknown scenario " + a.positional[0]};
    }
    return SaveWorld(a.positional[1], world, err) ? CliOk : CliBadInput;
}

} // namespace taonscope
