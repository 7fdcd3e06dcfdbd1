// SPDX-License-Identifier: GPL-3.0-or-later
#include "Film.h"

#include "ScenePicture.h"

#include "core/Errors.h"
#include "document/FileIo.h"
#include "document/FilmEncoder.h"
#include "document/TextLines.h"

#include <algorithm>

namespace taonscope {

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() && EqualNoCase(text.substr(text.size() - ending.size()), ending);
}

// Where the number goes in a picture series: the position of '%', the length of "%0Nd" and N.
struct NumberPlace {
    std::size_t at = 0, length = 0;
    int digits = 0;
};

std::optional<NumberPlace> NumberPlaceOf(std::string_view pattern) {
    const std::size_t at = pattern.find('%');
    if (at == std::string_view::npos || pattern.find('%', at + 1) != std::string_view::npos)
        return std::nullopt;
    const std::string_view rest = pattern.substr(at + 1);
    if (rest.substr(0, 1) == "d") return NumberPlace{at, 2, 0};
    if (rest.size() >= 3 && rest[0] == '0' && rest[1] >= '1' && rest[1] <= '9' && rest[2] == 'd')
        return NumberPlace{at, 4, rest[1] - '0'};
    return std::nullopt;
}

} // namespace

bool IsPictureSeries(std::string_view path) {
    return EndsWithNoCase(path, ".png") && NumberPlaceOf(path).has_value();
}

std::string SeriesPicture(std::string_view pattern, int number) {
    const NumberPlace place = *NumberPlaceOf(pattern);
    std::string digits = std::to_string(number);
    if (static_cast<int>(digits.size()) < place.digits)
        digits.insert(0, static_cast<std::size_t>(place.digits) - digits.size(), '0');
    std::string name(pattern);
    return name.replace(place.at, place.length, digits);
}

FilmWriter::FilmWriter(const std::string& path, int width, int height, int fps)
    : path_(path), width_(width), height_(height) {
    if (IsPictureSeries(path))
        CheckReplaceable(SeriesPicture(path, 1));
    else if (EndsWithNoCase(path, ".mp4"))
        encoder_ = std::make_unique<FilmEncoder>(path, width, height, fps);
    else
        throw TaonError("a film is named OUT.mp4, or OUT_%04d.png for a PNG picture of each frame");
}

FilmWriter::~FilmWriter() = default;

void FilmWriter::Add(const QImage& picture) {
    if (picture.width() != width_ || picture.height() != height_)
        throw TaonError("a picture of another size than the film's");
    if (encoder_) {
        // Rows of 32-bit pixels follow each other without padding: blue, green, red, unused in memory.
        const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
        encoder_->Add(std::string_view(reinterpret_cast<const char*>(pixels.constBits()),
                                       static_cast<std::size_t>(pixels.sizeInBytes())));
    } else {
        ReplaceFileContents(SeriesPicture(path_, frames_ + 1), PngBytes(picture));
    }
    ++frames_;
}

void FilmWriter::Close() {
    if (encoder_) encoder_->Close();
}

QImage FilmPicture(const World& world, ViewState& view, FilmFit fit, int width, int height) {
    if (fit == FilmFit::EveryFrame) FitAll(view, world, {width, height});
    return TaonPicture(world, view, width, height);
}

TrajectoryFilm::TrajectoryFilm(const std::string& trajectory, TrajectoryFormat format, const FilmLook& look)
    : trajectory_(trajectory), format_(format), look_(look) {
    const std::unique_ptr<TrajectoryReader> reader = OpenTrajectoryReader(trajectory, format);
    World world;
    TurnedExtent run;
    while (reader->Next(world)) {
        ++frames_;
        if (look.fit == FilmFit::WholeRun) run.Add(ExtentOf(look.view, world));
    }
    note_ = reader->Note();
    if (look.fit == FilmFit::WholeRun) FitExtent(look_.view, run, {look.width, look.height});
}

TrajectoryFilm::~TrajectoryFilm() = default;

void TrajectoryFilm::Open(const std::string& film) {
    writer_ = std::make_unique<FilmWriter>(film, look_.width, look_.height, look_.fps);
    reader_ = OpenTrajectoryReader(trajectory_, format_);
}

bool TrajectoryFilm::DrawNext() {
    if (closed_ || !writer_) return false;
    World world;
    // A file that grows meanwhile (a recording going on) gives the frames counted at the start.
    if (writer_->Frames() < frames_ && reader_->Next(world)) {
        writer_->Add(FilmPicture(world, look_.view, look_.fit, look_.width, look_.height));
        return true;
    }
    Close();
    return false;
}

void TrajectoryFilm::Close() {
    if (closed_ || !writer_) return;
    closed_ = true;
    writer_->Close();
}

} // namespace taonscope
