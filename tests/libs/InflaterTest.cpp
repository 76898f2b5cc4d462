// Our inflater on its own: fed in pieces of any size (down to one byte, so
// every bit-reader refill meets a piece boundary), as deflate it gives what
// zlib gives, and it refuses damaged and cut streams. (Deflate64's own
// codes are read in MethodsTest; zlib's streams are no Deflate64, where
// length code 285 takes 16 extra bits.)
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "PackedData.h"
#include "libs/zipcore/decoders/Inflater.h"

using namespace zipcore;

namespace {

class Pieces final : public CompressedInput {
public:
    Pieces(const std::string& data, std::size_t piece) : data_(data), piece_(piece) {}
    bool Next(const std::uint8_t** data, std::size_t* len) override
    {
        *data = reinterpret_cast<const std::uint8_t*>(data_.data()) + at_;
        *len = std::min(piece_, data_.size() - at_);
        at_ += *len;
        return true;
    }

private:
    const std::string& data_;
    std::size_t piece_, at_ = 0;
};

class Collect final : public DecodedOutput {
public:
    explicit Collect(std::size_t limit = std::string::npos) : limit_(limit) {}
    bool Put(const std::uint8_t* data, std::size_t len) override
    {
        bytes.append(reinterpret_cast<const char*>(data), len);
        return bytes.size() <= limit_;
    }
    std::string bytes;

private:
    std::size_t limit_;
};

// What Run gives: "ok", "stopped" or the reason of damage; output in *out.
std::string Inflate(bool deflate64, const std::string& stream, std::size_t piece, std::string* out = nullptr,
                    std::size_t limit = std::string::npos)
{
    Inflater inflater(deflate64);
    Pieces in(stream, piece);
    Collect collect(limit);
    const char* reason = "";
    MethodResult r = inflater.Run(in, collect, &reason);
    if (out)
        *out = collect.bytes;
    return r == MethodResult::Done ? "ok" : r == MethodResult::Stopped ? "stopped" : reason;
}

}  // namespace

TEST(Inflater, AgreesWithZlibInAnyPieces)
{
    std::mt19937 rng(5);
    std::string data;
    for (int i = 0; i < 4000; ++i)
        data += "record " + std::to_string(rng() % 500) + ";";
    for (int i = 0; i < 70000; ++i)
        data += char(rng());
    data += data.substr(1000, 30000);  // a far copy
    data += std::string(5000, 'z');
    for (int level : {0, 1, 6, 9}) {  // stored blocks, fast and thorough matching
        const std::string stream = fixture::DeflatePack(data, level);
        for (std::size_t piece : {std::size_t(1), std::size_t(7), std::size_t(4096), stream.size()}) {
            std::string out;
            ASSERT_EQ(Inflate(false, stream, piece, &out), "ok") << level << " " << piece;
            EXPECT_TRUE(out == data) << level << " " << piece;
        }
    }
    std::string empty;
    EXPECT_EQ(Inflate(false, fixture::DeflatePack("", 6), 1, &empty), "ok");
    EXPECT_TRUE(empty.empty());
}

TEST(Inflater, RefusesDamageAndStopsWhenTheOutputSaysSo)
{
    const std::string noise(100, 'n');
    // Reaching before the first byte.
    EXPECT_EQ(Inflate(true, fixture::Deflate64Writer().Literals("ab").Match(3, 3).Finish(), 1),
              "distance too far back");
    // Block type 3, and a stored block whose lengths disagree.
    EXPECT_EQ(Inflate(true, std::string("\x07", 1), 1), "invalid block type");
    EXPECT_EQ(Inflate(true, std::string("\x01\x05\x00\x00\x00", 5), 1), "invalid stored block lengths");
    // Cut anywhere, a stream is short of its end.
    const std::string stream = fixture::DeflatePack(std::string(20000, 'q') + noise, 9);
    for (std::size_t cut : {std::size_t(0), std::size_t(1), stream.size() / 2, stream.size() - 1})
        EXPECT_EQ(Inflate(false, stream.substr(0, cut), 5), "compressed data ends early") << cut;
    const std::string stored = fixture::DeflatePack(noise, 0);
    EXPECT_EQ(Inflate(true, stored.substr(0, stored.size() - 1), 1), "compressed data ends early");
    // An output that refuses more stops the inflater, with no more handed on.
    std::string out;
    EXPECT_EQ(Inflate(false, fixture::DeflatePack(std::string(2000000, 'r'), 6), 4096, &out, 300000), "stopped");
    EXPECT_LE(out.size(), std::size_t(300000) + 400000);
}
