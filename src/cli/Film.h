// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Progress.h"

#include "document/TrajectoryFile.h"
#include "view/Film.h"

#include <ostream>
#include <string>

namespace taonscope {

/// render TRAJECTORY FILM: draws every frame of the trajectory into the film (MP4 or PNG pictures) as
/// look says, showing the frames drawn on progress; failures are reported on err. Returns the exit
/// status.
int RenderFilm(const std::string& trajectory, TrajectoryFormat format, const std::string& film,
               const FilmLook& look, std::ostream& err, ProgressLine& progress);

} // namespace taonscope
