// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bindings.h"
#include "RunLoop.h"

#include "analysis/PairFunction.h"
#include "core/FastLaw.h"
#include "core/FpTrap.h"
#include "core/Law.h"

#include <cstring>

namespace taonscope {

namespace {

// As many as taonscope-cli run --threads takes.
constexpr int MostThreads = 256;

std::vector<int> PresentSlots(const World& world) {
    std::vector<int> slots;
    for (int i = 1; i <= MaxTaons; ++i)
        if (world.TaonPresent[static_cast<std::size_t>(i)]) slots.push_back(i);
    return slots;
}

// A copy that Python cannot change by mistake: writing goes through the property, which keeps the copies
// of the world in step.
template <typename Array> Array ReadOnly(Array array) {
    array.attr("setflags")(py::arg("write") = false);
    return array;
}

py::array_t<int> IntArray(const std::vector<int>& values) {
    py::array_t<int> out(static_cast<py::ssize_t>(values.size()));
    std::copy(values.begin(), values.end(), out.mutable_data());
    return ReadOnly(out);
}

py::array_t<long double> Triples(const World& world, const TaonArray& x, const TaonArray& y,
                                 const TaonArray& z) {
    const std::vector<int> slots = PresentSlots(world);
    py::array_t<long double> out({static_cast<py::ssize_t>(slots.size()), py::ssize_t{3}});
    long double* at = out.mutable_data();
    for (const int i : slots)
        for (const TaonArray* component : {&x, &y, &z}) std::memcpy(at++, &(*component)[i], sizeof(Extended));
    return ReadOnly(out);
}

void SetTriples(World& world, py::handle values, TaonArray& x, TaonArray& y, TaonArray& z) {
    const std::vector<int> slots = PresentSlots(world);
    const auto array = py::array_t<long double, py::array::c_style | py::array::forcecast>::ensure(values);
    if (!array || array.ndim() != 2 || array.shape(0) != static_cast<py::ssize_t>(slots.size()) ||
        array.shape(1) != 3)
        throw py::value_error("an array of shape (" + std::to_string(slots.size()) +
                              ", 3) is needed: a row for each present taon, in slot order");
    const long double* at = array.data();
    for (const int i : slots)
        for (TaonArray* component : {&x, &y, &z}) std::memcpy(&(*component)[i], at++, sizeof(Extended));
    SyncCopiesFromCurrent(world);
}

Extended World::*Parameter(const std::string& name) {
    for (std::size_t p = 1; p < ParameterNames.size(); ++p)
        if (name == ParameterNames[p]) return ParameterFields[p];
    throw py::key_error(name);
}

bool LiteralKernel(const std::string& kernel) {
    if (kernel != "fast" && kernel != "literal")
        throw py::value_error("the kernel is \"fast\" or \"literal\", not \"" + kernel + "\"");
    return kernel == "literal";
}

int ThreadCount(const std::optional<int>& threads) {
    if (threads && (*threads < 0 || *threads > MostThreads))
        throw py::value_error("threads is 0 to " + std::to_string(MostThreads) + " or None");
    return threads.value_or(0);
}

py::array_t<long double> AccelerationsOf(const World& world, const std::string& kernel) {
    const bool literal = LiteralKernel(kernel);
    Accelerations a;
    {
        const py::gil_scoped_release unlocked;
        FastLaw law(1);
        if (literal || !law.ComputeAccelerations(world, a)) {
            ClearFpFlags();
            for (const int i : PresentSlots(world)) {
                a.X[static_cast<std::size_t>(i)] = AccelX(world, i);
                a.Y[static_cast<std::size_t>(i)] = AccelY(world, i);
                a.Z[static_cast<std::size_t>(i)] = AccelZ(world, i);
            }
        }
    }
    return Triples(world, a.X, a.Y, a.Z);
}

// The six parameters of a kind: a mapping with the keys A, B, C, D, F, G, or six values in that order.
ParameterSet ParameterSetOf(py::handle parameters) {
    std::array<Extended, 6> values{};
    const bool mapping = py::hasattr(parameters, "keys");
    const py::sequence sequence = mapping ? py::sequence() : parameters.cast<py::sequence>();
    if (!mapping && sequence.size() != 6)
        throw py::value_error("a parameter set has six values: A, B, C, D, F, G");
    for (std::size_t p = 0; p < 6; ++p) {
        const py::object value =
            mapping ? py::object(parameters[py::str(std::string(1, "ABCDFG"[p]))]) : py::object(sequence[p]);
        values[p] = ToExtended(value);
    }
    return {values[0], values[1], values[2], values[3], values[4], values[5]};
}

// f(set, d) at each distance of d, keeping d's shape; a number gives a numpy.longdouble.
py::object OverDistances(Extended (*f)(const ParameterSet&, Extended), py::handle parameters, py::handle d) {
    const ParameterSet set = ParameterSetOf(parameters);
    const auto distances = py::array_t<long double, py::array::c_style | py::array::forcecast>::ensure(d);
    if (!distances) throw py::type_error("d is a distance or an array of distances");
    py::array_t<long double> out(
        std::vector<py::ssize_t>(distances.shape(), distances.shape() + distances.ndim()));
    for (py::ssize_t k = 0; k < distances.size(); ++k) {
        ClearFpFlags();
        out.mutable_data()[k] = f(set, distances.data()[k]);
    }
    return distances.ndim() == 0 ? py::object(out[py::tuple()]) : py::object(out);
}

const char* const StepDoc =
    R"(Makes n steps, as taonscope-cli run makes them, bit for bit; returns the steps made.

cool damps every velocity by 0.99 a step (run --cool); kernel "fast" is the fast law (on threads
threads, None for one per core; the result does not depend on it), "literal" the reference law
(run --kernel literal). A trajectory (TrajectoryWriter) gets the frame before the first step, one
after every step that is a multiple of its every, and the frame after the last step; a frame of
a step it holds already is not written again.

A step that meets an arithmetic fault raises FloatingPointError with the program's message and leaves
the world as the step before left it. Python's lock is released while steps run; Ctrl+C ends the
run after the step under way and raises KeyboardInterrupt, the world holding that step.)";

const char* const SettleDoc =
    R"(Cools (unless cool is False) until the first step whose largest speed is below speed, at
most max_steps steps, as taonscope-cli run --until-settled speed --max-steps max_steps does; returns
the steps made (max_steps when it did not settle, or settled only at the last). speed may be a text,
read as the command line reads it: "1e-6" is the extended real nearest to 1E-6, the float 1e-6 the
double nearest to it. kernel, threads, trajectory, faults and Ctrl+C as for step().)";

} // namespace

void BindWorld(py::module_& module, py::class_<World>& world) {
    world.doc() =
        R"(A configuration of up to 100 taons: slots 1 to 100, of kind 1 (slots 1-50), 2 (51-80) or 3 (81-100).

Reals are numpy.longdouble, the x87 80-bit extended real, handed over bit for bit. The arrays a
property gives are read-only copies: change a copy and assign it back, as in
    p = world.positions.copy(); p[0, 0] += 1; world.positions = p
A World() is empty: no taons, dt and every parameter 0.)";
    world.def(py::init<>(), "An empty world: no taons, dt and every parameter 0.")
        .def(
            "copy", [](const World& w) { return w; }, "An independent copy of the world.")
        .def(
            "__copy__", [](const World& w) { return w; }, "copy.copy: an independent copy.")
        .def(
            "__deepcopy__", [](const World& w, py::object) { return w; }, py::arg("memo"),
            "copy.deepcopy: an independent copy.")
        .def(
            "__repr__",
            [](const World& w) {
                return "<taonscope.World: " + std::to_string(PresentSlots(w).size()) + " taons, step " +
                       std::to_string(w.StepCounter) + ">";
            },
            "The taons present and the step counter.")
        .def_property(
            "positions", [](const World& w) { return Triples(w, w.PosX, w.PosY, w.PosZ); },
            [](World& w, py::handle v) { SetTriples(w, v, w.PosX, w.PosY, w.PosZ); },
            "The present taons' positions in slot order: numpy.longdouble, shape (n, 3).")
        .def_property(
            "velocities", [](const World& w) { return Triples(w, w.VelX, w.VelY, w.VelZ); },
            [](World& w, py::handle v) { SetTriples(w, v, w.VelX, w.VelY, w.VelZ); },
            "The present taons' velocities in slot order: numpy.longdouble, shape (n, 3).")
        .def_property_readonly(
            "slots", [](const World& w) { return IntArray(PresentSlots(w)); },
            "The present taons' slot numbers, ascending (change them through present).")
        .def_property_readonly(
            "kinds",
            [](const World& w) {
                std::vector<int> kinds;
                for (const int i : PresentSlots(w)) kinds.push_back(TaonKind(w, i));
                return IntArray(kinds);
            },
            "The present taons' kinds (1, 2 or 3) in slot order; a kind follows its slot.")
        .def_property(
            "present",
            [](const World& w) {
                py::array_t<bool> out(MaxTaons + 1);
                std::copy(w.TaonPresent.begin(), w.TaonPresent.end(), out.mutable_data());
                return ReadOnly(out);
            },
            [](World& w, py::handle v) {
                const auto flags = py::array_t<bool, py::array::c_style | py::array::forcecast>::ensure(v);
                if (!flags || flags.ndim() != 1 || flags.shape(0) != MaxTaons + 1 || flags.data()[0])
                    throw py::value_error(
                        "present is 101 booleans, element i for slot i; element 0 is False");
                std::copy(flags.data(), flags.data() + MaxTaons + 1, w.TaonPresent.begin());
            },
            "101 booleans: element i is True when slot i holds a taon (element 0 is always False). A slot "
            "made present keeps the position and velocity the file holds for it.")
        .def_property(
            "dt", [](const World& w) { return LongDouble(w.dt); },
            [](World& w, py::handle v) { w.dt = ToExtended(v); }, "The time step (numpy.longdouble).")
        .def_property_readonly(
            "step_counter", [](const World& w) { return w.StepCounter; },
            "The steps made since the world was made, loaded or read.")
        .def(
            "_parameter",
            [](const World& w, const std::string& name) { return LongDouble(w.*Parameter(name)); },
            py::arg("name"))
        .def(
            "_set_parameter",
            [](World& w, const std::string& name, py::handle value) {
                w.*Parameter(name) = ToExtended(value);
            },
            py::arg("name"), py::arg("value"))
        .def("accelerations", &AccelerationsOf, py::arg("kernel") = "fast",
             "The acceleration of every present taon from the current positions, in slot order: "
             "numpy.longdouble, shape (n, 3). kernel: \"fast\" or \"literal\", as step() takes them. A "
             "fault raises FloatingPointError. Python's lock is released meanwhile.")
        .def(
            "step",
            [](World& w, std::uint64_t n, bool cool, const std::string& kernel, std::optional<int> threads,
               Recording* trajectory) {
                return RunSteps(w, {n, cool, LiteralKernel(kernel), ThreadCount(threads), {}, trajectory});
            },
            py::arg("n") = 1, py::kw_only(), py::arg("cool") = false, py::arg("kernel") = "fast",
            py::arg("threads") = py::none(), py::arg("trajectory") = py::none(), StepDoc)
        .def(
            "settle",
            [](World& w, py::object speed, std::uint64_t maxSteps, bool cool, const std::string& kernel,
               std::optional<int> threads, Recording* trajectory) {
                const Extended below = ToExtended(speed);
                if (!(below > 0)) throw py::value_error("speed is above 0: no largest speed falls below it");
                return RunSteps(
                    w, {maxSteps, cool, LiteralKernel(kernel), ThreadCount(threads), below, trajectory});
            },
            py::arg("speed") = "1e-6", py::arg("max_steps") = 1000000, py::kw_only(), py::arg("cool") = true,
            py::arg("kernel") = "fast", py::arg("threads") = py::none(), py::arg("trajectory") = py::none(),
            SettleDoc);

    module.def(
        "pair_function",
        [](py::object parameters, py::object d) { return OverDistances(PairFunction, parameters, d); },
        py::arg("parameters"), py::arg("d"),
        "Phi(d) of a kind's parameter set (a mapping with the keys A, B, C, D, F, G, or six values in "
        "that order; world.parameter_set(kind) gives one): core - well - the five shells. d is a distance "
        "or an array of them; the result has its shape. A fault raises FloatingPointError.");
    module.def(
        "pair_slope",
        [](py::object parameters, py::object d) { return OverDistances(PairSlope, parameters, d); },
        py::arg("parameters"), py::arg("d"),
        "Phi'(d), the slope of pair_function by the law's own closed forms; the pair acceleration is "
        "A Phi'(d), positive where the pair attracts.");
}

} // namespace taonscope
