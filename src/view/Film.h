// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Fit.h"
#include "ViewState.h"

#include "document/TrajectoryFile.h"

#include <QImage>

#include <memory>
#include <string>
#include <string_view>

namespace taonscope {

class FilmEncoder;
class TrajectoryReader;

/// How a film keeps the taons in its pictures.
enum class FilmFit {
    None,       ///< the view's own zoom and offsets
    EveryFrame, ///< each picture fits the taons of its frame (FitAll)
    WholeRun,   ///< one zoom for the film, fitting every frame's taons
};

/// The pictures a film is made of: when true, path names one PNG picture per frame through one %d or
/// %0Nd (N from 1 to 9) and ends in ".png"; otherwise it is an MP4 film when it ends in ".mp4".
bool IsPictureSeries(std::string_view path);

/// The name of picture number (from 1) of a series.
std::string SeriesPicture(std::string_view pattern, int number);

/// A film being written from pictures: an MP4 film (FilmEncoder) or a series of PNG pictures, each
/// written as a save is. Failures throw IoError or TaonError.
class FilmWriter {
public:
    /// Opens the film at path for pictures of width x height shown fps a second: a path that is neither
    /// an MP4 film nor a picture series is refused, as a film that cannot be written.
    FilmWriter(const std::string& path, int width, int height, int fps);
    ~FilmWriter();

    /// Adds a picture of the film's size.
    void Add(const QImage& picture);
    /// Finishes the film.
    void Close();
    /// The pictures added.
    int Frames() const { return frames_; }

private:
    std::string path_;
    int width_, height_;
    std::unique_ptr<FilmEncoder> encoder_; // none for a picture series
    int frames_ = 0;
};

/// What a film of a trajectory looks like.
struct FilmLook {
    ViewState view;              ///< angles, zoom and style
    FilmFit fit = FilmFit::None; ///< how the taons are kept in the pictures
    int width = 640;             ///< of the pictures, in pixels
    int height = 480;            ///< of the pictures, in pixels
    int fps = 25;                ///< pictures a second
};

/// A film of every frame of a trajectory file, drawn as the window's scene draws the taons, one frame at
/// a time. Failures throw IoError or TaonError.
class TrajectoryFilm {
public:
    /// Reads the whole trajectory once, to check it, count its frames and find the extent of the whole
    /// run; a trajectory that cannot be read throws.
    TrajectoryFilm(const std::string& trajectory, TrajectoryFormat format, const FilmLook& look);
    ~TrajectoryFilm();

    /// Opens the film, which DrawNext fills; a film that cannot be written throws.
    void Open(const std::string& film);
    /// Draws the next frame into the film; false once every frame is drawn and the film is closed.
    bool DrawNext();
    /// Closes the film with the frames drawn so far (nothing when it is closed already).
    void Close();
    /// The frames of the trajectory.
    int Frames() const { return frames_; }
    /// The frames drawn so far.
    int Drawn() const { return writer_ ? writer_->Frames() : 0; }
    /// Empty, or what the trajectory's reader left out (a cut last frame).
    const std::string& Note() const { return note_; }

private:
    std::string trajectory_;
    TrajectoryFormat format_;
    FilmLook look_;
    int frames_ = 0;
    std::string note_;
    std::unique_ptr<TrajectoryReader> reader_;
    std::unique_ptr<FilmWriter> writer_;
    bool closed_ = false;
};

/// A picture of the world for a film: as TaonPicture draws it, fitted as fit says (WholeRun as None:
/// the caller fits the run beforehand).
QImage FilmPicture(const World& world, ViewState& view, FilmFit fit, int width, int height);

} // namespace taonscope
