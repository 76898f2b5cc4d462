// What an add takes, decided in the front end before the component runs:
// the files each PATH names, the names they will be stored under, and the
// file patterns that make the component take exactly those files.
//
// The rules, as users of zip, tar and 7-Zip expect them:
// - names are stored as typed, relative to the current folder; a leading
//   '/' and ".." parts are left out (zipformat/StoredName.h, the writer's
//   own rule, so the names are known in advance), or only the base name
//   with JunkPaths;
// - a folder brings everything below it (only its own files without
//   Recurse); names starting with '.' found in folders, files and folders
//   alike, are left out unless Hidden; a dot-file named by itself is taken;
// - a PATH whose last part holds '*' or '?' and names nothing as it stands
//   is matched against its folder, like the shell would;
// - when two files would be stored under one name, the first (in command-
//   line order, then walk order) is taken and every other one is reported.
//
// The component walks folders itself with its own rule for hidden names;
// a folder whose walk would take exactly the chosen files is handed over as
// one pattern, any other is broken down into its subfolders and
// files, so even a large tree needs few patterns.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cli {

struct AddRequest {
    std::vector<std::string> Paths;  // as typed; "-" is standard input
    std::string StdinName;           // what "-" is stored under
    bool Recurse = true, JunkPaths = false, Hidden = false;
    std::string ArchivePath;         // absolute; never taken
};

struct AddProblem {
    std::string Path;
    std::string Text;
};

struct AddPlan {
    std::vector<std::string> Specs;        // for the component, in order
    bool HiddenFiles = false;              // the component's AddHiddenFiles for them
    std::vector<std::string> StoredNames;  // of the files taken
    std::uint64_t Files = 0, Bytes = 0;    // files taken through Specs
    bool Stdin = false;                    // standard input is taken
    std::string StdinStoredName;
    std::vector<AddProblem> Errors;        // paths that give nothing
    std::vector<AddProblem> Collisions;    // files left out: their name is taken
    bool DroppedPrefix = false;            // a '/' or ".." was left out of a name
};

AddPlan PlanAdd(const AddRequest& request);

}  // namespace cli
