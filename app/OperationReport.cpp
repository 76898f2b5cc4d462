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

std::string ExtractResult(std::int32_t extracted, const TOperationTally& tally, bool withDirs)
{
    std::string result = Translate(text::Extracted, extracted);
    if (tally.Replaced > 0)
        result += "\n" + Translate(withDirs ? text::Replaced : text::ReplacedAdvice, tally.Replaced);
    if (tally.Skipped > 0)
        result += "\n" + Translate(text::Skipped, tally.Skipped);
    return result;
}

std::string CancelledResult(TStoppedOperation operation, std::int32_t done)
{
    switch (operation) {
    case TStoppedOperation::Add: return Translate(text::CancelledAdd);
    case TStoppedOperation::Delete: return Translate(text::CancelledDelete);
    case TStoppedOperation::Extract: return Translate(text::CancelledExtract, done);
    case TStoppedOperation::Test: return Translate(text::CancelledTest, done);
    }
    return {};
}

}  // namespace app
