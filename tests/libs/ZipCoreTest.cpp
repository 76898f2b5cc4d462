// The ZIP core's parts on their own: name safety, the progress step schedule, the temporary-file scheme, the folder
// walk that refuses links, and the directory reader on hand-built bytes.
#include <algorithm>
#include <cstring>
#include <random>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>


#include "PackedData.h"
#include "ZipFixture.h"
#include "libs/zipcore/AesDecryptor.h"
#include "libs/zipcore/CallbackReporter.h"
#include "libs/zipcore/ArchiveReader.h"
#include "libs/zipcore/DlopenCrypto.h"
#include "libs/zipcore/MappedFile.h"
#include "libs/zipcore/OpensslCrypto.h"
#include "libs/zipcore/Crc32.h"
#include "libs/zipcore/EntryDecoder.h"
#include "libs/zipcore/SafePath.h"
#include "libs/zipcore/SteppedSink.h"
#include "libs/zipcore/TargetTree.h"
#include "libs/zipcore/TempFile.h"
#include "platform/TemporaryFiles.h"

namespace fs = std::filesystem;
using namespace zipcore;

namespace {

TEST(SafePath, RefusesEveryEscape)
{
    std::vector<std::string> parts;
    std::string reason;
    for (const std::string& bad : std::vector<std::string>{"../x", "a/../../x", "/etc/passwd", "C:/x", "c:x", "a\\b", "..", "a/..", std::string("a\0b", 3), ""})
        EXPECT_FALSE(SplitSafePath(bad, &parts, &reason)) << bad;
    ASSERT_TRUE(SplitSafePath("./a//b/./c.txt", &parts, &reason));
    EXPECT_EQ(parts, (std::vector<std::string>{"a", "b", "c.txt"}));
    ASSERT_TRUE(SplitSafePath("dir/", &parts, &reason));
    EXPECT_EQ(parts, std::vector<std::string>{"dir"});
    EXPECT_TRUE(SplitSafePath("a..b/..c", &parts, &reason));
}

TEST(FitMessage, ShortensNamesInTheMiddleAndKeepsTheWordsWhole)
{
    EXPECT_EQ(FitMessage({"Cannot open ", Named("a.zip"), ": gone"}, 100), "Cannot open a.zip: gone");

    const std::string path = "/" + std::string(300, 'p') + "/file.zip";
    std::string text = FitMessage({"Cannot open ", Named(path), ": No such file or directory"}, 120);
    EXPECT_EQ(text.size(), 120u);
    EXPECT_EQ(text.rfind("Cannot open /ppp", 0), 0u);
    EXPECT_NE(text.find("pp...pp"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 36), "/file.zip: No such file or directory");

    // Two names: the short one stays whole, the long one gives way.
    text = FitMessage({"Skipped ", Named("short"), " for ", Named(std::string(500, 'L')), "; kept"}, 60);
    EXPECT_EQ(text.size(), 60u);
    EXPECT_EQ(text.rfind("Skipped short for LLL", 0), 0u);
    EXPECT_EQ(text.substr(text.size() - 9), "LLL; kept");

    // A UTF-8 character is never split; words that alone overflow are cut
    // in the middle of the whole text.
    const std::string umlauts = "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4";
    text = FitMessage({Named(umlauts)}, 8);
    EXPECT_LE(text.size(), 8u);
    EXPECT_EQ(text, "\xC3\xA4...\xC3\xA4");
    text = FitMessage({std::string(50, 'w') + "END"}, 20);
    EXPECT_EQ(text.size(), 20u);
    EXPECT_EQ(text.substr(17), "END");
}

class Collect final : public OutputSink {
public:
    bool Write(const std::uint8_t* data, std::size_t len) override
    {
        bytes.append(reinterpret_cast<const char*>(data), len);
        return true;
    }
    std::string bytes;
};

TEST(SteppedSink, TakesExactlyTheAnnouncedSteps)
{
    EXPECT_EQ(ProgressSteps(0), 1u);
    EXPECT_EQ(ProgressSteps(65535), 1u);
    EXPECT_EQ(ProgressSteps(65536), 2u);
    EXPECT_EQ(ProgressSteps(100000), 3u);
    for (std::uint64_t size : {0ull, 1ull, 32768ull, 65536ull, 100000ull, 1000003ull}) {
        for (std::size_t piece : {std::size_t(1) << 20, std::size_t(4096), std::size_t(777)}) {
            std::string data(size, 'z');
            Collect collect;
            std::vector<std::size_t> at;  // bytes written when each step came
            SteppedSink sink(&collect, size, [&] {
                at.push_back(collect.bytes.size());
                return true;
            });
            for (std::size_t off = 0; off < size; off += piece)
                ASSERT_TRUE(sink.Write(reinterpret_cast<const std::uint8_t*>(data.data()) + off,
                                       std::min<std::size_t>(piece, size - off)));
            ASSERT_TRUE(sink.Finish());
            ASSERT_EQ(at.size(), ProgressSteps(size)) << size;
            EXPECT_EQ(collect.bytes.size(), size);
            // Spread over the data: step k comes at k/steps of it.
            for (std::size_t k = 0; k + 1 < at.size(); ++k)
                EXPECT_EQ(at[k], (k + 1) * size / at.size());
        }
    }
}

TEST(SteppedSink, StopsAtTheFirstRefusal)
{
    Collect collect;
    int calls = 0;
    SteppedSink sink(&collect, 200000, [&] { return ++calls < 2; });
    std::string data(200000, 'q');
    EXPECT_FALSE(sink.Write(reinterpret_cast<const std::uint8_t*>(data.data()), data.size()));
    EXPECT_EQ(calls, 2);
    EXPECT_FALSE(sink.Finish());
    EXPECT_EQ(calls, 2);
    EXPECT_LT(collect.bytes.size(), data.size());
}

std::string Scratch(const std::string& name)
{
    std::string d = fs::temp_directory_path() / ("zipcore_tests." + std::to_string(getpid())) / name;
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

TEST(TempFile, CommitsCompleteFilesAndLeavesNothingOnFailure)
{
    std::string dir = Scratch("temp");
    int dirFd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    std::string error;
    bool exists = false;
    {
        TempFile t;
        ASSERT_TRUE(t.Create(dirFd, 0644, &error)) << error;
        ASSERT_EQ(write(t.Descriptor(), "abc", 3), 3);
        ASSERT_TRUE(t.Commit("one.txt", false, &exists, &error)) << error;
    }
    {
        TempFile t;
        ASSERT_TRUE(t.Create(dirFd, 0644, &error));
        ASSERT_EQ(write(t.Descriptor(), "xyz", 3), 3);
        EXPECT_FALSE(t.Commit("one.txt", false, &exists, &error));
        EXPECT_TRUE(exists);
    }
    {
        TempFile t;
        ASSERT_TRUE(t.Create(dirFd, 0644, &error));
        ASSERT_EQ(write(t.Descriptor(), "new", 3), 3);
        ASSERT_TRUE(t.Commit("one.txt", true, &exists, &error)) << error;
    }
    {
        TempFile t;
        ASSERT_TRUE(t.Create(dirFd, 0644, &error));
        ASSERT_EQ(write(t.Descriptor(), "lost", 4), 4);
    }  // discarded
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename());
    EXPECT_EQ(names, std::vector<std::string>{"one.txt"});
    std::string content(3, '\0');
    int fd = open((dir + "/one.txt").c_str(), O_RDONLY);
    ASSERT_EQ(read(fd, content.data(), 3), 3);
    close(fd);
    EXPECT_EQ(content, "new");
    close(dirFd);
}

TEST(TempFile, RemovesOnlyLeftoversProvablyOursThatNobodyHolds)
{
    namespace temporaries = platform::temporaries;
    std::string dir = Scratch("stale");
    int dirFd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    auto make = [&](const std::string& name, const char* mark) {
        int fd = open((dir + "/" + name).c_str(), O_CREAT | O_WRONLY, 0600);
        if (mark != nullptr) {
            EXPECT_TRUE(temporaries::Mark(fd, mark));
        }
        return fd;
    };
    const std::string ours = ".fernpack-0000000000000001.tmp", heldName = ".fernpack-0000000000000002.tmp";
    close(make(ours, ours.c_str()));
    int held = make(heldName, heldName.c_str());
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    // Files of users that only look like ours: never deleted.
    close(make(".fernpack-notes.tmp", nullptr));
    close(make(".fernpack-0000000000000003.tmp", nullptr));
    close(make(".fernpack-0000000000000004.tmp", ".fernpack-0000000000000001.tmp"));  // a copy of a leftover
    EXPECT_EQ(RemoveStaleTemporaries(dirFd), 1);
    EXPECT_FALSE(fs::exists(dir + "/" + ours));
    EXPECT_TRUE(fs::exists(dir + "/" + heldName));
    close(held);
    EXPECT_EQ(RemoveStaleTemporaries(dirFd), 1);
    std::vector<std::string> left;
    for (auto& e : fs::directory_iterator(dir))
        left.push_back(e.path().filename());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{".fernpack-0000000000000003.tmp", ".fernpack-0000000000000004.tmp",
                                              ".fernpack-notes.tmp"}));

    // What a writer leaves when it dies between naming its file and moving
    // it into place is ours, and goes.
    std::string name;
    int fd = temporaries::CreateNamed(dirFd, 0644, &name);
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(IsTemporaryName(name));
    EXPECT_EQ(RemoveStaleTemporaries(dirFd), 0);  // still held
    close(fd);
    EXPECT_EQ(RemoveStaleTemporaries(dirFd), 1);
    close(dirFd);
    EXPECT_FALSE(IsTemporaryName(".fernpack-0123.tmp"));
    EXPECT_FALSE(IsTemporaryName("fernpack-0123456789abcdef.tmp"));
}

TEST(TargetTree, CreatesFoldersAndRefusesLinks)
{
    std::string dir = Scratch("tree");
    fs::create_directories(dir + "/../tree_outside");
    fs::create_directory_symlink("../tree_outside", dir + "/link");
    int base = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    {
        TargetTree tree(base);
        std::string reason;
        std::vector<std::string> parts{"a", "b", "c"};
        EXPECT_GE(tree.OpenFolder(parts, 3, true, &reason), 0) << reason;
        EXPECT_TRUE(fs::is_directory(dir + "/a/b/c"));
        std::vector<std::string> viaLink{"link", "x"};
        EXPECT_LT(tree.OpenFolder(viaLink, 2, true, &reason), 0);
        EXPECT_NE(reason.find("symbolic link"), std::string::npos);
        EXPECT_FALSE(fs::exists(dir + "/../tree_outside/x"));
        std::vector<std::string> missing{"nope"};
        EXPECT_LT(tree.OpenFolder(missing, 1, false, &reason), 0);
    }
    close(base);
}

// The pages of a mapped archive that were done with leave the process, and
// reading them again still gives the file's bytes.
TEST(MappedFile, PassedPagesLeaveAndReadBackTheSame)
{
    const auto rssFileKb = [] {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line))
            if (line.rfind("RssFile:", 0) == 0)
                return std::stol(line.substr(8));
        return -1L;
    };
    const std::string path = Scratch("mapped") + "/big.bin";
    std::vector<std::uint8_t> bytes(std::size_t(24) << 20);
    std::mt19937 random(7);
    for (auto& b : bytes)
        b = std::uint8_t(random());
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    MappedFile file;
    std::string error;
    ASSERT_TRUE(file.Open(path, &error)) << error;
    const auto sum = [&](std::size_t from, std::size_t to) {
        return Crc32(0, file.Data() + from, to - from);
    };
    const std::uint32_t whole = Crc32(0, bytes.data(), bytes.size());
    const long before = rssFileKb();
    ASSERT_EQ(sum(0, bytes.size()), whole);
    EXPECT_GT(rssFileKb() - before, 20 * 1024) << "every page was touched";
    // A walk in 1 MiB steps holds no more than its window behind it.
    PassedPages walk;
    for (std::size_t at = 0; at <= bytes.size(); at += std::size_t(1) << 20)
        walk.At(file.Data() + at);
    EXPECT_LT(rssFileKb() - before, 10 * 1024);
    ReleaseMappedPages(file.Data(), file.Data() + bytes.size());
    EXPECT_LT(rssFileKb() - before, 1024);
    EXPECT_EQ(sum(0, bytes.size()), whole);
}

// More folders than the cache holds, visited in turns and at two depths:
// every answer is the folder asked for, and the open folders stay bounded.
TEST(TargetTree, ManyFoldersInTurnsStayRightAndBounded)
{
    const std::string dir = Scratch("tree_turns");
    const int base = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    const auto openFds = [] {
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator{});
    };
    const auto before = openFds();
    {
        TargetTree tree(base);
        std::string reason;
        for (int round = 0; round < 3; ++round) {
            for (int f = 0; f < 600; ++f) {
                std::vector<std::string> parts{"d" + std::to_string(f % 300), "s" + std::to_string(f % 2), "leaf"};
                const std::size_t depth = f % 3 == 0 ? 2 : 1;
                const int fd = tree.OpenFolder(parts, depth, true, &reason);
                ASSERT_GE(fd, 0) << reason;
                struct stat got, want;
                ASSERT_EQ(fstat(fd, &got), 0);
                std::string path = dir + "/" + parts[0] + (depth == 2 ? "/" + parts[1] : "");
                ASSERT_EQ(stat(path.c_str(), &want), 0);
                EXPECT_EQ(got.st_ino, want.st_ino) << path;
            }
            EXPECT_LE(openFds() - before, 300) << "round " << round;
        }
    }
    EXPECT_EQ(openFds(), before);
    close(base);
}

// A stored-entry archive built by hand, optionally behind a prefix, with the
// central directory offsets counted from the archive's own start.
std::string BuildArchive(const std::vector<std::pair<std::string, std::string>>& files, const std::string& prefix,
                         const std::string& comment = "")
{
    auto le16 = [](std::string& s, unsigned v) { s += char(v & 0xFF); s += char((v >> 8) & 0xFF); };
    auto le32 = [&](std::string& s, unsigned v) { le16(s, v & 0xFFFF); le16(s, v >> 16); };
    std::string body, cd;
    for (const auto& [name, data] : files) {
        unsigned crc = Crc32(0, data.data(), data.size());
        unsigned offset = unsigned(body.size());
        le32(body, 0x04034b50); le16(body, 10); le16(body, 0); le16(body, 0); le16(body, 0); le16(body, 0x21);
        le32(body, crc); le32(body, unsigned(data.size())); le32(body, unsigned(data.size()));
        le16(body, unsigned(name.size())); le16(body, 0);
        body += name + data;
        le32(cd, 0x02014b50); le16(cd, 20); le16(cd, 10); le16(cd, 0); le16(cd, 0); le16(cd, 0); le16(cd, 0x21);
        le32(cd, crc); le32(cd, unsigned(data.size())); le32(cd, unsigned(data.size()));
        le16(cd, unsigned(name.size())); le16(cd, 0); le16(cd, 0); le16(cd, 0); le16(cd, 0); le32(cd, 0);
        le32(cd, offset);
        cd += name;
    }
    std::string end;
    le32(end, 0x06054b50); le16(end, 0); le16(end, 0); le16(end, unsigned(files.size()));
    le16(end, unsigned(files.size())); le32(end, unsigned(cd.size())); le32(end, unsigned(body.size()));
    le16(end, unsigned(comment.size()));
    return prefix + body + cd + end + comment;
}

std::string DecodeAll(ArchiveReader& reader, const ZipEntry& entry, DecodeStatus* status)
{
    EntryData data;
    std::string error;
    if (!reader.LocateData(entry, &data, &error)) {
        *status = DecodeStatus::BadData;
        return error;
    }
    EntryDecoder decoder;
    Collect collect;
    *status = decoder.Decode(entry, data, "", collect, &error);
    return collect.bytes;
}

TEST(ArchiveReader, FindsTheArchiveBehindAStubAndAComment)
{
    std::string stub(10000, 'S');
    std::memcpy(stub.data() + 50, "PK\x03\x04", 4);
    std::memcpy(stub.data() + 90, "PK\x05\x06", 4);
    for (std::string prefix : {std::string(), stub}) {
        std::string bytes = BuildArchive({{"a.txt", "alpha"}, {"dir/b.txt", "bravo!"}}, prefix, "a comment PK");
        ArchiveReader reader;
        std::string error;
        ASSERT_TRUE(reader.Open(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &error)) << error;
        EXPECT_EQ(reader.ArchiveStart(), prefix.size());
        ASSERT_EQ(reader.Entries().size(), 2u);
        DecodeStatus status;
        EXPECT_EQ(DecodeAll(reader, reader.Entries()[1], &status), "bravo!");
        EXPECT_EQ(status, DecodeStatus::Ok);
    }
}

TEST(ArchiveReader, RefusesDamageWithAReason)
{
    std::string good = BuildArchive({{"a.txt", "alpha"}}, "");
    ArchiveReader reader;
    std::string error;
    auto open = [&](const std::string& b) {
        return reader.Open(reinterpret_cast<const std::uint8_t*>(b.data()), b.size(), &error);
    };
    EXPECT_FALSE(open("not a zip at all"));
    EXPECT_FALSE(open(""));
    EXPECT_FALSE(open(good.substr(0, good.size() - 30)));  // end record cut
    std::string many = good;
    many[good.size() - 22 + 10] = char(200);  // more entries than fit
    many[good.size() - 22 + 8] = char(200);
    EXPECT_FALSE(open(many));
    std::string split = good;
    split[good.size() - 22 + 4] = 1;  // disk number
    EXPECT_FALSE(open(split));
    EXPECT_NE(error.find("split"), std::string::npos);
    // Data cut short behind a good directory: located, then refused.
    std::string badCrc = good;
    badCrc[30 + 5] ^= 1;
    ASSERT_TRUE(open(badCrc));
    DecodeStatus status;
    DecodeAll(reader, reader.Entries()[0], &status);
    EXPECT_EQ(status, DecodeStatus::BadCrc);
}

// Traditional PKWARE encryption, the mirror of the decryptor.
std::string ZipCryptoEncrypt(const std::string& password, const std::string& plain, std::uint8_t check)
{
    std::uint32_t k0 = 0x12345678, k1 = 0x23456789, k2 = 0x34567890;
    auto update = [&](std::uint8_t c) {
        k0 = Crc32Byte(k0, c);
        k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1;
        k2 = Crc32Byte(k2, std::uint8_t(k1 >> 24));
    };
    for (char c : password)
        update(std::uint8_t(c));
    std::string header(11, '\x5a');
    header += char(check);
    std::string out;
    for (char c : header + plain) {
        std::uint32_t t = (k2 | 2) & 0xFFFF;
        std::uint8_t stream = std::uint8_t((t * (t ^ 1)) >> 8);
        out += char(std::uint8_t(c) ^ stream);
        update(std::uint8_t(c));
    }
    return out;
}

// WinZip AES (strength 3) of `plain`: salt, check, data, authentication code.
std::string AesEncrypt(const std::string& password, const std::string& plain)
{
    CryptoProvider& crypto = OpensslCrypto();
    std::uint8_t salt[16];
    for (int i = 0; i < 16; ++i)
        salt[i] = std::uint8_t(i * 7 + 1);
    std::uint8_t derived[66];
    crypto.Pbkdf2HmacSha1(reinterpret_cast<const std::uint8_t*>(password.data()), password.size(), salt, 16, 1000,
                          derived, sizeof(derived));
    // Counter mode is its own inverse: "decrypting" the plain text encrypts it.
    AesDecryptor cipher;
    EXPECT_EQ(cipher.Init(crypto, password, 3, salt, derived + 64), AesDecryptor::InitResult::Ok);
    std::string data(plain.size(), '\0');
    cipher.Decrypt(reinterpret_cast<const std::uint8_t*>(plain.data()), reinterpret_cast<std::uint8_t*>(data.data()),
                   plain.size());
    auto mac = crypto.NewHmacSha1(derived + 32, 32);
    mac->Update(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
    std::uint8_t code[20];
    mac->Final(code);
    return std::string(reinterpret_cast<char*>(salt), 16) + std::string(reinterpret_cast<char*>(derived + 64), 2) +
           data + std::string(reinterpret_cast<char*>(code), 10);
}

struct Decoded {
    DecodeStatus status;
    std::string bytes;
};

Decoded DecodeWith(std::size_t bound, const ZipEntry& entry, const std::string& data, const std::string& password,
                   CryptoProvider* crypto = &OpensslCrypto())
{
    DecoderOptions options;
    options.memoryBound = bound;
    options.crypto = crypto;
    EntryDecoder decoder(options);
    Collect collect;
    std::string detail;
    EntryData located{reinterpret_cast<const std::uint8_t*>(data.data()), data.size()};
    DecodeStatus status = decoder.Decode(entry, located, password, collect, &detail);
    return {status, collect.bytes};
}

TEST(EntryDecoder, WholeAndStreamingInflateAgreeWithAndWithoutEncryption)
{
    std::string plain;
    std::mt19937 rng(3);
    for (int i = 0; i < 400000; ++i)
        plain += char(rng() % 7 ? 'a' + rng() % 4 : rng());
    const std::string packed = fixture::DeflatePack(plain);
    ZipEntry entry;
    entry.method = 8;
    entry.crc = Crc32(0, plain.data(), plain.size());
    entry.uncompressedSize = plain.size();
    entry.dosTime = 0x1234;

    ZipEntry zipCrypto = entry;
    zipCrypto.flags = 1;
    const std::string zcData = ZipCryptoEncrypt("pw", packed, std::uint8_t(entry.crc >> 24));

    ZipEntry aes = entry;
    aes.flags = 1;
    aes.method = 99;
    aes.aes = {true, 2, 3, 8};
    const std::string aesData = AesEncrypt("pw", packed);

    for (std::size_t bound : {std::size_t(64) << 20, std::size_t(1000)}) {
        SCOPED_TRACE(bound);
        for (const auto& [e, data] : {std::pair{entry, packed}, std::pair{zipCrypto, zcData}, std::pair{aes, aesData}}) {
            Decoded good = DecodeWith(bound, e, data, "pw");
            EXPECT_EQ(good.status, DecodeStatus::Ok);
            EXPECT_TRUE(good.bytes == plain);
            if (e.flags & 1) {
                EXPECT_EQ(DecodeWith(bound, e, data, "").status, DecodeStatus::NeedPassword);
                DecodeStatus wrong = DecodeWith(bound, e, data, "wrong").status;
                EXPECT_TRUE(wrong == DecodeStatus::WrongPassword || wrong == DecodeStatus::BadCrc ||
                            wrong == DecodeStatus::BadData);
            }
            // A flipped byte in the middle: caught by inflate, CRC or the code.
            std::string damaged = data;
            damaged[damaged.size() / 2] ^= 0x20;
            EXPECT_NE(DecodeWith(bound, e, damaged, "pw").status, DecodeStatus::Ok);
            // Stated size too small: refused before more output is passed on.
            ZipEntry shorter = e;
            shorter.uncompressedSize = plain.size() - 10;
            Decoded cut = DecodeWith(bound, shorter, data, "pw");
            EXPECT_EQ(cut.status, DecodeStatus::BadData);
            EXPECT_LE(cut.bytes.size(), shorter.uncompressedSize);
        }
    }
}

TEST(EntryDecoder, LibcryptoLoadedOnDemandDecryptsAesToo)
{
    CryptoProvider* loaded = DlopenCrypto();
    ASSERT_NE(loaded, nullptr);
    const std::string plain(100000, 'k');
    ZipEntry aes;
    aes.flags = 1;
    aes.method = 99;
    aes.aes = {true, 1, 3, 8};
    aes.crc = Crc32(0, plain.data(), plain.size());
    aes.uncompressedSize = plain.size();
    const std::string data = AesEncrypt("pw", fixture::DeflatePack(plain));
    Decoded good = DecodeWith(1 << 20, aes, data, "pw", loaded);
    EXPECT_EQ(good.status, DecodeStatus::Ok);
    EXPECT_TRUE(good.bytes == plain);
    EXPECT_EQ(DecodeWith(1 << 20, aes, data, "other", loaded).status, DecodeStatus::WrongPassword);
    // Without a provider AES entries are unsupported, not a crash.
    EXPECT_EQ(DecodeWith(1 << 20, aes, data, "pw", nullptr).status, DecodeStatus::Unsupported);
}

}  // namespace

TEST(ArchiveReader, Zip64FieldsGiveRealValuesAndDamagedOnesAreRefused)
{
    auto wide = [](const std::string& name, const std::string& field) {
        fixture::Member m = fixture::Stored(name, "data of " + name);
        m.CentralCompressedSize = m.CentralUncompressedSize = 0xFFFFFFFF;
        m.CentralExtra = field;
        return m;
    };
    fixture::Member far = fixture::Stored("far", "x");
    far.CentralOffset = 0xFFFFFFFF;
    far.CentralExtra = fixture::Zip64Field({1ULL << 40});
    fixture::ZipBuilder builder;
    builder.Add(wide("good", fixture::Zip64Field({12, 12})))
        .Add(wide("short", fixture::Zip64Field({13})))
        .Add(far)
        .Zip64End()
        .Finish();
    std::string bytes = builder.Bytes();
    ArchiveReader reader;
    std::string error;
    ASSERT_TRUE(reader.Open(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &error)) << error;
    ASSERT_EQ(reader.Entries().size(), 3u);
    EXPECT_TRUE(reader.IsZip64());
    DecodeStatus status;
    EXPECT_EQ(DecodeAll(reader, reader.Entries()[0], &status), "data of good");
    EXPECT_EQ(status, DecodeStatus::Ok);
    EXPECT_TRUE(reader.Entries()[1].zip64Damaged);
    EXPECT_EQ(DecodeAll(reader, reader.Entries()[1], &status), kZip64DamagedText);
    EXPECT_EQ(reader.Entries()[2].localOffset, 1ULL << 40);
    EXPECT_EQ(DecodeAll(reader, reader.Entries()[2], &status), "local header missing or damaged");

    // Absurd counts in the Zip64 end record: refused, not reserved for.
    const std::size_t record = bytes.rfind("PK\x06\x06");
    ASSERT_NE(record, std::string::npos);
    for (std::size_t at : {record + 24, record + 32})
        std::memcpy(bytes.data() + at, "\xff\xff\xff\xff\xff\xff\xff\x0f", 8);
    EXPECT_FALSE(reader.Open(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &error));
    EXPECT_NE(error.find("more entries"), std::string::npos) << error;
}
