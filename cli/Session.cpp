#include "cli/Session.h"

#include <cstdio>

namespace cli {

const char* const ProgramName = "fernpack-cli";

Session::Session()
{
    Archive.Unattended = true;
    Archive.OnMessage = [this](TObject*, std::int32_t code, const std::string& text) {
        std::fprintf(stderr, "%d: %s\n", code, text.c_str());
        if (code > 0)
            errorReported_ = true;
    };
}

void Session::Complain(const std::string& text) { std::fprintf(stderr, "%s: %s\n", ProgramName, text.c_str()); }

}  // namespace cli
