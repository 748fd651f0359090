// Encode keeps the tables of its last settings: a coder used with changing
// plain sets, space modes and escapes must give what a fresh coder gives.
#include "hexmill.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

TEST(HexmillEncode, KeptTablesFollowEveryChangeOfSettings)
{
    std::mt19937 rng(11);
    const char *plains[] = {nullptr, "", "0123456789", "abc", "+ =", "\xff\x80"};
    const char *escapes[] = {nullptr, "", "=", "%", "==", "\xff"};
    char mutablePlain[] = "0123456789";
    CHexmill reused;
    for (int round = 0; round < 4000; ++round) {
        std::string text(rng() % 60, '\0');
        for (char &c : text)
            c = char(rng() % 4 ? rng() % 256 : "a0 +="[rng() % 5]);
        const int which = int(rng() % 7);
        // The same buffer with other contents must not be mistaken for the
        // set the tables were made for.
        if (which == 6)
            mutablePlain[rng() % 10] = char('a' + rng() % 26);
        const char *plain = which == 6 ? mutablePlain : plains[which];
        const char *escape = escapes[rng() % 6];
        const int16_t spaceMode = int16_t(rng() % 2);
        CHexmill fresh;
        const long a = reused.Encode(text.data(), uint32_t(text.size()), spaceMode, plain, escape);
        const long b = fresh.Encode(text.data(), uint32_t(text.size()), spaceMode, plain, escape);
        ASSERT_EQ(a, b);
        ASSERT_EQ(std::string(reused.GetMyMemOut(), size_t(a)), std::string(fresh.GetMyMemOut(), size_t(b)));
    }
}
