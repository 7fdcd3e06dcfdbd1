// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileIo.h"

#include <string>
#include <string_view>
#include <sys/types.h>

namespace taonscope {

/// An MP4 film (H.264, 4:2:0) made from pictures by the ffmpeg program, which runs beside the caller:
/// the pictures go to its input and the film it makes comes back from its output into a FileReplacement,
/// so the film is checked as a save is and takes the place of an earlier one only once it is complete.
/// The film is fragmented (a fragment a second), so that what reached a FIFO before a program was killed
/// still plays. Failures throw IoError or TaonError with ffmpeg's own message and what became of the
/// file.
class FilmEncoder {
public:
    /// Opens the film at path and starts ffmpeg for pictures of width x height (even numbers) shown
    /// fps a second; throws when ffmpeg cannot be found.
    FilmEncoder(const std::string& path, int width, int height, int fps);
    FilmEncoder(const FilmEncoder&) = delete;
    FilmEncoder& operator=(const FilmEncoder&) = delete;
    /// Stops ffmpeg if the film was not closed.
    ~FilmEncoder();

    /// Adds a picture: height rows of width pixels of 4 bytes, blue, green, red and one unused.
    void Add(std::string_view pixels);
    /// Ends the film: waits for ffmpeg to finish it and closes the file.
    void Close();

private:
    void Pump(std::string_view input);
    [[noreturn]] void Failed(const char* what);
    void Stop();

    FileReplacement file_;
    std::size_t frameBytes_;
    pid_t pid_ = -1;
    int input_ = -1, output_ = -1, messages_ = -1;
    std::string said_; // the end of what ffmpeg wrote on its standard error
};

} // namespace taonscope
