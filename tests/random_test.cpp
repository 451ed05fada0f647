#include <gtest/gtest.h>

#include "game/Random.h"

TEST(RandomTest, UnseededGeneratorStartsAtOneWithKnownDraws) {
    EXPECT_EQ(gameRandom.state, 1u);  // each test runs in a fresh process

    Random random;
    EXPECT_EQ(random.state, 1u);
    EXPECT_EQ(random.Next(), 41u);
    EXPECT_EQ(random.Next(), 18467u);
    EXPECT_EQ(random.Next(), 6334u);
}

TEST(RandomTest, SeedReplacesTheStateAndReplaysTheSequence) {
    Random random;
    random.Next();
    random.Seed(12345);
    EXPECT_EQ(random.state, 12345u);
    EXPECT_EQ(random.Next(), 7584u);
    EXPECT_EQ(random.Next(), 19164u);
    EXPECT_EQ(random.Next(), 25795u);

    random.Seed(12345);
    EXPECT_EQ(random.Next(), 7584u);

    // Zero is an ordinary seed, not a stuck state.
    random.Seed(0);
    EXPECT_EQ(random.Next(), 38u);
    EXPECT_EQ(random.Next(), 7719u);
    EXPECT_EQ(random.Next(), 21238u);
}

TEST(RandomTest, StateWrapsModulo2To32AndDrawsDropBit31) {
    Random random;
    random.Seed(0xFFFFFFFFu);
    EXPECT_EQ(random.Next(), 35u);
    EXPECT_EQ(random.state, 0x00235AC6u);

    // This state differs only in bit 31, which a draw must not carry.
    random.Seed(0x7FFFFFFFu);
    EXPECT_EQ(random.Next(), 35u);
    EXPECT_EQ(random.state, 0x80235AC6u);
}
