#include "app/EncryptedMembers.h"

#include <algorithm>
#include <set>

namespace app {

namespace {
constexpr std::uint16_t EncryptedFlag = 0x0001;
}  // namespace

bool IsEncrypted(const engine::ZipDirEntry& entry) { return (entry.GeneralFlags & EncryptedFlag) != 0; }

bool MembersNeedPassword(const engine::TRezEdidiv& component, const engine::TStrings& names)
{
    const std::set<std::string> wanted(names.begin(), names.end());
    return std::any_of(component.Entries.begin(), component.Entries.end(), [&](const auto& entry) {
        return IsEncrypted(*entry) && (wanted.empty() || wanted.count(entry->FileName) != 0);
    });
}

}  // namespace app
