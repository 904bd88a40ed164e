// Tests of the estimate of pi and its line, including counts past 32 bits.
#include "support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace
{
std::string Line(unsigned long long n, unsigned long long c)
{
    CStick::SticksTested = n;
    CStick::SticksCrossing = c;
    char buffer[ESTIMATE_TEXT_SIZE];
    FormatEstimate(buffer);
    return buffer;
}

// The line as 32-bit counters would print it, for counts below 2^31.
std::string Line32(uint32_t n, uint32_t c)
{
    const double value = c == 0 ? 0.0 : static_cast<double>(static_cast<uint32_t>(2 * n)) / static_cast<double>(c);
    char buffer[ESTIMATE_TEXT_SIZE];
    std::snprintf(buffer, sizeof(buffer), "pi = 2 * n / c = 2 * %d / %d = %-13.10f", static_cast<int>(n),
                  static_cast<int>(c), value);
    return buffer;
}
} // namespace

TEST(Estimate, KnownValues)
{
    EXPECT_EQ("pi = 2 * n / c = 2 * 1000 / 637 = 3.1397174254 ", Line(1000, 637));
    EXPECT_NEAR(3.1397174254, EstimateValue(), 1e-10);
    EXPECT_EQ("pi = 2 * n / c = 2 * 0 / 0 = 0.0000000000 ", Line(0, 0));
    EXPECT_EQ(0.0, EstimateValue());
    EXPECT_EQ("pi = 2 * n / c = 2 * 17 / 0 = 0.0000000000 ", Line(17, 0));
    // Wider values overflow the 13 columns rather than being cut.
    EXPECT_EQ("pi = 2 * n / c = 2 * 500 / 1 = 1000.0000000000", Line(500, 1));
}

TEST(Estimate, SameTextAsThirtyTwoBitCountsBelowTwoToThe31)
{
    RandomSeed(3);
    for (int i = 0; i < 20000; ++i)
    {
        // Spread over every magnitude up to 2^31 - 1.
        const int bits = 1 + Rand() % 31;
        const uint32_t n = ((static_cast<uint32_t>(Rand()) << 16) ^ static_cast<uint32_t>(Rand())) &
                           ((bits == 31 ? 0x7FFFFFFFu : (1u << bits) - 1u));
        const uint32_t c = static_cast<uint32_t>(static_cast<double>(n) * 0.6366 * (Rand() / 32767.0));
        ASSERT_EQ(Line32(n, c), Line(n, c)) << n << " " << c;
    }
    ASSERT_EQ(Line32(2147483647u, 1367130551u), Line(2147483647u, 1367130551u));
}

TEST(Estimate, CountsPastThirtyTwoBitsStayExact)
{
    // About four months of needles at 2000 a second, and far beyond.
    const unsigned long long n = (1ull << 32) + 12345;
    const unsigned long long c = 2734276000ull;
    EXPECT_EQ("pi = 2 * n / c = 2 * 4294979641 / 2734276000 = 3.1415845664 ", Line(n, c));
    EXPECT_NEAR(3.1415845664, EstimateValue(), 1e-10);

    // Just past 2^31, where a signed 32-bit print turned negative.
    EXPECT_EQ("pi = 2 * n / c = 2 * 2147483648 / 1367130552 = 3.1415926516 ", Line(2147483648ull, 1367130552ull));

    const unsigned long long big = 1ull << 40;
    Line(big, big / 2);
    EXPECT_EQ(4.0, EstimateValue());
}

TEST(Estimate, LongestLineFitsTheBuffer)
{
    const std::string line = Line(~0ull, 1);
    EXPECT_LT(line.size(), static_cast<size_t>(ESTIMATE_TEXT_SIZE));
    EXPECT_EQ(0u, line.find("pi = 2 * n / c = 2 * 18446744073709551615 / 1 = "));
}
