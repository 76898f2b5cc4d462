// extract --here, what a file manager's "Extract Here" runs: the members go
// into the archive's own folder when they all stand under one top-level
// name (a single file, or one folder holding everything), else into a new
// folder beside the archive named after it (its name without ".zip" or
// ".exe"; " (2)", " (3)" ... added while that name is taken), so an archive
// of loose files never spills them among the files already there.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "cli/Commands.h"

namespace cli {

// The first path parts of member names; empty and "." parts do not count,
// nor do names the library refuses to write (absolute ones, those with
// "..").
std::set<std::string> TopLevelNames(const std::vector<std::string>& names);

// The folder --here extracts the archive at `archivePath` (absolute) into,
// for its member names.
std::string HereFolder(const std::string& archivePath, const std::vector<std::string>& names);

// `options` with Dir set as --here wants it, then the extract.
int RunExtractHere(ExtractOptions options);

}  // namespace cli
