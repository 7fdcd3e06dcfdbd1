// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/CommandLine.h"
#include "core/World.h"
#include "document/FileIo.h"
#include "document/IoError.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <filesystem>
#include <string>

namespace taonscope {

namespace py = pybind11;

class Recording;

/// Registers taonscope.Error and its subclasses, and turns every TaonError into one of them.
void BindErrors(py::module_& module);

/// Binds World with its arrays, parameters, copies, law and runs, and the pair function.
void BindWorld(py::module_& module, py::class_<World>& world);

/// Binds load, save, the scenarios, trajectories (the TrajectoryWriter class is trajectoryWriter) and the
/// analyses of a world.
void BindFiles(py::module_& module, py::class_<World>& world, py::class_<Recording>& trajectoryWriter);

/// Binds the atlas' plan, its cells' batch and its merge.
void BindAtlas(py::module_& module);

/// A numpy.longdouble holding value bit for bit.
py::object LongDouble(Extended value);

/// A real from Python: a str read as the program reads numbers (ConversionError when it is none),
/// anything else as numpy.longdouble takes it, bit for bit.
Extended ToExtended(py::handle value);

/// Runs a file operation on path; a failure is rethrown with the line the runner reports it with
/// (FileFailureText), a file that nobody may write as an IoError.
template <typename Operation> auto OnFile(const std::string& path, Operation&& operation) {
    try {
        return operation();
    } catch (const ReadOnlyFileError& error) {
        throw IoError(FileAccessDenied, error.Path() + ": " + error.what());
    } catch (const IoError& error) {
        throw IoError(error.code(), FileFailureText(path, error));
    } catch (const TaonError& error) {
        throw TaonError(FileFailureText(path, error));
    }
}

} // namespace taonscope
