#include "cli/Session.h"

#include <cstdio>

#include "cli/Terminal.h"
#include "engine/EngineErrors.h"
#include "platform/FileSystem.h"

namespace cli {

using engine::ProgressType;
using engine::TObject;

const char* const ProgramName = "fernpack-cli";

Session::Session() : Progress(StderrIsTerminal())
{
    Archive.Unattended = true;
    Archive.OnMessage = [this](TObject*, std::int32_t code, const std::string& text) {
        Progress.ClearLine();
        std::fprintf(stderr, "%d: %s\n", code, text.c_str());
        if (code > 0)
            errorReported_ = true;
        if (Interrupted())
            Archive.CancelRequested = true;
    };
    Archive.OnProgress = [this](TObject*, ProgressType type, const std::string& name, std::int32_t size) {
        Progress.OnProgress(type, name, size);
        if (Interrupted())
            Archive.CancelRequested = true;
    };
}

void Session::Open(const std::string& given, const std::string& absolute)
{
    try {
        Archive.SetZipFilename(absolute);
    } catch (const engine::EFileStreamError& e) {
        Complain(given + ": " + e.what());
        errorReported_ = true;
    }
}

bool Session::OpenExisting(const std::string& given)
{
    const std::string path = platform::AbsolutePath(given);
    // The component says nothing about a missing archive; the user should
    // hear about it.
    if (!platform::FileExists(path)) {
        Complain(given + ": no such file");
        return false;
    }
    Open(given, path);
    return true;
}

void Session::Complain(const std::string& text) { std::fprintf(stderr, "%s: %s\n", ProgramName, text.c_str()); }

std::string CountText(std::int32_t n, const std::string& verb)
{
    return std::to_string(n) + " file" + (n == 1 ? " was" : "s were") + " " + verb;
}

}  // namespace cli
