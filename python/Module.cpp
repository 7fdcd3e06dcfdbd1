// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bindings.h"
#include "RunLoop.h"

#include "atlas/Sweep.h"
#include "core/FpTrap.h"

namespace taonscope {

namespace {

// A new exception type, kept by the module and, for the translator, by a reference never given back: a
// Python object must not outlive the interpreter in a static destructor.
PyObject* NewError(py::module_& module, const char* name, PyObject* base, const char* doc) {
    PyObject* type =
        PyErr_NewExceptionWithDoc((std::string("taonscope.") + name).c_str(), doc, base, nullptr);
    if (!type) throw py::error_already_set();
    module.add_object(name, py::reinterpret_borrow<py::object>(type));
    return type;
}

} // namespace

void BindErrors(py::module_& module) {
    static PyObject* const error =
        NewError(module, "Error", PyExc_Exception, "A failure of Taonscope: its message is the program's.");
    static PyObject* const ioError = NewError(
        module, "IoError", error, "A file that cannot be read or written: \"path: File not found\" ...");
    static PyObject* const conversionError =
        NewError(module, "ConversionError", error, "A text that does not read as a number.");
    static PyObject* const floatingPointError = NewError(
        module, "FloatingPointError", error,
        "An arithmetic fault of the law (\"Floating point division by zero\" ...); the step that met it "
        "changed nothing.");
    static PyObject* const atlasError =
        NewError(module, "AtlasError", error, "A sweep file or an atlas folder that cannot be followed.");
    py::register_exception_translator([](std::exception_ptr thrown) {
        if (!thrown) return;
        try {
            std::rethrow_exception(thrown);
        } catch (const IoError& e) {
            PyErr_SetString(ioError, e.what());
        } catch (const ConversionError& e) {
            PyErr_SetString(conversionError, e.what());
        } catch (const FloatingPointError& e) {
            PyErr_SetString(floatingPointError, e.what());
        } catch (const AtlasError& e) {
            PyErr_SetString(atlasError, e.what());
        } catch (const TaonError& e) {
            PyErr_SetString(error, e.what());
        }
    });
}

} // namespace taonscope

PYBIND11_MODULE(_taonscope, module) {
    module.doc() = "The compiled core of the taonscope package; use the package, not this module.";
    taonscope::BindErrors(module);
    // Both classes exist before any method is bound, so that every signature names them as Python does.
    pybind11::class_<taonscope::World> world(module, "World");
    pybind11::class_<taonscope::Recording> trajectoryWriter(module, "TrajectoryWriter");
    taonscope::BindWorld(module, world);
    taonscope::BindFiles(module, world, trajectoryWriter);
    taonscope::BindAtlas(module);
}
