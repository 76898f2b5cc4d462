// Progress bars on stderr for a running operation: one for the current
// file, one for the whole batch, both moved by the component's progress
// events. Silent when stderr is not a terminal.
#pragma once

#include <cstdint>
#include <string>

#include "engine/ZipMstr.h"

namespace cli {

class ProgressDisplay {
public:
    explicit ProgressDisplay(bool enabled) : enabled_(enabled) {}

    void SetTotalSteps(std::int64_t steps) { totalSteps_ = steps; }
    void OnProgress(engine::ProgressType type, const std::string& name, std::int32_t size);
    // Clears the bar line so a message can be printed in its place.
    void ClearLine();

private:
    void Draw();

    bool enabled_;
    bool drawn_ = false;
    std::string file_;
    std::int64_t fileSteps_ = 1, fileDone_ = 0;
    std::int64_t totalSteps_ = 0, totalDone_ = 0;
};

}  // namespace cli
