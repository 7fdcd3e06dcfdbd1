// SPDX-License-Identifier: GPL-3.0-or-later
#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"

#include "core/NumberText.h"
#include "landscape/LawPotential.h"
#include "landscape/Minimizer.h"

#include <ostream>

namespace taonscope {

namespace {

// Iterations of a minimisation at most, unless --max-steps says otherwise.
constexpr int DefaultMaxIterations = 100000;

MinimizeOptions MinimizeOptionsOf(const CommandLine& line) {
    MinimizeOptions options;
    if (const std::optional<Extended> tolerance = RealOption(line, "--tolerance")) {
        if (!(*tolerance > 0)) throw CommandLineError{"--tolerance takes a number above 0"};
        options.Tolerance = *tolerance;
    }
    options.MaxIterations = WholeNumberOption(line, "--max-steps", DefaultMaxIterations);
    const std::string method = line.Option("--method").value_or("lbfgs");
    const std::optional<MinimizeMethod> named = MinimizeMethodNamed(method);
    if (!named) throw CommandLineError{"--method takes lbfgs or fire, not '" + method + "'"};
    options.Method = *named;
    return options;
}

} // namespace

int MinimizeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CommandLine line =
        SplitCommandLine(args, {"--output", "--tolerance", "--max-steps", "--method"}, {"--force"});
    const std::string input = OnePositional(line, "one input file");
    const std::optional<std::string> output = line.Option("--output");
    if (!output) throw CommandLineError{"minimize needs --output OUT.tao"};
    const MinimizeOptions options = MinimizeOptionsOf(line);
    const ForceOption force(line);

    World world;
    if (!LoadWorld(input, world, err)) return CliBadInput;
    if (const auto kinds = KindsWithDifferentSets(world)) {
        err << input << ": kinds " << kinds->first << " and " << kinds->second
            << " have different parameter sets, so the pull of one on the other is not matched by the pull "
               "back and there is no energy to minimise; run --until-settled cools the taons to a stable "
               "state instead\n";
        return CliBadInput;
    }
    if (!Attempt(*output, err, [&] { CheckReplaceable(*output); })) return CliBadInput;

    FastLaw law;
    LawPotential potential(world, law);
    Coordinates x = CoordinatesOf(world);
    Extended before = 0, after = 0;
    MinimizeResult result;
    try {
        before = potential.Energy(x);
        result = Minimize(potential, x, options);
        if (!result.Fault.empty()) throw TaonError(result.Fault);
        after = potential.Energy(x);
    } catch (const TaonError& error) {
        err << input << ": iteration " << result.Iterations + 1 << ": " << error.what() << '\n';
        return CliLawFault;
    }
    out << "U before = " << FormatReal(before) << "\nU after = " << FormatReal(after)
        << "\nlargest acceleration = " << FormatReal(result.LargestGradient)
        << "\niterations = " << result.Iterations << " (" << result.Evaluations
        << " evaluations of the law)\n";
    PlaceAtRest(world, x);
    if (!SaveWorld(*output, world, err)) return CliBadInput;
    if (!result.Converged) {
        err << input << ": the largest acceleration is still " << FormatReal(result.LargestGradient)
            << " after " << result.Iterations << " iterations (--max-steps), not below "
            << FormatReal(options.Tolerance) << '\n';
        return CliNotSettled;
    }
    return CliOk;
}

} // namespace taonscope
