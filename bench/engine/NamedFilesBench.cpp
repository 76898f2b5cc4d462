// Naming many files: the archive component counts an add beforehand
// (CountAddFiles) and adds (AddFiles, through ZIPDLL.DLL), once with
// NAMED files of a folder of FILES named one by one, once with the whole
// folder by one pattern. Prints both times (best of three) and their ratio;
// the goal is a ratio under 2. A name is looked up directly and a folder
// listed once per operation, so naming files costs no more than listing
// them; when every name listed the folder, the ratio grew with the folder.
//
// Usage: named_files_bench [FILES [NAMED]] (defaults 30000 and 4000); run
// it from a release tree's bin/, where ZIPDLL.DLL lies beside it.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "engine/ZipMstr.h"

namespace fs = std::filesystem;

namespace {

struct Figure {
    double Seconds = 1e9;
    std::int32_t Added = 0;
};

Figure BestOfThree(const std::vector<std::string>& specs, const std::string& archive)
{
    Figure best;
    for (int run = 0; run < 3; ++run) {
        fs::remove(archive);
        engine::TRezEdidiv z;
        z.Unattended = true;
        z.SetZipFilename(archive);
        z.AddCompLevel = 6;
        z.FSpecArgs() = specs;
        const auto start = std::chrono::steady_clock::now();
        std::int32_t steps = 0;
        z.CountAddFiles(steps);
        z.AddFiles();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (seconds < best.Seconds)
            best = {seconds, z.ProcessedCount};
        z.UnloadZipLibrary();
    }
    return best;
}

}  // namespace

int main(int argc, char** argv)
{
    const int total = argc > 1 ? std::atoi(argv[1]) : 30000;
    const int named = argc > 2 ? std::atoi(argv[2]) : 4000;
    if (total <= 0 || named <= 0 || named > total || named > ZREC_MAX_SPECS) {
        std::fprintf(stderr, "usage: named_files_bench [FILES [NAMED]] (NAMED at most %d)\n", ZREC_MAX_SPECS);
        return 2;
    }
    const fs::path scratch = fs::temp_directory_path() / ("fernpack-named-bench." + std::to_string(::getpid()));
    const fs::path folder = scratch / "files";
    fs::create_directories(folder);
    std::vector<std::string> names;
    for (int i = 0; i < total; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "file%06d.txt", i);
        std::ofstream(folder / name) << std::string(64, 'a' + i % 26) << '\n';
        names.push_back((folder / name).string());
    }
    // Spread over the folder, so no listing order helps the lookups.
    std::vector<std::string> chosen;
    for (int i = 0; i < named; ++i)
        chosen.push_back(names[static_cast<std::size_t>(i) * total / named]);

    const std::string archive = (scratch / "out.zip").string();
    const Figure byName = BestOfThree(chosen, archive);
    const Figure byPattern = BestOfThree({(folder / "*").string()}, archive);
    fs::remove_all(scratch);

    std::printf("%d files named in a folder of %d: %.2f s (%d added)\n", named, total, byName.Seconds, byName.Added);
    std::printf("the whole folder by one pattern:           %.2f s (%d added)\n", byPattern.Seconds, byPattern.Added);
    std::printf("ratio named / pattern: %.2f (goal < 2)\n", byName.Seconds / byPattern.Seconds);
    return 0;
}
