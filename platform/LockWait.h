// How long whoever opens an archive waits for another program's lock on it
// before giving up, and the words that say so. A writer (an add or a
// delete, in this program or another) holds an exclusive lock while it puts
// the new archive in place; a reader may hold a shared one; either can be
// held by any process that can open the file. The listing, the libraries
// and the command line all wait this long and speak alike.
//
// Header-only and dependency-free: the libraries use it without linking the
// platform layer.
#pragma once

namespace platform {

inline constexpr int LockWaitMs = 10000;
// What stood in the way once the wait is over ("Cannot open X: " before it).
inline constexpr const char* LockHeldText = "another program holds a lock on it (waited 10 seconds)";

}  // namespace platform
