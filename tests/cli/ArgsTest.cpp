// Argument parsing shared by every fernpack-cli command.
#include <gtest/gtest.h>

#include "cli/Args.h"
#include "cli/Listing.h"

using cli::OptionSpec;
using cli::ParseArgs;

TEST(Args, OptionsMayStandAnywhereAndDoubleDashEndsThem)
{
    const OptionSpec fileSpec{{"--recurse"}, {"-d", "--level"}};
    std::string error;
    auto p = ParseArgs({"a.zip", "--recurse", "x", "-d", "out", "--level=9", "--", "--recurse", "-d"}, fileSpec, error);
    ASSERT_TRUE(p) << error;
    EXPECT_EQ(p->Positional, (std::vector<std::string>{"a.zip", "x", "--recurse", "-d"}));
    EXPECT_TRUE(p->Has("--recurse"));
    EXPECT_EQ(p->Value("-d"), "out");
    EXPECT_EQ(p->Value("--level"), "9");
    // A lone "-" is an argument (as for standard input), not an option.
    p = ParseArgs({"-"}, fileSpec, error);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Positional, std::vector<std::string>{"-"});
}

TEST(Args, UsageErrors)
{
    const OptionSpec fileSpec{{"--tsv"}, {"-d"}};
    std::string error;
    EXPECT_FALSE(ParseArgs({"--nope"}, fileSpec, error));
    EXPECT_NE(error.find("--nope"), std::string::npos);
    EXPECT_FALSE(ParseArgs({"x", "-d"}, fileSpec, error));
    EXPECT_FALSE(ParseArgs({"--tsv=1"}, fileSpec, error));
}

TEST(Listing, DatesOutsideTheCalendarPrintAsZeros)
{
    EXPECT_EQ(cli::FormatDosDateTime(0), "0000-00-00 00:00:00");
    // 30 February 2023.
    EXPECT_EQ(cli::FormatDosDateTime(((43u << 9 | 2u << 5 | 30u) << 16)), "0000-00-00 00:00:00");
    // 29 February 2024 exists; hour 24 does not.
    EXPECT_EQ(cli::FormatDosDateTime(((44u << 9 | 2u << 5 | 29u) << 16) | (23u << 11 | 59u << 5 | 29u)),
              "2024-02-29 23:59:58");
    EXPECT_EQ(cli::FormatDosDateTime(((44u << 9 | 2u << 5 | 29u) << 16) | (24u << 11)), "0000-00-00 00:00:00");
}
