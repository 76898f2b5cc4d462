// The control surface of the fake compression library the bridge tests
// load: what it received, and the script it plays back. The fake exports
// the real entry points (which ones depends on how it was built).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FakeCallback {
    std::int32_t Action;
    std::int32_t ErrorCode;
    std::int32_t FileSize;
    std::string Text;
};

enum class FakeEnding { Return, Throw, Segfault };

struct FakeScript {
    std::vector<FakeCallback> Callbacks;
    FakeEnding Ending = FakeEnding::Return;
    std::int32_t Result = 0;
};

struct FakeObservation {
    int Calls = 0;
    std::vector<unsigned char> RecordBytes;  // the fixed part as received
    std::string ArchiveName, Password;
    std::vector<std::string> Specs;
    std::vector<std::int32_t> Answers;  // what each callback returned
};

using FakeControlFn = void (*)(const FakeScript* script, FakeObservation* observation);
