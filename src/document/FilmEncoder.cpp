// SPDX-License-Identifier: GPL-3.0-or-later
#include "FilmEncoder.h"

#include "IoError.h"

#include "core/Errors.h"
#include "core/Version.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace taonscope {

namespace {

// ffmpeg's messages are kept up to this many bytes, from their end.
constexpr std::size_t MaxSaid = 4096;

[[noreturn]] void SystemFailure(const char* what) {
    throw TaonError(std::string(what) + ": " + std::strerror(errno));
}

void CloseDescriptor(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// The last line that is not blank of what a program said.
std::string LastLine(std::string said) {
    while (!said.empty() && (said.back() == '\n' || said.back() == '\r' || said.back() == ' '))
        said.pop_back();
    const std::size_t end = said.find_last_of("\r\n");
    return end == std::string::npos ? said : said.substr(end + 1);
}

} // namespace

FilmEncoder::FilmEncoder(const std::string& path, int width, int height, int fps)
    : file_(path), frameBytes_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4) {
    if (width < 2 || height < 2 || width % 2 != 0 || height % 2 != 0)
        throw TaonError("an MP4 film needs an even width and height, not " + std::to_string(width) + "x" +
                        std::to_string(height));
    // The pictures go through a socket rather than a pipe: sending to it never raises SIGPIPE.
    int input[2] = {-1, -1}, output[2] = {-1, -1}, messages[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, input) != 0) SystemFailure("socketpair");
    if (::pipe2(output, O_CLOEXEC) != 0 || ::pipe2(messages, O_CLOEXEC) != 0) {
        const int saved = errno;
        for (int fd : {input[0], input[1], output[0], output[1]})
            if (fd >= 0) ::close(fd);
        errno = saved;
        SystemFailure("pipe");
    }
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string rate = std::to_string(fps);
    const std::vector<std::string> args = {"ffmpeg",
                                           "-hide_banner",
                                           "-loglevel",
                                           "error",
                                           "-nostats",
                                           "-f",
                                           "rawvideo",
                                           "-pixel_format",
                                           "bgr0",
                                           "-video_size",
                                           size,
                                           "-framerate",
                                           rate,
                                           "-i",
                                           "pipe:0",
                                           "-an",
                                           "-c:v",
                                           "libx264",
                                           "-pix_fmt",
                                           "yuv420p",
                                           "-metadata:s:v:0",
                                           std::string("encoder=") + ProgramSignature,
                                           "-crf",
                                           "18",
                                           "-g",
                                           rate,
                                           "-movflags",
                                           "frag_keyframe+empty_moov+default_base_moof",
                                           "-f",
                                           "mp4",
                                           "pipe:1"};
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[1], 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    posix_spawn_file_actions_adddup2(&actions, messages[1], 2);
    const int spawned = ::posix_spawnp(&pid_, "ffmpeg", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    for (int fd : {input[1], output[1], messages[1]}) ::close(fd);
    input_ = input[0], output_ = output[0], messages_ = messages[0];
    if (spawned != 0) {
        pid_ = -1;
        Stop();
        if (spawned == ENOENT)
            throw TaonError(
                "the ffmpeg program was not found: install it (Debian package ffmpeg) to make MP4 "
                "films, or make PNG pictures OUT_%04d.png");
        throw TaonError(std::string("ffmpeg could not be started: ") + std::strerror(spawned));
    }
    for (int fd : {input_, output_, messages_}) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

FilmEncoder::~FilmEncoder() {
    Stop();
}

void FilmEncoder::Stop() {
    CloseDescriptor(input_);
    CloseDescriptor(output_);
    CloseDescriptor(messages_);
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    pid_ = -1;
}

void FilmEncoder::Add(std::string_view pixels) {
    if (pixels.size() != frameBytes_) throw TaonError("a picture of another size than the film's");
    if (input_ < 0) throw TaonError("the film is closed");
    Pump(pixels);
}

void FilmEncoder::Close() {
    if (pid_ < 0) return;
    CloseDescriptor(input_); // ffmpeg reads the end of its input and finishes the film
    Pump({});
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) Failed("ffmpeg failed");
    file_.Commit();
}

void FilmEncoder::Failed(const char* what) {
    CloseDescriptor(input_);
    Pump({}); // what ffmpeg still says
    int status = 0;
    while (pid_ > 0 && ::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    const std::string said = LastLine(said_);
    throw TaonError(what + (said.empty() ? std::string() : ": " + said) +
                    (file_.Replaces() ? "; the earlier film is kept" : "; no film was written"));
}

void FilmEncoder::Pump(std::string_view input) {
    std::array<char, 1 << 16> buffer{};
    for (;;) {
        const bool writing = !input.empty() && input_ >= 0;
        if (!writing && (input_ >= 0 || (output_ < 0 && messages_ < 0))) return;
        pollfd fds[3];
        nfds_t count = 0;
        if (writing) fds[count++] = {input_, POLLOUT, 0};
        if (output_ >= 0) fds[count++] = {output_, POLLIN, 0};
        if (messages_ >= 0) fds[count++] = {messages_, POLLIN, 0};
        if (::poll(fds, count, -1) < 0) {
            if (errno == EINTR) continue;
            SystemFailure("poll");
        }
        for (nfds_t i = 0; i < count; ++i) {
            if (fds[i].revents == 0) continue;
            if (fds[i].fd == input_) {
                const ssize_t sent = ::send(input_, input.data(), input.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
                if (sent > 0) {
                    input.remove_prefix(static_cast<std::size_t>(sent));
                } else if (errno != EAGAIN && errno != EINTR) {
                    Failed("ffmpeg stopped"); // ffmpeg has gone
                }
                continue;
            }
            const ssize_t got = ::read(fds[i].fd, buffer.data(), buffer.size());
            if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (got <= 0) {
                CloseDescriptor(fds[i].fd == output_ ? output_ : messages_);
                continue;
            }
            const std::string_view bytes(buffer.data(), static_cast<std::size_t>(got));
            if (fds[i].fd == output_) {
                file_.Write(bytes);
            } else {
                said_.append(bytes);
                if (said_.size() > MaxSaid) said_.erase(0, said_.size() - MaxSaid);
            }
        }
    }
}

} // namespace taonscope
