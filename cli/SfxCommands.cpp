// sfx and unsfx: the self-extracting conversions through the component,
// which never replace a file of the output's name unless asked to.
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/Session.h"
#include "engine/EngineErrors.h"
#include "engine/PathText.h"
#include "platform/FileSystem.h"

namespace cli {

using engine::OvrOpts;
using engine::SFXOpts;
using engine::SFXOptsEnum;
using engine::TRezEdidiv;

namespace {

// Opens the archive to convert; false (with the user told why) when it has
// no members to convert, or when `output` exists and may not be replaced.
bool Prepare(Session& session, const std::string& extension, const std::string& output, bool force)
{
    if (!session.Open(true))
        return false;
    // The component itself checks the extension and says so in its words.
    if (engine::UpperCase(engine::ExtractFileExt(session.Given())) == extension && !force &&
        (platform::FileExists(platform::AbsolutePath(output)) || platform::DirectoryExists(platform::AbsolutePath(output)))) {
        session.Error(output + " exists; use --force to replace it");
        return false;
    }
    if (session.Archive.EntryCount() == 0) {
        session.Error("Error: no files in archive");
        return false;
    }
    return true;
}

// Runs a conversion; its result is what counts: the component's listing of
// the new file afterwards can only bring a warning.
std::int32_t Convert(Session& session, std::int32_t (TRezEdidiv::*conversion)())
{
    try {
        return (session.Archive.*conversion)();
    } catch (const engine::EFileStreamError& e) {
        session.Warning("listing the new file: " + std::string(e.what()));
        return 0;
    }
}

}  // namespace

int RunSfx(const SfxOptions& o)
{
    Session session(o.Archive);
    const std::string output = engine::ChangeFileExt(o.Archive, ".exe");
    if (!o.Stub.empty() && !platform::FileExists(platform::AbsolutePath(o.Stub))) {
        Console::Get().Error(o.Stub, platform::DirectoryExists(platform::AbsolutePath(o.Stub)) ? "is a folder"
                                                                                            : "no such file");
        return ExitFailed;
    }
    if (!Prepare(session, ".ZIP", output, o.Force))
        return ExitFailed;
    TRezEdidiv& z = session.Archive;
    z.SFXOptions = SFXOpts{};
    z.SFXOptions.Set(SFXOptsEnum::SFXAskCmdLine, o.AskCommand);
    z.SFXOptions.Set(SFXOptsEnum::SFXAskFiles, o.AskFiles);
    z.SFXOptions.Set(SFXOptsEnum::SFXHideOverWriteBox, o.HideOverwrite);
    z.SFXOverWriteMode = o.Existing == "always" ? OvrOpts::OvrAlways
                         : o.Existing == "never" ? OvrOpts::OvrNever
                                                 : OvrOpts::OvrConfirm;
    z.SFXCaption = o.Caption;
    z.SFXDefaultDir = o.Dir;
    z.SFXCommandLine = o.Command;
    if (!o.Stub.empty())
        z.SFXPath = platform::AbsolutePath(o.Stub);
    if (Convert(session, &TRezEdidiv::ConvertSFX) != 0) {
        session.Error("Error occured in making .EXE file");
        return ExitFailed;
    }
    Console::Get().Summary(o.Archive + " is now " + output);
    return ExitOk;
}

int RunUnsfx(const UnsfxOptions& o)
{
    Session session(o.Program);
    const std::string output = engine::ChangeFileExt(o.Program, ".zip");
    if (!Prepare(session, ".EXE", output, o.Force))
        return ExitFailed;
    if (Convert(session, &TRezEdidiv::ConvertZip) != 0) {
        session.Error("Error occured in making .ZIP file");
        return ExitFailed;
    }
    Console::Get().Summary(o.Program + " is now " + output);
    return ExitOk;
}

}  // namespace cli
