// SPDX-License-Identifier: GPL-3.0-or-later
#include "SyncCalls.h"

#include <cerrno>
#include <csignal>
#include <dlfcn.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace taonscope::test {

std::vector<std::string>* syncCalls = nullptr;
bool killAtRename = false;
std::string failSyncUnder;

} // namespace taonscope::test

namespace {

using namespace taonscope::test;

// Notes the call and says whether it is to fail.
bool Sync(const char* call, int fd) {
    struct stat info {};
    if (syncCalls && ::fstat(fd, &info) == 0)
        syncCalls->push_back(std::string(call) + (S_ISDIR(info.st_mode) ? " folder" : " file"));
    if (failSyncUnder.empty()) return false;
    char target[4096] = {};
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::readlink(self.c_str(), target, sizeof target - 1) > 0 &&
           std::string_view(target).starts_with(failSyncUnder);
}

template <typename Function> Function Next(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" int fsync(int fd) {
    if (Sync("sync", fd)) return errno = EIO, -1;
    return Next<int (*)(int)>("fsync")(fd);
}

extern "C" int fdatasync(int fd) {
    if (Sync("sync", fd)) return errno = EIO, -1;
    return Next<int (*)(int)>("fdatasync")(fd);
}

extern "C" int rename(const char* from, const char* to) {
    if (killAtRename) ::raise(SIGKILL);
    if (syncCalls) syncCalls->push_back("rename");
    return Next<int (*)(const char*, const char*)>("rename")(from, to);
}
