// Adding files to an archive and deleting members from it. Every change
// writes a complete new archive into a temporary file in the archive's
// folder, flushes it to disk and only then renames it over the archive,
// while an exclusive lock on the archive keeps other writers out. On any
// failure or cancel the archive stays exactly as it was and the temporary
// file is gone. Members that do not change are copied byte for byte; data
// in front of the archive (a self-extractor's stub) is kept.
//
// Reports go through the caller's callback on the calling thread only:
// action 1 per file (name, size), exactly max(1, size / 32,768) steps per
// file, action 3 once at the end, messages (0 information, positive errors).
// The result is the number of files added or replaced (members deleted), 0
// whenever nothing was committed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "libs/zipcore/CallbackReporter.h"
#include "libs/zipwriter/OutputFile.h"
#include "platform/LockWait.h"

namespace zipwriter {

// Message codes of the writer beyond those the core shares.
enum WriterMessage : std::int32_t {
    kSpecMatchedNothing = 21,  // an add pattern selected no file
    kSourceUnreadable = 22,    // a source file was skipped
    kSourceChanged = 23,       // a source to move changed while it was added: kept
    kCancelled = 0,            // the caller asked to stop (information)
};

struct UpdateOptions {
    std::string archivePath;
    std::vector<std::string> specs;
    bool hidden = false;
    bool recurse = false;
    bool dirNames = true;
    bool forceDos = false;
    bool move = false;
    bool update = false;
    bool freshen = false;
    bool zipTime = false;
    bool encrypt = false;
    bool verbose = false;
    bool trace = false;
    int level = 6;  // as the caller gave it: 0 stores, 1-9, above 9 strongest, below 0 default
    std::string password;
    // Standard input is the one thing added, under the name specs[0]
    // (ZIPDLL.h StdinOn); read from `inputFd`.
    bool fromStdin = false;
    int inputFd = 0;

    // Tuning, mostly for tests and the benchmark.
    int lockWaitMs = platform::LockWaitMs;             // for another process's lock on the archive
    unsigned workers = 0;                              // 0: one per core
    std::uint64_t memoryBudget = std::uint64_t(96) << 20;  // data held by jobs in flight
    std::uint64_t wholeFileLimit = std::uint64_t(4) << 20;  // larger files go in pieces
    std::uint64_t pieceSize = std::uint64_t(2) << 20;
    WriteFaultHook writeFault;
};

std::int32_t AddFiles(const UpdateOptions& options, zipcore::CallbackReporter& reporter);
std::int32_t DeleteMembers(const UpdateOptions& options, zipcore::CallbackReporter& reporter);

// libdeflate's level for the caller's compression level.
int EffectiveLevel(int requested);

}  // namespace zipwriter
