// The password questions: twice for an encrypted add, once before members
// that need one are extracted or tested. What the library records can carry
// is the limit: 80 bytes of UTF-8.
#include "abi/ZCallBck.h"
#include "app/AppServices.h"
#include "app/EncryptedMembers.h"
#include "app/Texts.h"
#include "app/mainunit.h"
#include "engine/PathText.h"
#include "platform/UiServices.h"

namespace app {

namespace {

constexpr std::size_t MaxPasswordBytes = ZREC_PASSWORD_CAPACITY - 1;
static_assert(MaxPasswordBytes == 80, "the texts say 80 bytes");

// What is wrong with a typed password, or nullptr.
const char* Problem(const std::string& password)
{
    if (password.empty())
        return text::PasswordEmpty;
    if (password.size() > MaxPasswordBytes)
        return text::PasswordTooLong;
    return nullptr;
}

}  // namespace

std::optional<std::string> TMainform::AskNewPassword()
{
    for (;;) {
        const std::optional<std::string> first = Dialogs().AskPassword(text::PasswordTitle, text::NewPasswordPrompt);
        if (!first)
            return std::nullopt;
        if (const char* problem = Problem(*first)) {
            platform::Ui().ShowMessage(problem);
            continue;
        }
        const std::optional<std::string> second =
            Dialogs().AskPassword(text::PasswordTitle, text::RepeatPasswordPrompt);
        if (!second)
            return std::nullopt;
        if (*second != *first) {
            platform::Ui().ShowMessage(text::PasswordsDiffer);
            continue;
        }
        return first;
    }
}

bool TMainform::EnsureArchivePassword(const engine::TStrings& names)
{
    if (!RezEdidiv1.Password().empty())
        return true;
    if (!MembersNeedPassword(RezEdidiv1, names))
        return true;
    const std::string prompt =
        text::ArchivePasswordPrompt + engine::ExtractFileName(RezEdidiv1.ZipFilename()) + ":";
    for (;;) {
        const std::optional<std::string> password = Dialogs().AskPassword(text::PasswordTitle, prompt);
        if (!password)
            return false;
        if (const char* problem = Problem(*password)) {
            platform::Ui().ShowMessage(problem);
            continue;
        }
        // Kept for this archive until another one is opened.
        RezEdidiv1.SetPassword(*password);
        return true;
    }
}

}  // namespace app
