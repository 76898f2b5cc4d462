// Calls the real ZIPDLL.DLL and UNZDLL.DLL from bin/ the way the engine
// does, records every callback, and runs the peer tools that check the
// archives we write.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "abi/UNZDLL.h"
#include "abi/ZIPDLL.h"

namespace ziptest {

struct Event {
    int action;
    int code;
    int size;
    std::string text;
};

// What the library reported; optionally answers -1 from a given callback on.
struct CallLog {
    std::vector<Event> events;
    int calls = 0;
    int cancelAt = -1;  // 1-based number of the callback that answers -1
    int callsAfterCancel = 0;
    std::thread::id caller = std::this_thread::get_id();
    bool foreignThread = false;
    // Called with each event as it arrives, inside the library's call.
    std::function<void(const Event&)> onEvent;

    int Count(int action) const;
    std::vector<std::string> Messages(bool errorsOnly = false) const;
    bool HasMessage(const std::string& part) const;
};

struct ZipCall {
    ZipCall() = default;
    ZipCall(std::string archiveName, std::vector<std::string> specTexts)
        : archive(std::move(archiveName)), specs(std::move(specTexts))
    {
    }
    std::string archive;
    std::vector<std::string> specs;
    bool remove = false;  // DeleteOn
    bool fromStdin = false;  // StdinOn: specs[0] names what descriptor 0 holds
    bool encrypt = false, hidden = false, dirNames = true, recurse = false, forceDos = false, move = false,
         update = false, freshen = false, zipTime = false, verbose = false;
    int level = 6;
    std::string password;
};

// The recording callback; its Caller is a CallLog.
int32_t ZREC_CALL RecordForTests(CallbackRecord* record);

// Runs ZipDllExec; returns its count.
int RunZip(const ZipCall& call, CallLog* log = nullptr);
// Extracts (or tests) the whole archive into `targetDir` with UNZDLL.DLL.
int RunUnzip(const std::string& archive, const std::string& targetDir, bool test = false,
             const std::string& password = "", CallLog* log = nullptr);
// The raw record call, for record checks.
int ExecZip(ZipCommandRecord* record);
int ZipVersion();

// Peer checks of single tools (fixture::PeerCheck asks all three): true
// when the tool finds the archive sound.
bool SevenZipTestOk(const std::string& archive, const std::string& password = "");
bool PythonTestOk(const std::string& archive, const std::string& password = "");
// Names in the archive in stored order, read by Python's zipfile.
std::vector<std::string> PythonNames(const std::string& archive);

std::string Quote(const std::string& text);
// Deterministic test data: text-like or random-looking.
std::string TextData(std::size_t size, unsigned seed);
std::string NoiseData(std::size_t size, unsigned seed);
bool SameFile(const std::string& a, const std::string& b);
// Lists files left in a folder whose names mark them as temporary.
std::vector<std::string> StrayFiles(const std::string& dir);

}  // namespace ziptest
