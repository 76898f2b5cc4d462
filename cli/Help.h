// fernpack-cli's help texts, made from the parser's own description of each
// command so the options shown are the options accepted: "Usage:" with the
// command's arguments, what it does, its options (short and long forms,
// wrapped to 79 columns) and its notes. The man page is made from the same
// text by help2man (through --help-all).
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace cli {

class HelpFormatter : public CLI::Formatter {
public:
    std::string make_help(const CLI::App* app, std::string name, CLI::AppFormatMode mode) const override;
};

// Every command's help after the program's, for the man page.
std::string FullHelp(const CLI::App& app);

// The version line and the versions of the libraries in use.
std::string VersionText();

}  // namespace cli
