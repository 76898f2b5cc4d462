// Which listed members are encrypted (general purpose flag bit 0), so that
// extracting or testing them needs a password. The windows ask this here,
// from the component's listing, until the engine answers it itself.
#pragma once

#include <string>

#include "engine/ZipMstr.h"

namespace app {

bool IsEncrypted(const engine::ZipDirEntry& entry);

// Whether any of `names` (every member when empty) is encrypted.
bool MembersNeedPassword(const engine::TRezEdidiv& component, const engine::TStrings& names);

}  // namespace app
