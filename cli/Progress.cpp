#include "cli/Progress.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <limits>
#include <unistd.h>
#include <vector>

#include "abi/ProgressSteps.h"
#include "cli/Console.h"
#include "cli/Format.h"
#include "cli/Terminal.h"

namespace cli {

using engine::ProgressType;

namespace {

constexpr auto RedrawInterval = std::chrono::milliseconds(100);  // ten a second at most
constexpr int MinimumNameWidth = 12;

// The code point at text[i] and its length in bytes (text is valid UTF-8).
char32_t Decode(std::string_view text, std::size_t i, std::size_t* length)
{
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    n = std::min(n, text.size() - i);
    char32_t cp = n == 1 ? c : n == 2 ? c & 0x1F : n == 3 ? c & 0x0F : c & 0x07;
    for (std::size_t k = 1; k < n; ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    *length = n;
    return cp;
}

int CodePointWidth(char32_t cp)
{
    const int w = ::wcwidth(static_cast<wchar_t>(cp));
    if (w >= 0)
        return w;
    return cp >= 0x1100 ? 2 : 1;  // unknown to the locale: assume the wider
}

// The pieces of text on the line, one per code point.
struct Glyph {
    std::size_t at, length;
    int width;
};

std::vector<Glyph> Glyphs(std::string_view text)
{
    std::vector<Glyph> glyphs;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = 0;
        const char32_t cp = Decode(text, i, &n);
        glyphs.push_back({i, n, CodePointWidth(cp)});
        i += n;
    }
    return glyphs;
}

}  // namespace

int DisplayWidth(std::string_view text)
{
    int width = 0;
    for (const Glyph& g : Glyphs(text))
        width += g.width;
    return width;
}

std::string ShortenMiddle(const std::string& text, int width)
{
    if (DisplayWidth(text) <= width)
        return text;
    if (width <= 3)
        return std::string(static_cast<std::size_t>(std::max(width, 0)), '.');
    const std::vector<Glyph> glyphs = Glyphs(text);
    const int headWidth = (width - 3) / 2, tailWidth = width - 3 - headWidth;
    std::size_t headEnd = 0;
    for (int used = 0; headEnd < glyphs.size() && used + glyphs[headEnd].width <= headWidth; ++headEnd)
        used += glyphs[headEnd].width;
    std::size_t tailStart = glyphs.size();
    for (int used = 0; tailStart > headEnd && used + glyphs[tailStart - 1].width <= tailWidth; --tailStart)
        used += glyphs[tailStart - 1].width;
    const std::size_t headBytes = headEnd < glyphs.size() ? glyphs[headEnd].at : text.size();
    const std::size_t tailBytes = tailStart < glyphs.size() ? glyphs[tailStart].at : text.size();
    return text.substr(0, headBytes) + "..." + text.substr(tailBytes);
}

std::string ProgressLine(const ProgressState& s, int columns)
{
    const std::uint64_t bytesTotal = std::max(s.BytesTotal, s.BytesDone);
    const std::uint64_t filesTotal = std::max(s.FilesTotal, s.FilesDone);
    std::string percent = std::to_string(Percent(s.BytesDone, bytesTotal)) + "%";
    if (bytesTotal == 0)
        percent = std::to_string(Percent(s.FilesDone, filesTotal)) + "%";
    const std::string files = std::to_string(s.FilesDone) + "/" + std::to_string(filesTotal) + " files";
    const std::string bytes = HumanSize(s.BytesDone) + " of " + HumanSize(bytesTotal);
    std::string rate, left;
    if (s.Seconds >= 1 && s.BytesDone > 0) {
        const double perSecond = static_cast<double>(s.BytesDone) / s.Seconds;
        rate = HumanSize(static_cast<std::uint64_t>(perSecond)) + "/s";
        left = Duration(static_cast<std::uint64_t>(static_cast<double>(bytesTotal - s.BytesDone) / perSecond)) + " left";
    }
    // Shown in this order; when the line is short of room, the rate goes
    // first, then the time left, the bytes, the file count.
    struct Part {
        std::string Text;
        int GivesWay;  // 0 stays longest
    };
    std::vector<Part> parts = {{percent, 0}, {files, 1}, {bytes, 2}, {rate, 4}, {left, 3}};
    const int room = columns - 1;
    for (int keep = 4;; --keep) {
        std::string tail;
        for (const auto& part : parts)
            if (!part.Text.empty() && part.GivesWay <= keep)
                tail += "  " + part.Text;
        const int nameRoom = room - DisplayWidth(tail);
        if (nameRoom >= std::min(DisplayWidth(s.File), MinimumNameWidth) || keep == 0) {
            std::string line = ShortenMiddle(s.File, std::max(nameRoom, 0)) + tail;
            return DisplayWidth(line) <= room ? line : ShortenMiddle(line, std::max(room, 0));
        }
    }
}

ProgressDisplay::ProgressDisplay(bool enabled) : enabled_(enabled), start_(Clock::now())
{
    if (enabled_) {
        WatchWindowSize();
        columns_ = TerminalColumns(STDERR_FILENO);
    }
}

void ProgressDisplay::SetTotals(std::uint64_t files, std::uint64_t bytes)
{
    filesTotal_ = files;
    bytesTotal_ = bytes;
    start_ = Clock::now();
}

void ProgressDisplay::OnProgress(ProgressType type, const std::string& name, std::int32_t size)
{
    switch (type) {
    case ProgressType::FileBegin:
        if (filesBegun_ > 0)
            completedBytes_ += fileSize_;
        ++filesBegun_;
        file_ = Printable(name);
        // The interface carries sizes as signed 32-bit numbers; a larger
        // file's is given as the largest, and then its steps (one per
        // 32,768 bytes of its real size) tell how far it has come.
        fileSize_ = static_cast<std::uint32_t>(size);
        sizeSaturated_ = size == std::numeric_limits<std::int32_t>::max();
        fileSteps_ = fernpack::ProgressSteps<std::uint64_t>(fileSize_);
        fileDone_ = 0;
        break;
    case ProgressType::FileStep:
        ++fileDone_;
        if (sizeSaturated_ && fileDone_ > fileSteps_) {
            fileSteps_ = fileDone_;
            fileSize_ = fileDone_ * static_cast<std::uint64_t>(fernpack::ProgressStepBytes);
        }
        break;
    case ProgressType::BatchEnd:
        Clear();
        return;
    }
    if (!enabled_)
        return;
    const Clock::time_point now = Clock::now();
    if (drawnOnce_ && now - lastDraw_ < RedrawInterval)
        return;
    lastDraw_ = now;
    drawnOnce_ = true;
    Draw();
}

void ProgressDisplay::Draw()
{
    if (WidthChanged() || columns_ == 0)
        columns_ = TerminalColumns(STDERR_FILENO);
    if (columns_ < 2)
        return;
    ProgressState s;
    s.File = file_;
    s.FilesDone = filesBegun_ > 0 ? filesBegun_ - 1 : 0;
    s.FilesTotal = filesTotal_;
    s.BytesDone = completedBytes_ + std::min(fileSize_, fileSteps_ ? fileSize_ * fileDone_ / fileSteps_ : 0);
    s.BytesTotal = bytesTotal_;
    s.Seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    const std::string line = "\r" + ProgressLine(s, columns_) + "\033[K";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    shown_ = true;
}

void ProgressDisplay::Clear()
{
    if (enabled_ && shown_) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        shown_ = false;
    }
}

}  // namespace cli
