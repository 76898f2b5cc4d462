// The archive engine as the windows see it: the component, its entries, its
// events and messages, under the `engine` namespace.
#pragma once

#include "engine/EngineErrors.h"
#include "engine/Messages.h"
#include "engine/PathText.h"
#include "engine/ZCallBck.h"
#include "engine/ZipMstr.h"

// Until the engine declares its own namespace, its names are gathered here.
namespace engine {
using ::TObject;
using ::TRezEdidiv;
using ::ZipDirEntry;
using ::ProgressType;
using ::EFileStreamError;
using ::ExtractFileExt;
using ::UpperCase;
using ::AddOptsEnum;
using ::ExtrOptsEnum;
using ::OvrOpts;
// One progress step per this many bytes of a file.
inline constexpr std::int32_t ProgressStepBytes = ZCB_STEP_BYTES;
}  // namespace engine
