#include "app/OperationReport.h"

#include "abi/ZCallBck.h"
#include "app/Texts.h"

namespace app {

void TOperationTally::Clear()
{
    *this = TOperationTally{};
}

void TOperationTally::Message(std::int32_t code)
{
    if (code == ZCB_INFO_SKIPPED)
        ++Skipped;
    else if (code == ZCB_INFO_REPLACED_EARLIER)
        ++Replaced;
    else if (code == ZCB_ERROR_PASSWORD && !current_.empty() &&
             (PasswordFailed.empty() || PasswordFailed.back() != current_))
        PasswordFailed.push_back(current_);
}

std::string CountResult(std::int32_t n, const char* done)
{
    return std::to_string(n) + " file" + (n == 1 ? " was" : "s were") + done;
}

std::string ExtractResult(std::int32_t extracted, const TOperationTally& tally, bool withDirs)
{
    std::string result = CountResult(extracted, text::Extracted);
    if (tally.Replaced > 0) {
        result += "\n" + std::to_string(tally.Replaced) + text::Replaced;
        if (!withDirs)
            result += text::ReplacedAdvice;
    }
    if (tally.Skipped > 0)
        result += "\n" + std::to_string(tally.Skipped) + (tally.Skipped == 1 ? text::SkippedOne : text::SkippedMany);
    return result;
}

std::string CancelledResult(TStoppedOperation operation, std::int32_t done)
{
    switch (operation) {
    case TStoppedOperation::Add: return text::CancelledAdd;
    case TStoppedOperation::Delete: return text::CancelledDelete;
    case TStoppedOperation::Extract:
        return text::Cancelled + CountResult(done, text::Extracted) + text::CancelledBeforeStop;
    case TStoppedOperation::Test:
        return text::Cancelled + CountResult(done, text::Tested) + text::CancelledBeforeStop;
    }
    return text::Cancelled;
}

}  // namespace app
