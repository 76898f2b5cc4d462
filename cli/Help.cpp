#include "cli/Help.h"

#include <libdeflate.h>
#include <openssl/crypto.h>
#include <sstream>
#include <zlib.h>

#include <fernpack/Version.h>

namespace cli {

namespace {

constexpr std::size_t LineWidth = 79;
constexpr std::size_t DescriptionColumn = 26;

// `text` wrapped at word boundaries, each line indented by `indent`; the
// first line by `firstIndent` columns already written by the caller.
std::string Wrap(const std::string& text, std::size_t indent, std::size_t firstIndent)
{
    std::string out;
    std::size_t column = firstIndent;
    std::istringstream words(text);
    std::string word;
    bool lineStart = true;
    while (words >> word) {
        if (!lineStart && column + 1 + word.size() > LineWidth) {
            out += '\n' + std::string(indent, ' ');
            column = indent;
            lineStart = true;
        }
        if (!lineStart) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        lineStart = false;
    }
    return out;
}

std::string OptionName(const CLI::Option* opt)
{
    std::string name;
    for (const auto& s : opt->get_snames())
        name += (name.empty() ? "-" : ", -") + s;
    for (const auto& l : opt->get_lnames())
        name += (name.empty() ? "--" : ", --") + l;
    if (opt->get_expected_max() > 0)
        name += " " + opt->get_type_name();
    return name;
}

std::string OptionLines(const CLI::App* app)
{
    std::string out;
    for (const CLI::Option* opt : app->get_options()) {
        if (opt->get_positional() || opt->get_group().empty())
            continue;
        std::string line = "  " + OptionName(opt);
        if (line.size() + 2 > DescriptionColumn)
            line += '\n' + std::string(DescriptionColumn, ' ');
        else
            line += std::string(DescriptionColumn - line.size(), ' ');
        out += line + Wrap(opt->get_description(), DescriptionColumn, DescriptionColumn) + '\n';
    }
    return out;
}

// The footer: paragraphs separated by blank lines; lines that start with a
// blank are kept as they are (examples, tables).
std::string Notes(const std::string& footer)
{
    std::string out, paragraph;
    std::istringstream lines(footer);
    std::string line;
    auto flush = [&] {
        if (!paragraph.empty())
            out += Wrap(paragraph, 0, 0) + '\n';
        paragraph.clear();
    };
    while (std::getline(lines, line)) {
        if (line.empty()) {
            flush();
            out += '\n';
        } else if (line[0] == ' ') {
            flush();
            out += line + '\n';
        } else {
            paragraph += (paragraph.empty() ? "" : " ") + line;
        }
    }
    flush();
    return out;
}

}  // namespace

std::string HelpFormatter::make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const
{
    const bool top = app->get_parent() == nullptr;
    std::string out = "Usage: fernpack-cli ";
    if (top) {
        out += "[OPTIONS] COMMAND [ARGUMENTS]\n";
    } else {
        out += app->get_name() + " " + app->get_option("args")->get_type_name() + "\n";
    }
    out += "\n" + Wrap(app->get_description(), 0, 0) + "\n";
    if (top) {
        out += "\nCommands:\n";
        for (const CLI::App* sub : app->get_subcommands({})) {
            std::string line = "  " + sub->get_name();
            line += std::string(DescriptionColumn - line.size(), ' ');
            out += line + Wrap(sub->get_description(), DescriptionColumn, DescriptionColumn) + '\n';
        }
    }
    const std::string options = OptionLines(app);
    if (!options.empty())
        out += "\nOptions:\n" + options;
    if (!app->get_footer().empty())
        out += "\n" + Notes(app->get_footer());
    return out;
}

std::string FullHelp(const CLI::App& app)
{
    std::string out = app.help();
    for (const CLI::App* sub : app.get_subcommands({})) {
        if (sub->get_name() == "help")
            continue;
        // A heading followed by an indented line is a section to help2man.
        const std::string help = sub->help();
        const std::size_t end = help.find('\n');
        out += "\nThe " + sub->get_name() + " command:\n  " + help.substr(7, end - 7) + help.substr(end);
    }
    return out;
}

std::string VersionText()
{
    return std::string("fernpack-cli (Fernpack) ") + FERNPACK_VERSION_STRING + "\nlibdeflate " +
           LIBDEFLATE_VERSION_STRING + ", zlib " + zlibVersion() + ", " + OpenSSL_version(OPENSSL_VERSION) + "\n";
}

}  // namespace cli
