#include "Selection.h"

#include <cstdlib>

#include "zipformat/Wildcards.h"

namespace sfx {

namespace {

// A whole number of digits only; false for anything else.
bool ReadNumber(const std::string& text, std::size_t* value)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *value = std::size_t(std::strtoul(text.c_str(), nullptr, 10));
    return true;
}

}  // namespace

bool ParseSelection(const std::string& answer, const std::vector<zipcore::ZipEntry>& entries,
                    std::vector<std::size_t>* chosen, std::string* error)
{
    std::vector<bool> take(entries.size(), false);
    bool any = false, all = false;
    std::size_t pos = 0;
    while (pos < answer.size()) {
        std::size_t end = answer.find_first_of(" \t,", pos);
        if (end == std::string::npos)
            end = answer.size();
        std::string token = answer.substr(pos, end - pos);
        pos = end + 1;
        if (token.empty())
            continue;
        any = true;
        if (token == "all" || token == "*") {
            all = true;
            continue;
        }
        std::size_t first = 0, last = 0, dash = token.find('-');
        bool number = ReadNumber(token, &first) && (last = first, true);
        bool range = !number && dash != std::string::npos && ReadNumber(token.substr(0, dash), &first) &&
                     ReadNumber(token.substr(dash + 1), &last);
        if (number || range) {
            if (first < 1 || last < first || last > entries.size()) {
                *error = "no file numbered " + token + " (the files are numbered 1 to " +
                         std::to_string(entries.size()) + ")";
                return false;
            }
            for (std::size_t i = first; i <= last; ++i)
                take[i - 1] = true;
            continue;
        }
        bool matched = false;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].name == token || fernpack::MatchesMemberPattern(token, entries[i].name)) {
                take[i] = true;
                matched = true;
            }
        }
        if (!matched) {
            *error = "no file matches " + token;
            return false;
        }
    }
    chosen->clear();
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (!any || all || take[i])
            chosen->push_back(i);
    return true;
}

}  // namespace sfx
