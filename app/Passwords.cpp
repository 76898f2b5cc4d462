// The password questions: twice for an encrypted add, once before members
// that need one are extracted or tested, and again for members a password
// did not open. What the library records can carry
// is the limit: 80 bytes of UTF-8.
#include <set>

#include "abi/ZCallBck.h"
#include "app/AppServices.h"
#include "app/Texts.h"
#include "app/mainunit.h"
#include "engine/PathText.h"
#include "platform/UiServices.h"
#include "zipformat/Flags.h"
#include "zipformat/NameText.h"

namespace app {

namespace {

constexpr std::size_t MaxPasswordBytes = ZREC_PASSWORD_CAPACITY - 1;
static_assert(MaxPasswordBytes == 80, "the texts say 80 bytes");

// What is wrong with a typed password, or nullptr.
const TText* Problem(const std::string& password)
{
    if (password.empty())
        return &text::PasswordEmpty;
    if (password.size() > MaxPasswordBytes)
        return &text::PasswordTooLong;
    return nullptr;
}

}  // namespace

std::optional<std::string> TMainform::AskNewPassword()
{
    for (;;) {
        const std::optional<std::string> first =
            Dialogs().AskPassword(Translate(text::PasswordTitle), Translate(text::NewPasswordPrompt));
        if (!first)
            return std::nullopt;
        if (const TText* problem = Problem(*first)) {
            platform::Ui().ShowMessage(Translate(*problem));
            continue;
        }
        const std::optional<std::string> second =
            Dialogs().AskPassword(Translate(text::PasswordTitle), Translate(text::RepeatPasswordPrompt));
        if (!second)
            return std::nullopt;
        if (*second != *first) {
            platform::Ui().ShowMessage(Translate(text::PasswordsDiffer));
            continue;
        }
        return first;
    }
}

bool TMainform::ArchivePasswordFor(const engine::TStrings& names, std::optional<std::string>& password)
{
    password.reset();
    if (!RezEdidiv1.Password().empty() || !RezEdidiv1.NeedsPassword(names))
        return true;
    password =
        AskArchivePassword(Translate(text::ArchivePasswordPrompt, {engine::ExtractFileName(RezEdidiv1.ZipFilename())}));
    return password.has_value();
}

std::optional<std::string> TMainform::AskPasswordAgain(const std::string& member)
{
    return AskArchivePassword(
        Translate(text::WrongPasswordPrompt, {member, engine::ExtractFileName(RezEdidiv1.ZipFilename())}));
}

std::optional<std::string> TMainform::AskArchivePassword(const std::string& prompt)
{
    for (;;) {
        const std::optional<std::string> password = Dialogs().AskPassword(Translate(text::PasswordTitle), prompt);
        if (!password)
            return std::nullopt;
        if (const TText* problem = Problem(*password)) {
            platform::Ui().ShowMessage(Translate(*problem));
            continue;
        }
        return password;
    }
}

engine::TStrings TMainform::FailedMemberNames(const std::vector<std::string>& shown) const
{
    // The library names a member as it shows it; the next run needs the
    // stored name, whole.
    const std::set<std::string> wanted(shown.begin(), shown.end());
    engine::TStrings names;
    for (const auto& entry : RezEdidiv1.Entries) {
        const std::string& name = entry->FullName();
        if (wanted.count(fernpack::zip::VisibleName(name, fernpack::zip::HasUtf8Name(entry->GeneralFlags))) > 0)
            names.push_back(name);
    }
    return names;
}

}  // namespace app
