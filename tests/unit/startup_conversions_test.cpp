#include <gtest/gtest.h>

#include <cmath>

#include "host/runtime/conversions.h"

TEST(StartupVal, ReadsTheLeadingNumberAndStopsAtTheFirstForeignCharacter) {
    EXPECT_EQ(Val("1234"), 1234);
    EXPECT_EQ(Val(" 2"), 2);
    EXPECT_EQ(Val("1234 and more"), 1234);
    EXPECT_EQ(Val(":1234"), 0);
    EXPECT_EQ(Val("12ab34"), 12);
    EXPECT_EQ(Val("-0.5"), -0.5);
    EXPECT_EQ(Val("+7"), 7);
    EXPECT_EQ(Val("1.5.3"), 1.5);
    EXPECT_EQ(Val(".25"), 0.25);
    EXPECT_EQ(Val("--1"), 0);
}

TEST(StartupVal, SkipsBlanksTabsAndLineFeedsAnywhere) {
    EXPECT_EQ(Val("  1 2\t3\n4"), 1234);
    EXPECT_EQ(Val(" - 5"), -5);
}

TEST(StartupVal, GivesZeroWithoutDigits) {
    EXPECT_EQ(Val(""), 0);
    EXPECT_EQ(Val("abc"), 0);
    EXPECT_EQ(Val("-"), 0);
    EXPECT_EQ(Val("."), 0);
    EXPECT_EQ(Val("&H"), 0);
    EXPECT_EQ(Val("&"), 0);
}

TEST(StartupVal, ReadsExponentsOnlyWhenDigitsFollow) {
    EXPECT_EQ(Val("1e3"), 1000);
    EXPECT_EQ(Val("2D2"), 200);
    EXPECT_EQ(Val("5E-1"), 0.5);
    EXPECT_EQ(Val("1e"), 1);
    EXPECT_EQ(Val("1e+x"), 1);
}

TEST(StartupVal, ReadsHexAndOctalAsSixteenOrThirtyTwoBitIntegers) {
    EXPECT_EQ(Val("&H10"), 16);
    EXPECT_EQ(Val("&hff zz"), 255);
    EXPECT_EQ(Val("&HFFFF"), -1);
    EXPECT_EQ(Val("&H10000"), 65536);
    EXPECT_EQ(Val("&HFFFFFFFF"), -1);
    EXPECT_EQ(Val("&H7FFFFFFF"), 2147483647);
    EXPECT_EQ(Val("&O17"), 15);
    EXPECT_EQ(Val("&O177777"), -1);
    EXPECT_EQ(Val("&O78"), 7);
}

TEST(StartupVal, OverflowGivesZero) {
    EXPECT_EQ(Val("&H100000000"), 0);
    EXPECT_EQ(Val("1e400"), 0);
    EXPECT_EQ(Val("-1e400"), 0);
    EXPECT_EQ(Val("1e-400"), 0);  // underflow is zero, not an error
    EXPECT_EQ(Val("123456789012345678901234567890"), 123456789012345678901234567890.0);
}

TEST(StartupNumberFromText, AcceptsBlanksAroundAWholeNumber) {
    EXPECT_EQ(NumberFromText(" 2"), 2.0);
    EXPECT_EQ(NumberFromText("2 "), 2.0);
    EXPECT_EQ(NumberFromText("\t-3\t"), -3.0);
    EXPECT_EQ(NumberFromText("1.7"), 1.7);
    EXPECT_EQ(NumberFromText("-0.5"), -0.5);
    EXPECT_EQ(NumberFromText("40000"), 40000.0);
    EXPECT_EQ(NumberFromText("&H10"), 16.0);
    EXPECT_EQ(NumberFromText("1E2"), 100.0);
}

TEST(StartupNumberFromText, RejectsTextThatIsNotANumber) {
    EXPECT_FALSE(NumberFromText("abc"));
    EXPECT_FALSE(NumberFromText(""));
    EXPECT_FALSE(NumberFromText("   "));
    EXPECT_FALSE(NumberFromText("12abc"));
    EXPECT_FALSE(NumberFromText("1 2"));
    EXPECT_FALSE(NumberFromText("1e"));
    EXPECT_FALSE(NumberFromText("."));
    EXPECT_FALSE(NumberFromText("1e400"));
    EXPECT_FALSE(NumberFromText("inf"));
    EXPECT_FALSE(NumberFromText("nan"));
}

TEST(StartupIntPart, RoundsTowardsMinusInfinity) {
    EXPECT_EQ(IntPart(1.7), 1);
    EXPECT_EQ(IntPart(-0.5), -1);
    EXPECT_EQ(IntPart(-2.0), -2);
    EXPECT_EQ(IntPart(2.0), 2);
}

TEST(StartupRounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundToInt16(2.5), int16_t{2});
    EXPECT_EQ(RoundToInt16(3.5), int16_t{4});
    EXPECT_EQ(RoundToInt16(-2.5), int16_t{-2});
    EXPECT_EQ(RoundToInt16(-3.5), int16_t{-4});
    EXPECT_EQ(RoundToInt16(0.5), int16_t{0});
    EXPECT_EQ(RoundToInt16(2.4999), int16_t{2});
    EXPECT_EQ(RoundToInt16(2.5001), int16_t{3});
    EXPECT_EQ(RoundToInt32(1234.5), int32_t{1234});
    EXPECT_EQ(RoundToInt32(1235.5), int32_t{1236});
}

TEST(StartupRounding, OverflowIsReportedAfterRounding) {
    EXPECT_EQ(RoundToInt16(32767.0), int16_t{32767});
    EXPECT_EQ(RoundToInt16(32767.4), int16_t{32767});
    EXPECT_FALSE(RoundToInt16(32767.5));
    EXPECT_EQ(RoundToInt16(-32768.5), int16_t{-32768});
    EXPECT_FALSE(RoundToInt16(-32769.0));
    EXPECT_FALSE(RoundToInt16(40000.0));
    EXPECT_EQ(RoundToInt32(2147483647.0), int32_t{2147483647});
    EXPECT_FALSE(RoundToInt32(2147483647.5));
    EXPECT_EQ(RoundToInt32(-2147483648.0), int32_t{-2147483647 - 1});
    EXPECT_FALSE(RoundToInt32(1e300));
    EXPECT_FALSE(RoundToInt16(std::nan("")));
    EXPECT_FALSE(RoundToInt32(INFINITY));
}

TEST(StartupNumberText, NonNegativeNumbersGetALeadingBlank) {
    EXPECT_EQ(NumberText(0), " 0");
    EXPECT_EQ(NumberText(2), " 2");
    EXPECT_EQ(NumberText(15), " 15");
    EXPECT_EQ(NumberText(-1), "-1");
    EXPECT_EQ(NumberText(-32768), "-32768");
}

TEST(StartupFormatHashes, ZeroIsEmptyAndOthersArePlainDigits) {
    EXPECT_EQ(FormatHashes(0), "");
    EXPECT_EQ(FormatHashes(5), "5");
    EXPECT_EQ(FormatHashes(30), "30");
    EXPECT_EQ(FormatHashes(-7), "-7");
}
