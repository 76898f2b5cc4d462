// Extracting or testing the chosen members of the program's archive with the
// ZIP core, exactly as UNZDLL.DLL does it: names that could leave the target
// folder are refused, symbolic links are never created nor followed, data
// goes to a temporary file that replaces the target only when complete and
// its CRC is right. On top of that the user's side: the overwrite mode (ask
// for each existing file: yes, no, all, none), and passwords for encrypted
// members, asked on the terminal and remembered for the next member.
// Prints one line per member; composing a summary is the caller's business.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "Console.h"
#include "SfxArchive.h"
#include "libs/zipcore/EntryDecoder.h"

namespace sfx {

struct RunCounts {
    int done = 0;     // extracted (files and folders) or tested
    int skipped = 0;  // left alone because a file of that name exists
    int failed = 0;   // refused, damaged, unsupported or not decrypted
    int unreadable = 0;  // of those, packed by a method this program does not carry
    bool cancelled = false;  // input ended at a question
};

class Extraction {
public:
    Extraction(const SfxArchive& archive, Console& console, const std::vector<std::size_t>& selection);
    ~Extraction();

    // Extracts into the folder `baseFd` (owned by the caller).
    RunCounts Extract(int baseFd, OverwriteMode mode);
    // Decodes every selected member and checks it, writing nothing.
    RunCounts Test();

private:
    enum class Attempt { Ok, WrongPassword, Other };
    template <typename Try>
    bool WithPassword(const zipcore::ZipEntry& entry, Try attempt, RunCounts* counts, std::string* detail);
    // Asks whether to replace `name`; false when input ended.
    bool AskReplace(const std::string& name, bool* replace);

    const SfxArchive& archive_;
    Console& console_;
    std::vector<std::size_t> selection_;
    std::unique_ptr<zipcore::EntryDecoder> decoder_;
    std::string cryptoError_;
    std::string password_;
    OverwriteMode answerForAll_ = OverwriteMode::Ask;
};

}  // namespace sfx
