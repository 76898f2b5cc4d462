// What the main window's message and progress handlers do with the
// messages window: the memo, its full state, the error boxes, the two bars.
#include <QLabel>

#include "abi/ProgressSteps.h"
#include "app/NameText.h"
#include "app/Texts.h"
#include "app/msgunit.h"
#include "platform/Tick.h"
#include "platform/UiServices.h"

namespace app {

bool HandleZipMessage(TMsgform* form, std::int32_t ErrCode, const std::string& Message, bool boxes, bool errorBox)
{
    if (form != nullptr && !form->MemoFull && !form->AppendLine(Message)) {
        form->MemoFull = true;
        if (boxes) {
            form->ShowPending();
            platform::Ui().ShowMessage(Translate(text::MemoFull));
        }
    }
    if (ErrCode <= 0 || !boxes || !errorBox)
        return false;
    // The box stands in front of the memo with every line before it.
    if (form != nullptr)
        form->ShowPending();
    platform::Ui().ShowMessage(Translate(text::DllError, {Message}));
    return true;
}

void HandleZipProgress(TMsgform* form, engine::ProgressType ProgrType, const std::string& Filename,
                       std::int32_t FileSize)
{
    if (form != nullptr) {
        switch (ProgrType) {
        case engine::ProgressType::FileBegin: {
            form->SetFileName(Filename);
            form->FileBar.Reset();
            form->FileBar.Max = fernpack::ProgressSteps(FileSize);
            if (FileSize < fernpack::ProgressStepBytes)
                form->FileBar.StepIt();
            break;
        }
        case engine::ProgressType::FileStep:
            if (form->FileBar.Position < form->FileBar.Max)
                form->FileBar.StepIt();
            if (form->AllFilesBar.Position < form->AllFilesBar.Max)
                form->AllFilesBar.StepIt();
            break;
        case engine::ProgressType::BatchEnd:
            form->SetFileName(std::string());
            form->FileBar.Reset();
            break;
        }
        // The window shows the models and pending input goes through often
        // enough for the eye and the hand, not for every one of a large
        // add's tens of thousands of events.
        const std::uint32_t now = platform::GetTickCount();
        if (ProgrType != engine::ProgressType::BatchEnd && now - form->LastProcessed < form->ProcessInterval)
            return;
        form->LastProcessed = now;
        form->ShowPending();
    }
    platform::Ui().ProcessMessages();
}

}  // namespace app
