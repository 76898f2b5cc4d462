// The callback the libraries call while they work: progress and messages
// become the component's events, and the answer tells the library whether
// the user asked it to stop.
#include <cstring>

#include "engine/TrimLineEnd.h"
#include "engine/ZipMstr.h"
#include "platform/FaultGuard.h"

namespace engine {

std::int32_t ZREC_CALL TRezEdidiv::LibraryCallback(CallbackRecord* record)
{
    auto* component = static_cast<TRezEdidiv*>(record->Caller);
    // From here on it is our code, the handlers and whatever input they
    // process: a fault in it is ours, not the library's.
    platform::GuardSuspension ours;
    // An exception from a handler must never unwind through the library's
    // frames: it stops the library and passes on once the library returned.
    try {
        const std::int32_t action = record->ActionCode;
        if (action == ZCB_FILE_BEGIN) {
            if (component->OnProgress) {
                const std::string name(record->MessageText, strnlen(record->MessageText, ZCB_MESSAGE_CAPACITY));
                component->OnProgress(component, ProgressType::FileBegin, name, record->FileSize);
            }
        } else if (action == ZCB_FILE_STEP) {
            if (component->OnProgress)
                component->OnProgress(component, ProgressType::FileStep, " ", 0);
        } else if (action == ZCB_BATCH_END) {
            if (component->OnProgress)
                component->OnProgress(component, ProgressType::BatchEnd, " ", 0);
        } else if (action >= ZCB_MESSAGE) {
            if (component->OnMessage) {
                const std::string text =
                    TrimLineEnd(std::string(record->MessageText, strnlen(record->MessageText, ZCB_MESSAGE_CAPACITY)));
                component->ErrCode = record->ErrorCode;
                component->Message = text;
                component->OnMessage(component, record->ErrorCode, text);
            }
        }
    } catch (...) {
        if (!component->callbackFailure_)
            component->callbackFailure_ = std::current_exception();
        return -1;
    }
    const bool asked = component->CancelRequested ||
                       (component->ExternalCancel != nullptr && *component->ExternalCancel != 0);
    if (asked)
        component->StoppedOnRequest = true;
    return asked || component->callbackFailure_ ? -1 : 0;
}

}  // namespace engine
