// SPDX-License-Identifier: GPL-3.0-or-later
#include "Film.h"

#include "Cli.h"
#include "CommandLine.h"

#include <iomanip>
#include <optional>

namespace taonscope {

int RenderFilm(const std::string& trajectory, TrajectoryFormat format, const std::string& film,
               const FilmLook& look, std::ostream& err, ProgressLine& progress) {
    // The trajectory is read whole first: a file that cannot be read leaves the film as it was.
    std::optional<TrajectoryFilm> drawing;
    if (!Attempt(trajectory, err, [&] { drawing.emplace(trajectory, format, look); })) return CliBadInput;
    if (!drawing->Note().empty()) err << trajectory << ": " << drawing->Note() << '\n';
    const bool drawn = Attempt(film, err, [&] {
        drawing->Open(film);
        while (drawing->DrawNext())
            if (progress.Due())
                progress.Show("frame " + std::to_string(drawing->Drawn()) + " of " +
                              std::to_string(drawing->Frames()));
    });
    progress.Finish();
    if (!drawn) return CliBadInput;
    err << drawing->Drawn() << " frames in " << std::fixed << std::setprecision(3) << progress.Seconds()
        << " s\n";
    return CliOk;
}

} // namespace taonscope
