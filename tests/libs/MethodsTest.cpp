// Members in every method UNZDLL.DLL reads beyond stored and deflate, made
// by our own fixture writer (Zstandard and XZ, which the test archivers do
// not write; Deflate64 with the lengths and distances only it has): they
// test and extract byte for byte, and damaged data ends that member alone
// with the method's own reason, no file for it and nothing left behind;
// data asking for more than 1 GiB of working memory is refused alike.
// Archives from 7zz and Python in these methods are in UnzDllTest's Interop.
#include <climits>
#include <random>

#include <gtest/gtest.h>

#include "PackedData.h"
#include "UnzDllHarness.h"
#include "ZipFixture.h"

using namespace unztest;

namespace {

std::string Noise(std::size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string out(n, '\0');
    for (char& c : out)
        c = char(rng());
    return out;
}

std::string Text(std::size_t lines)
{
    std::string out;
    std::mt19937 rng(3);
    for (std::size_t i = 0; i < lines; ++i)
        out += "line " + std::to_string(i) + " holds " + std::to_string(rng() % 100000) + "\n";
    return out;
}

struct Case {
    const char* method;  // as the messages name it
    fixture::Member member;
    std::string plain;
};

std::vector<Case> Cases()
{
    // Deflate64: 65,536 random bytes, then the longest match from the
    // farthest distance (length code 285 with 16 extra bits, distance code
    // 31), and matches with distance code 30 and ordinary lengths.
    const std::string noise = Noise(65536, 1);
    std::string plain64 = noise;
    auto copy = [&](std::size_t len, std::size_t dist) {
        for (std::size_t i = 0; i < len; ++i)
            plain64 += plain64[plain64.size() - dist];
    };
    copy(65538, 65536);
    copy(300, 40000);
    copy(10, 33000);
    copy(20, 1);
    const std::string deflate64 = fixture::Deflate64Writer()
                                      .Literals(noise)
                                      .Match(65538, 65536)
                                      .Match(300, 40000)
                                      .Match(10, 33000)
                                      .Match(20, 1)
                                      .Finish();
    const std::string text = Text(30000);
    fixture::Member lzma = fixture::Packed("m.lzma", text, 14, fixture::LzmaPack(text, true));
    lzma.Flags = 2;  // the end marker is there
    return {
        {"Deflate64", fixture::Packed("m.deflate64", plain64, 9, deflate64), plain64},
        {"BZip2", fixture::Packed("m.bz2", text, 12, fixture::Bzip2Pack(text)), text},
        {"LZMA", lzma, text},
        {"LZMA", fixture::Packed("m-nomarker.lzma", text, 14, fixture::LzmaPack(text, false)), text},
        {"XZ", fixture::Packed("m.xz", text, 95, fixture::XzPack(text)), text},
        {"Zstandard", fixture::Packed("m.zst", text, 93, fixture::ZstandardPack(text)), text},
    };
}

// `member` between two stored ones, written to `dir`/test.zip.
std::string Between(const std::string& dir, const fixture::Member& member)
{
    fixture::ZipBuilder zip;
    zip.Add(fixture::Stored("before.txt", "before\n")).Add(member).Add(fixture::Stored("after.txt", "after\n")).Finish();
    WriteFile(dir + "/test.zip", zip.Bytes());
    return dir + "/test.zip";
}

}  // namespace

TEST(Methods, EachMethodTestsAndExtractsByteForByte)
{
    const auto cases = Cases();
    fixture::ZipBuilder zip;
    for (const auto& c : cases)
        zip.Add(c.member);
    zip.Finish();
    const std::string dir = FreshDir("methods_all");
    WriteFile(dir + "/all.zip", zip.Bytes());

    Options test;
    test.test = true;
    Result tested = Exec(dir + "/all.zip", "", test);
    EXPECT_EQ(tested.count, int(cases.size())) << tested.Dump();
    EXPECT_TRUE(tested.Messages(true).empty()) << tested.Dump();

    const std::string target = FreshDir("methods_all/out");
    Result extracted = Exec(dir + "/all.zip", target, Options{});
    EXPECT_EQ(extracted.count, int(cases.size())) << extracted.Dump();
    for (const auto& c : cases)
        EXPECT_TRUE(ReadFile(target + "/" + c.member.Name) == c.plain) << c.member.Name;
}

TEST(Methods, DamagedDataEndsThatMemberOnlyWithTheMethodsReason)
{
    for (const auto& c : Cases()) {
        SCOPED_TRACE(c.member.Name);
        struct Damage {
            const char* what;
            fixture::Member member;
            std::string words;  // expected in the message
        };
        std::vector<Damage> damages;
        fixture::Member cut = c.member;  // the data stops half way
        cut.Data.resize(cut.Data.size() / 2);
        damages.push_back({"cut", cut, ""});
        fixture::Member longer = c.member;  // more data than the stated size
        longer.PlainSize = std::int32_t(c.plain.size() - 1000);
        damages.push_back({"longer", longer, "longer than the stated size"});
        fixture::Member shorter = c.member;
        shorter.PlainSize = std::int32_t(c.plain.size() + 1);
        damages.push_back({"shorter", shorter, ""});
        fixture::Member garbage = c.member;  // the stream's own start destroyed
        for (std::size_t i = 0; i < 8 && i < garbage.Data.size(); ++i)
            garbage.Data[i] = char(0xA5 ^ i);
        damages.push_back({"garbage", garbage, std::string(c.method)});
        std::mt19937 rng(11);
        for (int round = 0; round < 6; ++round) {  // bytes flipped anywhere
            fixture::Member flipped = c.member;
            for (int k = 0; k <= round % 3; ++k)
                flipped.Data[rng() % flipped.Data.size()] ^= char(1 + rng() % 255);
            damages.push_back({"flipped", flipped, ""});
        }

        for (const auto& d : damages) {
            SCOPED_TRACE(d.what);
            const std::string dir = FreshDir("methods_damaged");
            const std::string archive = Between(dir, d.member);
            Options test;
            test.test = true;
            Result tested = Exec(archive, "", test);
            const std::string target = FreshDir("methods_damaged/out");
            Result extracted = Exec(archive, target, Options{});
            auto errors = extracted.Messages(true);
            if (std::string(d.what) == "flipped" && extracted.count == 3)
                continue;  // a flip the method cannot notice and the CRC does not see: rare, harmless
            EXPECT_EQ(tested.count, 2) << tested.Dump();
            EXPECT_EQ(extracted.count, 2) << extracted.Dump();
            ASSERT_EQ(errors.size(), 1u) << extracted.Dump();
            EXPECT_NE(errors[0].text.find(c.member.Name), std::string::npos) << errors[0].text;
            EXPECT_NE(errors[0].text.find(d.words), std::string::npos) << errors[0].text;
            EXPECT_EQ(ReadTree(target),
                      (std::vector<std::pair<std::string, std::string>>{{"after.txt", "after\n"},
                                                                        {"before.txt", "before\n"}}));
        }
    }
}

namespace {

// Members whose data asks for more working memory than the 1 GiB any
// method may have, each refused before anything is allocated.
std::vector<Case> Greedy()
{
    const std::string text = Text(1000);
    // LZMA: a 4 GiB dictionary, for a member that says it unpacks to 2 GiB
    // (the dictionary is never made larger than the member).
    std::string lzma = fixture::LzmaPack(text, true);
    lzma.replace(5, 4, "\xff\xff\xff\xff", 4);
    fixture::Member lzmaMember = fixture::Packed("big-dictionary.lzma", text, 14, lzma);
    lzmaMember.Flags = 2;
    lzmaMember.PlainSize = INT32_MAX;
    // XZ: a stream whose one block asks for LZMA2 with a 2 GiB dictionary.
    auto crc = [](const std::string& bytes) {
        std::string out;
        fixture::PutLe32(out, fixture::Crc32(bytes));
        return out;
    };
    const std::string flags("\x00\x01", 2);  // CRC-32 checks
    const std::string block("\x02\x00\x21\x01\x26\x00\x00\x00", 8);  // filter 0x21 (LZMA2), dictionary byte 38
    const std::string xz = std::string("\xfd" "7zXZ\x00", 6) + flags + crc(flags) + block + crc(block) +
                           std::string(64, '\0');
    // Zstandard: a frame whose window descriptor asks for 2^31 bytes, then
    // one last RLE block of 16 bytes.
    const std::string zstd = std::string("\x28\xb5\x2f\xfd\x00\xa8", 6) + std::string("\x83\x00\x00" "a", 4);
    return {
        {"LZMA", lzmaMember, text},
        {"XZ", fixture::Packed("big-dictionary.xz", text, 95, xz), text},
        {"Zstandard", fixture::Packed("big-window.zst", std::string(16, 'a'), 93, zstd), std::string(16, 'a')},
    };
}

}  // namespace

TEST(Methods, WorkingMemoryBeyondOneGiBIsRefusedInTheSameWordsForEveryMethod)
{
    for (const auto& c : Greedy()) {
        SCOPED_TRACE(c.member.Name);
        const std::string dir = FreshDir("methods_greedy");
        const std::string archive = Between(dir, c.member);
        for (const bool testing : {true, false}) {
            const std::string target = testing ? "" : FreshDir("methods_greedy/out");
            Options o;
            o.test = testing;
            Result r = Exec(archive, target, o);
            EXPECT_EQ(r.count, 2) << r.Dump();
            auto errors = r.Messages(true);
            ASSERT_EQ(errors.size(), 1u) << r.Dump();
            // Not damaged data: more than this reader takes on.
            EXPECT_EQ(errors[0].error, 5) << errors[0].text;
            EXPECT_EQ(errors[0].text, std::string(testing ? "Test failed for " : "Cannot extract ") + c.member.Name +
                                          ": needs more than 1 GiB of memory to unpack");
        }
    }
}
