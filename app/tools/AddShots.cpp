// Pictures of the messages window during and after a real add through the
// component's AddFiles, as the Add command will run it: for
// scripts/screenshots.sh, on whatever display the script provides.
// Usage: fernpack-add-shots OUT_DIR SOURCE_FOLDER ARCHIVE
#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <string>

#include "app/FernpackApplication.h"
#include "app/Program.h"
#include "app/QtUiServices.h"
#include "app/Texts.h"
#include "app/Translations.h"
#include "app/mainunit.h"
#include "app/msgunit.h"
#include "platform/FileSystem.h"
#include "platform/Tick.h"
#include "platform/UiServices.h"

namespace {

// Boxes become lines; halfway through the batch the window is pictured.
class ShotUi : public app::QtUiServices {
public:
    app::TMsgform* Form = nullptr;
    QString DuringPath;
    bool Taken = false;

    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "box: %s\n", text.c_str()); }
    void ProcessMessages() override
    {
        app::QtUiServices::ProcessMessages();
        if (Form != nullptr && !Taken && Form->AllFilesBar.Position * 2 >= Form->AllFilesBar.Max) {
            Taken = true;
            Save(*Form, DuringPath);
        }
    }
    static void Save(QWidget& w, const QString& path)
    {
        QApplication::processEvents();
        if (!w.grab().save(path))
            std::fprintf(stderr, "cannot write %s\n", path.toLocal8Bit().constData());
    }
};

}  // namespace

int main(int argc, char** argv)
{
    app::TFernpackApplication application(argc, argv);
    const app::TTranslations translations(QLocale::system(), app::TTranslations::Folders());
    if (argc != 4) {
        std::fprintf(stderr, "usage: fernpack-add-shots OUT_DIR SOURCE_FOLDER ARCHIVE\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const std::string source = argv[2], archive = argv[3];
    ShotUi ui;
    platform::ScopedUi scope(ui);
    app::TProgram program(app::StartOptions{{archive}, {}});
    program.ShowMainWindow();
    ui.Form = &program.Msgform();
    ui.DuringPath = out + "/messages-during-add.png";

    app::TMainform& form = program.Mainform();
    engine::TRezEdidiv& z = form.RezEdidiv1;
    program.Msgform().Open(app::Translate(app::text::BeginAdd, {archive}));
    z.AddOptions = {};
    z.AddOptions.Include(engine::AddOptsEnum::AddRecurseDirs).Include(engine::AddOptsEnum::AddDirNames);
    // Names stored relative to the source folder, as a user adding from it would get.
    platform::SetCurrentDir(source);
    z.SetFSpecArgs({"*.*"});
    std::int32_t steps = 0;
    z.CountAddFiles(steps);
    program.Msgform().AllFilesBar = {1, std::max(1, steps), 1, 1};
    const std::uint32_t start = platform::GetTickCount();
    form.RunOperation([&] { z.AddFiles(); });
    form.ShowElapsed(start, platform::GetTickCount());
    std::printf("%d files were added\n", z.ProcessedCount);
    ShotUi::Save(program.Msgform(), out + "/messages-after-add.png");
    ShotUi::Save(form, out + "/main-window-after-add.png");
    return ui.Taken && z.ProcessedCount > 0 ? 0 : 1;
}
