// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace taonscope {

/// Files other than configurations that the program reads or writes.
enum class FileKind {
    Trajectory,    ///< extended XYZ, ".xyz"
    Picture,       ///< PNG, ".png"
    Table,         ///< comma-separated values, ".csv"
    LammpsDump,    ///< LAMMPS dump text, ".lammpstrj"
    Film,          ///< MP4 film, ".mp4"
    AnyTrajectory, ///< extended XYZ or LAMMPS dump, to read
    Atlas,         ///< an atlas folder's atlas.json or sweep.atlas.json
};

/// Every modal question the program asks. The application answers through Qt's dialogs; tests answer
/// from a script. Nothing else opens a file dialog or a message box.
class Questions {
public:
    virtual ~Questions() = default;
    /// The open dialog for configuration files; empty when cancelled.
    virtual std::optional<std::string> OpenPath() = 0;
    /// The save dialog for configuration files (".tao" added to a name without it); empty when cancelled.
    virtual std::optional<std::string> SavePath() = 0;
    /// The open dialog for a file of that kind; empty when cancelled.
    virtual std::optional<std::string> OpenFilePath(FileKind kind) = 0;
    /// The save dialog for a file of that kind (its extension added to a name without one); empty when
    /// cancelled.
    virtual std::optional<std::string> SaveFilePath(FileKind kind) = 0;
    /// An information box captioned "Information" with OK.
    virtual void Information(const std::string& text) = 0;
    /// A confirmation box captioned "Confirm" with Yes and No; true for Yes.
    virtual bool Confirm(const std::string& text) = 0;
    /// The error box: captioned "Taonscope", error icon, OK; text as ErrorBoxText makes it.
    virtual void Error(const std::string& text) = 0;
};

} // namespace taonscope
