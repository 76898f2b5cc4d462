#include "PeerCheck.h"

#include "TempDir.h"

namespace fixture {

namespace {

std::string Quoted(const std::string& text)
{
    std::string q = "'";
    for (char c : text)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs `command` (its stderr joined to its output); "" when it exits 0 and
// its output holds `mustSay` (when given) and not `mustNotSay` (when
// given), else a line naming `reader` and what it said.
std::string Ask(const std::string& reader, const std::string& command, const std::string& mustSay = "",
                const std::string& mustNotSay = "")
{
    std::string output;
    const int status = RunCommand(command + " 2>&1", &output);
    if (status == 0 && (mustSay.empty() || output.find(mustSay) != std::string::npos) &&
        (mustNotSay.empty() || output.find(mustNotSay) == std::string::npos))
        return "";
    return reader + " (exit " + std::to_string(status) + "): " + output + "\n";
}

}  // namespace

std::string PeerCheck(const std::string& archive, const std::string& password)
{
    const std::string path = Quoted(archive);
    std::string failures;
    if (password.empty()) {
        // zipfile's -t exits 0 even when a member is bad: its words tell.
        failures += Ask("python3 -m zipfile -t", "python3 -m zipfile -t " + path, "Done testing", "corrupted");
        failures += Ask("unzip -t", "unzip -tqq " + path);
    } else {
        failures += Ask("python3 zipfile",
                        "python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).infolist()' " + path);
        failures += Ask("unzip -l", "unzip -lqq " + path);
    }
    failures += Ask("7zz t", "7zz t -bd -p" + Quoted(password) + " " + path, "Everything is Ok");
    return failures;
}

}  // namespace fixture
