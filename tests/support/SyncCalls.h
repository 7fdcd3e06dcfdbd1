// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// The calls that make a file durable, as the program makes them, watched and made to fail by the test
// programs that link SyncCalls.cpp: it puts its own fsync, fdatasync and rename before the system's.
namespace taonscope::test {

/// While set, "sync file", "sync folder" and "rename" are noted here in order.
extern std::vector<std::string>* syncCalls;
/// While true, a rename kills the process, as a power cut would.
extern bool killAtRename;
/// While not empty, syncing a file whose path starts with it fails with EIO, as on a failing disk.
extern std::string failSyncUnder;

} // namespace taonscope::test
