// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Errors.h"
#include "core/Scenarios.h"
#include "core/World.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace taonscope {

/// A sweep file or an atlas folder that cannot be followed; what() is one line that names the fault.
class AtlasError : public TaonError {
public:
    using TaonError::TaonError;
};

/// Runs a file operation on path; its failure throws AtlasError("path: why").
template <typename Operation> void Writing(const std::string& path, Operation&& operation) {
    try {
        operation();
    } catch (const AtlasError&) {
        throw;
    } catch (const TaonError& error) {
        throw AtlasError(path + ": " + error.what());
    }
}

/// How the values of a varied parameter are spread between its ends.
enum class AxisSpacing { Linear, Log };

/// The most values one varied parameter takes, the most repetitions and the most cells of a sweep.
inline constexpr int MostAxisCount = 1000;
inline constexpr int MostRepetitions = 1000;
inline constexpr int MostCells = 100000;

/// One varied parameter and the values it takes.
struct SweepAxis {
    std::string Parameter;     ///< "dt", "A1" ... "G3", or "A" ... "G" for that parameter of every kind
    Extended From = 0, To = 0; ///< the first and the last value
    int Count = 1;             ///< how many values, both ends included (1: From alone)
    AxisSpacing Spacing = AxisSpacing::Linear; ///< equal steps, or equal ratios
    std::vector<Extended> Values;              ///< the Count values, as SpreadValues gives them (ParseSweep)
};

/// The Count values of an axis from From to To; the ends are exactly From and To, the values between
/// them rounded to 15 significant digits (and finite whenever the ends are).
std::vector<Extended> SpreadValues(const SweepAxis& axis);

/// Where every cell of a sweep starts.
struct SweepBase {
    std::optional<std::string> File; ///< a configuration file, as the sweep names it; else the scenario
    std::string Scenario = "cloud";  ///< "cloud", "ring" or "easy-square"
    CloudOptions Cloud;              ///< the cloud's options; a repetition advances its seed
};

/// How every cell runs.
struct SweepProtocol {
    std::int64_t Steps = 0;               ///< steps of a run of fixed length
    bool Cool = false;                    ///< damp every step by 0.99
    std::optional<Extended> UntilSettled; ///< stop at the first step whose largest speed is below this
    std::int64_t MaxSteps = 1000000;      ///< the step limit of a run that waits to settle
};

/// How a cell's end is put into words (see Classify.h).
struct SweepRules {
    std::optional<Extended> Cutoff; ///< the bond cutoff; empty: the law's, from the first shells
    Extended MovingSpeed = 0.001L;  ///< a structure whose largest speed is this or more is still moving
};

/// A sweep: the base, one to three varied parameters, the repetitions, the protocol and the rules.
struct AtlasSweep {
    std::string Title;           ///< a caption for the map; may be empty
    SweepBase Base;              ///< where the cells start
    std::vector<SweepAxis> Vary; ///< one to three, each parameter at most once
    int Repetitions = 1;         ///< runs of every parameter set, the seed advanced by one each
    SweepProtocol Protocol;      ///< how each cell runs
    SweepRules Rules;            ///< how each cell is classified

    /// The number of cells: the product of the counts times the repetitions.
    int CellCount() const;
    /// True when the cells start from a seeded scenario, whose seed the repetitions advance.
    bool Seeded() const { return !Base.File && Base.Scenario == "cloud"; }
};

/// Reads a sweep file's text; every fault throws AtlasError naming the key ("vary[2].count: ...").
/// Unknown keys, parameters that do not exist, counts beyond 1 ... MostAxisCount, more than MostCells
/// cells, log spacing of values that are not positive and repetitions of a base without a seed are
/// all refused. A file base is not looked at here.
AtlasSweep ParseSweep(std::string_view text);

/// The fields a parameter name stands for: dt, one of A1 ... G3, or "A" ... "G" for the three kinds'
/// fields of that letter; empty for any other name.
std::vector<Extended World::*> ParameterFieldsNamed(std::string_view name);

/// The real as an atlas writes it: the shortest text that reads back as the same extended value
/// ("0.5", "2.718", "1e-06"); "nan", "inf" or "-inf" when it is not finite.
std::string ShortReal(Extended value);

} // namespace taonscope
