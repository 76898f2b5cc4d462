#include "CallbackReporter.h"

#include <algorithm>
#include <cstring>

namespace zipcore {

std::string PrintableName(std::string_view name)
{
    std::string out(name);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    return out;
}

CallbackReporter::CallbackReporter(ZCallbackFunction callback, void* caller)
    : callback_(callback), caller_(caller), record_(std::make_unique<CallbackRecord>())
{
}

CallbackReporter::~CallbackReporter() = default;

bool CallbackReporter::Send(std::int32_t action, std::int32_t error, std::int32_t size, std::string_view text)
{
    if (stopped_)
        return false;
    if (!callback_)
        return true;
    CallbackRecord& r = *record_;
    std::memset(&r, 0, offsetof(CallbackRecord, MessageText));
    r.Caller = caller_;
    r.ActionCode = action;
    r.ErrorCode = error;
    r.FileSize = size;
    std::size_t n = std::min(text.size(), sizeof(r.MessageText) - 1);
    if (n)
        std::memcpy(r.MessageText, text.data(), n);
    r.MessageText[n] = '\0';
    if (callback_(&r) == -1)
        stopped_ = true;
    return !stopped_;
}

bool CallbackReporter::FileBegin(std::string_view name, std::int64_t size)
{
    std::int32_t clipped = std::int32_t(std::clamp<std::int64_t>(size, 0, INT32_MAX));
    return Send(ZCB_FILE_BEGIN, 0, clipped, PrintableName(name));
}

bool CallbackReporter::FileStep() { return Send(ZCB_FILE_STEP, 0, 0, {}); }

bool CallbackReporter::BatchEnd() { return Send(ZCB_BATCH_END, 0, 0, {}); }

bool CallbackReporter::Message(std::int32_t code, std::string_view text)
{
    std::string line(text);
    for (char& c : line)
        if (c == '\r' || c == '\n')
            c = ' ';
    return Send(ZCB_MESSAGE, code, 0, line);
}

}  // namespace zipcore
