// Reading and writing numbers of edits.
#include <gtest/gtest.h>

#include <climits>

#include "edit_numbers.h"

using namespace korvel::ddx;

TEST(EditNumbers, IntegersAcceptSignsDigitsAndSurroundingBlanks) {
    const std::pair<const char*, int> ok[] = {{"0", 0}, {"-5", -5}, {"+7", 7}, {" \t12\t ", 12}, {"007", 7},
                                              {"2147483647", INT_MAX}, {"-2147483648", INT_MIN}};
    for (const auto& [text, value] : ok) {
        int v = 0;
        EXPECT_EQ(ParseInt(text, &v), Parse::Ok) << text;
        EXPECT_EQ(v, value) << text;
    }
}

TEST(EditNumbers, IntegersRefuseEverythingElse) {
    for (const char* text : {"", " ", "-", "+", "1e1", "0x10", "12abc", "1.0", "1 2", "nan", "inf", "пять", "--1"}) {
        int v = 42;
        EXPECT_EQ(ParseInt(text, &v), Parse::Malformed) << text;
    }
}

TEST(EditNumbers, IntegersTooLargeAreOutOfRangeNotWrapped) {
    int v = 0;
    EXPECT_EQ(ParseInt("99999999999", &v), Parse::OutOfRange);
    EXPECT_EQ(v, INT_MAX);
    EXPECT_EQ(ParseInt("-2147483649", &v), Parse::OutOfRange);
    EXPECT_EQ(v, INT_MIN);
    EXPECT_EQ(ParseInt(std::string(10000, '9'), &v), Parse::OutOfRange);
}

TEST(EditNumbers, NumbersAcceptDecimalsAndExponents) {
    const std::pair<const char*, float> ok[] = {{"1e1", 10.0f}, {".5", 0.5f}, {"5.", 5.0f}, {" 1.165 ", 1.165f},
                                                {"-0.25", -0.25f}, {"2E-1", 0.2f}, {"1e-50", 0.0f}};
    for (const auto& [text, value] : ok) {
        float v = 0;
        EXPECT_EQ(ParseFloat(text, &v), Parse::Ok) << text;
        EXPECT_EQ(v, value) << text;
    }
}

TEST(EditNumbers, NumbersRefuseHexInfinityNanAndJunk) {
    for (const char* text : {"", ".", "e5", "1e", "1e+", "0x10", "inf", "nan", "1,5", "12abc", "- 1", "плотность"}) {
        float v = 0;
        EXPECT_EQ(ParseFloat(text, &v), Parse::Malformed) << text;
    }
    float v = 0;
    EXPECT_EQ(ParseFloat("1e40", &v), Parse::OutOfRange);
}

TEST(EditNumbers, WritingUsesSixSignificantDigitsInTheShortestForm) {
    EXPECT_EQ(FormatFloat(0.1f), "0.1");
    EXPECT_EQ(FormatFloat(1.165f), "1.165");
    EXPECT_EQ(FormatFloat(20.0f), "20");
    EXPECT_EQ(FormatFloat(5.1f), "5.1");
    EXPECT_EQ(FormatFloat(1234567.0f), "1.23457e+06");
    EXPECT_EQ(FormatInt(-30), "-30");
}
