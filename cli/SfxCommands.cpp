// sfx and unsfx: the self-extracting conversions through the component.
#include <iostream>

#include "cli/Commands.h"
#include "cli/Session.h"

namespace cli {

using engine::OvrOpts;
using engine::SFXOpts;
using engine::SFXOptsEnum;
using engine::TRezEdidiv;

namespace {

bool OpenArchive(Session& session, const std::string& given)
{
    if (!session.OpenExisting(given))
        return false;
    if (session.Archive.EntryCount() == 0) {
        Session::Complain("Error: no files in archive");
        return false;
    }
    session.ResetErrors();
    return true;
}

}  // namespace

int RunSfx(const Arguments& args)
{
    const OptionSpec known{{"--ask-command", "--ask-files", "--hide-overwrite"},
                          {"--caption", "--dir", "--command", "--overwrite"}};
    auto parsed = ParseCommand(args, known, 1, 1, "sfx takes exactly one ARCHIVE");
    if (!parsed)
        return ExitUsage;
    OvrOpts mode = OvrOpts::OvrConfirm;
    if (auto o = parsed->Value("--overwrite")) {
        if (*o == "always")
            mode = OvrOpts::OvrAlways;
        else if (*o == "never")
            mode = OvrOpts::OvrNever;
        else if (*o != "ask") {
            ParseCommand({}, known, 1, 0, "--overwrite takes ask, always or never");
            return ExitUsage;
        }
    }
    Session session;
    if (!OpenArchive(session, parsed->Positional[0]))
        return ExitFailed;
    TRezEdidiv& z = session.Archive;
    z.SFXOptions = SFXOpts{};
    z.SFXOptions.Set(SFXOptsEnum::SFXAskCmdLine, parsed->Has("--ask-command"));
    z.SFXOptions.Set(SFXOptsEnum::SFXAskFiles, parsed->Has("--ask-files"));
    z.SFXOptions.Set(SFXOptsEnum::SFXHideOverWriteBox, parsed->Has("--hide-overwrite"));
    z.SFXOverWriteMode = mode;
    z.SFXCaption = parsed->Value("--caption").value_or("Self-extracting Archive");
    z.SFXDefaultDir = parsed->Value("--dir").value_or("");
    z.SFXCommandLine = parsed->Value("--command").value_or("");
    if (z.ConvertSFX() != 0) {
        std::cout << "Error occured in making .EXE file\n";
        return ExitFailed;
    }
    std::cout << "Filename is now: " << z.ZipFilename() << '\n';
    return ExitOk;
}

int RunUnsfx(const Arguments& args)
{
    auto parsed = ParseCommand(args, OptionSpec{}, 1, 1, "unsfx takes exactly one PROGRAM");
    if (!parsed)
        return ExitUsage;
    Session session;
    if (!OpenArchive(session, parsed->Positional[0]))
        return ExitFailed;
    if (session.Archive.ConvertZip() != 0) {
        std::cout << "Error occured in making .ZIP file\n";
        return ExitFailed;
    }
    std::cout << "Filename is now: " << session.Archive.ZipFilename() << '\n';
    return ExitOk;
}

}  // namespace cli
