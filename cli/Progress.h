// The progress line on stderr while an operation runs, moved by the
// component's progress events: the current file (shortened in the middle),
// files and bytes done of the total, percent, rate and time left, in one
// line that fits the terminal's width (read again when the window changes
// size). Drawn at most ten times a second and cleared at the end, so the
// scroll-back keeps only the summary. Silent when stderr is no terminal.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/ZipMstr.h"

namespace cli {

struct ProgressState {
    std::string File;  // printable already
    std::uint64_t FilesDone = 0, FilesTotal = 0;
    std::uint64_t BytesDone = 0, BytesTotal = 0;
    double Seconds = 0;  // since the start
};

// The line for `state`, at most `columns` - 1 columns wide (the last column
// is left free so the terminal never wraps). Less important parts give way
// first when the terminal is narrow: the rate, the time left, the bytes, the
// file count.
std::string ProgressLine(const ProgressState& state, int columns);

// Columns `text` (valid UTF-8) takes on a terminal.
int DisplayWidth(std::string_view text);

// `text` cut to at most `width` columns by taking out its middle ("...").
std::string ShortenMiddle(const std::string& text, int width);

class ProgressDisplay {
public:
    explicit ProgressDisplay(bool enabled);

    void SetTotals(std::uint64_t files, std::uint64_t bytes);
    void OnProgress(engine::ProgressType type, const std::string& name, std::int32_t size);
    // Takes the line away (before a message, and at the end).
    void Clear();

private:
    void Draw();

    using Clock = std::chrono::steady_clock;
    bool enabled_;
    bool shown_ = false;
    int columns_ = 0;
    Clock::time_point start_, lastDraw_;
    bool drawnOnce_ = false;
    std::string file_;
    std::uint64_t fileSize_ = 0, fileSteps_ = 1, fileDone_ = 0;
    bool sizeSaturated_ = false;
    std::uint64_t filesBegun_ = 0, completedBytes_ = 0;
    std::uint64_t filesTotal_ = 0, bytesTotal_ = 0;
};

}  // namespace cli
