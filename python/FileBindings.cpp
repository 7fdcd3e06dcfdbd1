// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bindings.h"
#include "RunLoop.h"

#include "cli/Analysis.h"
#include "cli/StructureReport.h"
#include "core/Scenarios.h"
#include "document/ConfigFile.h"

#include <cmath>
#include <sstream>

namespace taonscope {

namespace {

World Load(const std::filesystem::path& file) {
    const std::string path = file.string();
    // Only a file of a configuration's size, as the runner takes it.
    if (const std::optional<std::string> refused = NotAConfiguration(path))
        throw IoError(ReadBeyondEndOfFile, *refused);
    return OnFile(path, [&] {
        ConfigRecord buffer{};
        if (const int openFailure = ReadConfigFile(path, buffer)) throw IoError(openFailure);
        World world;
        UnpackConfigRecord(buffer, world);
        return world;
    });
}

void Save(const World& world, const std::filesystem::path& file) {
    const std::string path = file.string();
    OnFile(path, [&] {
        ConfigRecord buffer{};
        WriteConfigFile(path, world, buffer);
    });
}

World Scenario(const std::string& name, std::optional<std::uint64_t> seed, py::object side,
               py::object minDistance, std::optional<std::array<int, 3>> kinds) {
    World world;
    if (name == "cloud") {
        CloudOptions options;
        if (seed) options.Seed = *seed;
        if (!side.is_none()) options.Side = ToExtended(side);
        if (!minDistance.is_none()) options.MinDistance = ToExtended(minDistance);
        if (kinds) options.Kinds = *kinds;
        return CloudWorld(options);
    }
    if (seed || !side.is_none() || !minDistance.is_none() || kinds)
        throw py::value_error("seed, side, min_distance and kinds go with the cloud scenario only");
    if (!BuildScenario(name, world)) throw py::value_error("unknown scenario " + name);
    return world;
}

TrajectoryFormat FormatOf(const std::string& path, const std::optional<std::string>& name) {
    if (!name) return TrajectoryFormatOf(path);
    if (const std::optional<TrajectoryFormat> format = ParseTrajectoryFormat(*name)) return *format;
    throw py::value_error("the format is \"xyz\" or \"lammps\", not \"" + *name + "\"");
}

// Three names as "Ar,Kr,Xe" or a sequence of three; none: T1, T2, T3.
std::optional<SpeciesNames> SpeciesOf(py::handle species) {
    if (species.is_none()) return std::nullopt;
    std::string text;
    if (py::isinstance<py::str>(species))
        text = species.cast<std::string>();
    else
        text = py::str(",").attr("join")(species).cast<std::string>();
    if (const std::optional<SpeciesNames> names = ParseSpeciesNames(text)) return names;
    throw py::value_error("species: three different names such as \"Ar,Kr,Xe\", each 1 to 16 letters, digits "
                          "or underscores, the first a letter; not \"" +
                          text + "\"");
}

// The frames of a trajectory file as an iterator of worlds, read one at a time.
class Frames {
public:
    Frames(std::string path, TrajectoryFormat format, const ImportOptions& options)
        : path_(std::move(path)),
          reader_(OnFile(path_, [&] { return OpenTrajectoryReader(path_, format, options); })) {}
    World Next() {
        World world;
        if (!OnFile(path_, [&] { return reader_->Next(world); })) throw py::stop_iteration();
        return world;
    }
    const std::string& Note() const { return reader_->Note(); }

private:
    std::string path_;
    std::unique_ptr<TrajectoryReader> reader_;
};

std::string AnalysisJson(const World& world) {
    std::ostringstream out;
    WriteAnalysis(world, true, out);
    return out.str();
}

std::string StructureJson(const World& world, py::object cutoff) {
    StructureOptions options;
    if (!cutoff.is_none()) {
        options.Cutoff = ToExtended(cutoff);
        if (!(*options.Cutoff > 0) || !std::isfinite(*options.Cutoff))
            throw py::value_error("the cutoff must be a positive number");
    }
    std::ostringstream out;
    WriteStructureJson(AnalyzeStructure(world, options), out);
    // The keys follow analyze's others, each after a comma: the first comma opens an object of their own.
    std::string text = out.str();
    text.front() = '{';
    return text + "\n}\n";
}

} // namespace

void BindFiles(py::module_& module, py::class_<World>& world, py::class_<Recording>& trajectoryWriter) {
    module.def(
        "load", &Load, py::arg("path"),
        "The configuration of a .tao file, as taonscope-cli loads it; a file that cannot be read raises "
        "IoError (\"path: File not found\" ...).");
    world.def("save", &Save, py::arg("path"),
              "Writes the configuration as a .tao file, replacing path safely as the program saves; "
              "raises IoError.");
    module.def("scenario", &Scenario, py::arg("name"), py::kw_only(), py::arg("seed") = py::none(),
               py::arg("side") = py::none(), py::arg("min_distance") = py::none(),
               py::arg("kinds") = py::none(),
               "A built-in configuration, as taonscope-cli scenario makes it: \"easy-square\", \"ring\" or "
               "\"cloud\" (seed, default 1; side, default 30; min_distance, default 1.5; kinds, the taons of "
               "kind 1, 2 and 3, default (50, 30, 20)). A cloud that cannot be made raises Error.");

    trajectoryWriter.doc() = R"(A trajectory file written frame by frame, as a context manager:

    with taonscope.TrajectoryWriter("run.xyz", every=100) as trajectory:
        world.step(10000, trajectory=trajectory)

format "xyz" (extended XYZ, kinds named by species: "Ar,Kr,Xe" or three names; T1, T2, T3 by default)
or "lammps" (a LAMMPS dump with its .json sidecar); None takes it from the path's ending, as
taonscope-cli run --trajectory does. A frame's step is the world's step_counter and its time that
step times dt. Failures raise IoError, or Error naming the path.)";
    trajectoryWriter
        .def(py::init([](const std::filesystem::path& file, std::optional<std::string> format,
                         py::object species, int every) {
                 const std::string path = file.string();
                 const TrajectoryFormat f = FormatOf(path, format);
                 const std::optional<SpeciesNames> names = SpeciesOf(species);
                 if (names && f == TrajectoryFormat::Lammps)
                     throw py::value_error(
                         "species names the kinds of XYZ frames; a LAMMPS dump gives them as types");
                 if (every < 1) throw py::value_error("every is a whole number from 1");
                 return std::make_unique<Recording>(path, f, names.value_or(SpeciesNames{}), every);
             }),
             py::arg("path"), py::arg("format") = py::none(), py::arg("species") = py::none(),
             py::arg("every") = 100)
        .def("write", &Recording::Write, py::arg("world"), "Appends the frame of the world as it is.")
        .def("close", &Recording::Close, "Closes the file; the frames written stay.")
        .def(
            "__enter__", [](Recording& r) -> Recording& { return r; }, py::return_value_policy::reference,
            "The writer itself.")
        .def(
            "__exit__", [](Recording& r, py::args) { r.Close(); }, "Closes the file.")
        .def_property_readonly("every", &Recording::Every, "The steps between two frames of a run.")
        .def_property_readonly("frames", &Recording::Frames, "The frames written so far.");

    py::class_<Frames>(module, "TrajectoryFrames", "The frames of a trajectory file, read one at a time.")
        .def(
            "__iter__", [](Frames& f) -> Frames& { return f; }, py::return_value_policy::reference,
            "The frames themselves.")
        .def("__next__", &Frames::Next, "The world of the next frame.")
        .def_property_readonly(
            "note", &Frames::Note,
            "Empty, or what was left out: a last frame cut short (a run killed while it wrote).");
    module.def(
        "read_trajectory",
        [](const std::filesystem::path& file, std::optional<std::string> format, py::object species,
           py::object dt) {
            const std::string path = file.string();
            ImportOptions options;
            options.species = SpeciesOf(species);
            if (!dt.is_none()) options.dt = ToExtended(dt);
            return Frames(path, FormatOf(path, format), options);
        },
        py::arg("path"), py::kw_only(), py::arg("format") = py::none(), py::arg("species") = py::none(),
        py::arg("dt") = py::none(),
        "The frames of an XYZ file or LAMMPS dump as worlds, one at a time, as taonscope-cli import reads "
        "each (species and dt as its --species and --dt); the file is never read whole. A frame that cannot "
        "be read raises Error naming its line.");

    world.def("_analysis_json", &AnalysisJson);
    world.def("_structure_json", &StructureJson, py::arg("cutoff"));
}

} // namespace taonscope
