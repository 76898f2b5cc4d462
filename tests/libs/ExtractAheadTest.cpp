// An extract decodes members ahead of the thread that writes the files. What
// the caller sees must not show it: the callbacks of one extract of many
// members are those of extracting each member alone (where nothing runs
// ahead), in archive order, and the files are the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>

#include "PackedData.h"
#include "UnzDllHarness.h"
#include "ZipFixture.h"

using namespace unztest;

namespace {

// Text that deflates, of `size` bytes.
std::string Text(std::size_t size, std::mt19937& random)
{
    static const char* words[] = {"fern ", "pack ", "member ", "data\n", "archive ", "zip "};
    std::string out;
    while (out.size() < size)
        out += words[random() % 6];
    out.resize(size);
    return out;
}

bool HasLeftovers(const std::string& root)
{
    for (const auto& p : ListAll(root))
        if (p.find(".fernpack-") != std::string::npos)
            return true;
    return false;
}

// The callbacks of a run up to its batch end.
std::vector<Callback> WithoutBatchEnd(const Result& r)
{
    std::vector<Callback> out = r.callbacks;
    if (!out.empty() && out.back().action == ZCB_BATCH_END)
        out.pop_back();
    return out;
}

std::string Line(const Callback& cb)
{
    return std::to_string(cb.action) + " " + std::to_string(cb.error) + " " + std::to_string(cb.size) + " " + cb.text;
}

// Where two runs' callbacks (steps too) first differ, or nothing.
std::string FirstDifference(const std::vector<Callback>& a, const std::vector<Callback>& b)
{
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const std::string x = i < a.size() ? Line(a[i]) : "(none)", y = i < b.size() ? Line(b[i]) : "(none)";
        if (x != y)
            return "callback " + std::to_string(i) + ": " + x + " | " + y;
    }
    return {};
}

}  // namespace

TEST(ExtractAhead, CallbacksAndFilesAreThoseOfExtractingEachMemberAlone)
{
    // Members too small to hand over, of the sizes worked on ahead (stored,
    // deflated, BZip2), larger than that, with wrong CRCs, under a wrong
    // password's name, a folder, and files already on disk.
    const std::string dir = FreshDir("ahead");
    fixture::ZipBuilder builder;
    std::vector<std::string> names;
    std::mt19937 random(26);
    for (int i = 0; i < 160; ++i) {
        std::size_t size = i % 3 == 0 ? random() % 16000 : 16384 + random() % 300000;
        if (i == 50 || i == 120)
            size = (std::size_t(4) << 20) + 1 + random() % 100000;
        const std::string data = Text(size, random);
        const std::string name = "d" + std::to_string(i % 7) + "/f" + std::to_string(i) + ".txt";
        fixture::Member m;
        switch (i % 4) {
        case 0: m = fixture::Stored(name, data); break;
        case 3: m = fixture::Packed(name, data, 12, fixture::Bzip2Pack(data)); break;
        default: m = fixture::Packed(name, data, 8, fixture::DeflatePack(data)); break;
        }
        if (i % 23 == 11)
            m.PlainCrc = fixture::Crc32(data) ^ 0x100;
        names.push_back(name);
        builder.Add(m);
        if (i == 80) {
            names.push_back("d9/");
            builder.Add(fixture::Stored("d9/", ""));
        }
    }
    const std::string archive = dir + "/ahead.zip";
    WriteFile(archive, builder.Finish().Bytes());

    // Without overwriting, every fifth file exists already and is skipped.
    const auto prepare = [&](const std::string& name) {
        const std::string target = FreshDir(name);
        for (std::size_t i = 0; i < names.size(); i += 5)
            if (names[i].back() != '/') {
                std::filesystem::create_directories(target + "/" + names[i].substr(0, names[i].find('/')));
                WriteFile(target + "/" + names[i], "there before");
            }
        return target;
    };
    for (const bool overwrite : {false, true}) {
        Options o;
        o.overwrite = overwrite;
        o.verbose = true;
        const std::string together = prepare("ahead_together");
        const Result all = Exec(archive, together, o);
        std::vector<Callback> alone;
        int count = 0;
        const std::string oneByOne = prepare("ahead_alone");
        for (const std::string& name : names) {
            Options one = o;
            one.specs = {name};
            const Result r = Exec(archive, oneByOne, one);
            count += r.count;
            std::vector<Callback> callbacks = WithoutBatchEnd(r);
            // Each run ends with its own count; the run of all ends with one.
            ASSERT_FALSE(callbacks.empty());
            callbacks.pop_back();
            alone.insert(alone.end(), callbacks.begin(), callbacks.end());
        }
        std::vector<Callback> whole = WithoutBatchEnd(all);
        ASSERT_FALSE(whole.empty());
        whole.pop_back();
        EXPECT_EQ(all.count, count);
        EXPECT_EQ(FirstDifference(whole, alone), "") << "overwrite " << overwrite;
        EXPECT_EQ(ReadTree(together), ReadTree(oneByOne));
        EXPECT_FALSE(HasLeftovers(together));
    }
}

TEST(ExtractAhead, CancelEndsWithNoPartialFileWhateverIsDecodedAhead)
{
    const std::string dir = FreshDir("ahead_cancel");
    fixture::ZipBuilder builder;
    std::mt19937 random(27);
    std::map<std::string, std::string> expected;
    for (int i = 0; i < 200; ++i) {
        const std::string data = Text(20000 + random() % 200000, random);
        const std::string name = "f" + std::to_string(i);
        expected[name] = data;
        builder.Add(fixture::Packed(name, data, 8, fixture::DeflatePack(data)));
    }
    const std::string archive = dir + "/cancel.zip";
    WriteFile(archive, builder.Finish().Bytes());
    for (long at : {2L, 40L, 333L}) {
        const std::string target = FreshDir("ahead_cancelled");
        Options o;
        o.cancelAt = at;
        const Result r = Exec(archive, target, o);
        EXPECT_EQ(long(r.callbacks.size()), at) << r.Dump();
        int finished = 0;
        for (const auto& [path, data] : ReadTree(target)) {
            EXPECT_EQ(data, expected[path]) << path;
            ++finished;
        }
        EXPECT_EQ(finished, r.count);
        EXPECT_FALSE(HasLeftovers(target));
    }
}
