// The conversion command: a self-extracting program back to a plain archive
// at once, a plain archive to a program after the self-extractor dialog.
// It does not use the messages window and shows no elapsed time.
#include <QFileInfo>

#include "app/AppServices.h"
#include "app/NameText.h"
#include "app/Texts.h"
#include "app/mainunit.h"
#include "app/sfxunit.h"
#include "engine/PathText.h"
#include "platform/FileSystem.h"
#include "platform/UiServices.h"

namespace app {

bool TMainform::MayOverwrite(const std::string& output)
{
    if (!platform::FileExists(output))
        return true;
    // A second name for the open archive itself is no other file to lose.
    const QString canonicalOutput = QFileInfo(PathText(output)).canonicalFilePath();
    if (!canonicalOutput.isEmpty() &&
        canonicalOutput == QFileInfo(PathText(RezEdidiv1.ZipFilename())).canonicalFilePath())
        return true;
    return Dialogs().Confirm(Translate(text::OverwriteQuestion, {output}));
}

void TMainform::ConvertButClick()
{
    if (busy_ || MakeSFX == nullptr)
        return;
    if (RezEdidiv1.EntryCount() == 0) {
        platform::Ui().ShowMessage(Translate(text::NoFilesInArchive));
        return;
    }
    const std::string archive = RezEdidiv1.ZipFilename();
    const std::string extension = engine::UpperCase(engine::ExtractFileExt(archive));
    std::int32_t result = -1;
    if (extension == ".EXE") {
        if (!MayOverwrite(engine::ChangeFileExt(archive, ".zip")))
            return;
        if (!RunOperation([&] { result = RezEdidiv1.ConvertZip(); }))
            return;
        platform::Ui().ShowMessage(result == 0 ? Translate(text::FilenameIsNow, {RezEdidiv1.ZipFilename()})
                                               : Translate(text::MakeZipFailed));
        return;
    }
    ShowModal(*MakeSFX);
    if (!Outcome.SfxConfirmed)
        return;
    // Only a .zip name makes a program; any other is refused by the
    // conversion itself, with nothing to overwrite.
    if (extension == ".ZIP" && !MayOverwrite(engine::ChangeFileExt(archive, ".exe")))
        return;
    if (!RunOperation([&] { result = RezEdidiv1.ConvertSFX(); }))
        return;
    platform::Ui().ShowMessage(result == 0 ? Translate(text::FilenameIsNow, {RezEdidiv1.ZipFilename()})
                                           : Translate(text::MakeExeFailed));
}

}  // namespace app
