// A stand-in for ZIPDLL.DLL and UNZDLL.DLL: records the command record it
// is handed and plays a scripted series of callbacks, then returns, throws
// or faults as told. Built several times with different entry points.
#include "FakeLibrary.h"

#include <cstring>
#include <stdexcept>

#include "abi/UNZDLL.h"
#include "abi/ZIPDLL.h"

namespace {

// A real processor fault, out of the sanitizers' sight so the guard meets it.
// Both the pointer and what it points to are volatile: an optimizer that
// knows the pointer is null may drop the store, or put a trap instead.
__attribute__((no_sanitize("address", "undefined"), noinline)) void Fault()
{
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
}

const FakeScript* script = nullptr;
FakeObservation* observation = nullptr;

template <typename Record>
std::int32_t Execute(Record* r)
{
    FakeObservation& o = *observation;
    ++o.Calls;
    o.RecordBytes.assign(reinterpret_cast<unsigned char*>(r),
                         reinterpret_cast<unsigned char*>(r) + offsetof(Record, SpecTexts));
    o.ArchiveName = r->ArchiveName ? r->ArchiveName : "<null>";
    o.Password = r->PasswordText ? r->PasswordText : "<null>";
    o.Specs.clear();
    for (int i = 0; i < r->SpecCount && i < ZREC_MAX_SPECS; ++i)
        o.Specs.push_back(r->SpecTexts[i]);
    for (const auto& c : script->Callbacks) {
        CallbackRecord cb;
        std::memset(&cb, 0, sizeof cb);
        cb.Caller = r->Caller;
        cb.ActionCode = c.Action;
        cb.ErrorCode = c.ErrorCode;
        cb.FileSize = c.FileSize;
        std::strncpy(cb.MessageText, c.Text.c_str(), sizeof cb.MessageText - 1);
        const std::int32_t answer = r->CallbackAddress(&cb);
        o.Answers.push_back(answer);
        if (answer == -1)
            return static_cast<std::int32_t>(o.Answers.size()) - 1;
    }
    if (script->Ending == FakeEnding::Throw)
        throw std::runtime_error("fake library failure");
    if (script->Ending == FakeEnding::Segfault)
        Fault();
    return script->Result;
}

}  // namespace

#define EXPORT extern "C" __attribute__((visibility("default")))

EXPORT void FakeControl(const FakeScript* s, FakeObservation* o)
{
    script = s;
    observation = o;
}

#ifndef FAKE_NO_EXEC
EXPORT std::int32_t ZipDllExec(ZipCommandRecord* r) { return Execute(r); }
EXPORT std::int32_t UnzDllExec(UnzCommandRecord* r) { return Execute(r); }
#endif
#ifndef FAKE_NO_VERSION
EXPORT std::int32_t GetZipDllVersion() { return 100; }
EXPORT std::int32_t GetUnzDllVersion() { return 100; }
#endif
