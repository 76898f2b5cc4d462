#include "cli/Progress.h"

#include <algorithm>
#include <cstdio>

#include "abi/ProgressSteps.h"

namespace cli {

using engine::ProgressType;

namespace {

std::string Bar(std::int64_t done, std::int64_t total, int width)
{
    const std::int64_t filled = total > 0 ? std::min<std::int64_t>(width, done * width / total) : 0;
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about
    // "[" + std::string(...) at -O2 and above.
    std::string bar;
    bar.reserve(static_cast<std::size_t>(width) + 2);
    bar += '[';
    bar.append(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(width - filled), '.');
    bar += ']';
    return bar;
}

}  // namespace

void ProgressDisplay::OnProgress(ProgressType type, const std::string& name, std::int32_t size)
{
    switch (type) {
    case ProgressType::FileBegin:
        file_ = name;
        fileSteps_ = fernpack::ProgressSteps<std::int64_t>(size);
        fileDone_ = 0;
        break;
    case ProgressType::FileStep:
        ++fileDone_;
        ++totalDone_;
        break;
    case ProgressType::BatchEnd:
        ClearLine();
        return;
    }
    Draw();
}

void ProgressDisplay::Draw()
{
    if (!enabled_)
        return;
    std::string name = file_.size() > 40 ? "..." + file_.substr(file_.size() - 37) : file_;
    std::fprintf(stderr, "\r\033[K%s %s %s", Bar(fileDone_, fileSteps_, 20).c_str(),
                 Bar(totalDone_, std::max(totalSteps_, totalDone_), 30).c_str(), name.c_str());
    std::fflush(stderr);
    drawn_ = true;
}

void ProgressDisplay::ClearLine()
{
    if (enabled_ && drawn_) {
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
        drawn_ = false;
    }
}

}  // namespace cli
