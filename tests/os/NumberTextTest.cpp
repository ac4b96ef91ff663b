// Numbers read from text: what counts as a number, rounding halves to even, and the errors.

#include <gtest/gtest.h>

#include "abi/RuntimeError.h"
#include "os/NumberText.h"

namespace notecast {
namespace {

std::int32_t errorOf(const std::string& text) {
  try {
    toInt32(text);
  } catch (const RuntimeError& error) {
    return error.number();
  }
  return 0;
}

TEST(NumberTextTest, DecimalFormsWithBlanksSignFractionAndExponent) {
  EXPECT_EQ(parseDecimal(" 12 "), 12.0);
  EXPECT_EQ(parseDecimal("-0.5"), -0.5);
  EXPECT_EQ(parseDecimal("+3."), 3.0);
  EXPECT_EQ(parseDecimal(".5"), 0.5);
  EXPECT_EQ(parseDecimal("1e2"), 100.0);
  for (const char* text : {"", " ", "abc", "1x", "0x10", "inf", "nan", "1e", "--1", ".", "1 2"})
    EXPECT_FALSE(parseDecimal(text)) << '"' << text << '"';
}

TEST(NumberTextTest, ConversionRoundsHalvesToEven) {
  EXPECT_EQ(toInt32("12.5"), 12);
  EXPECT_EQ(toInt32("13.5"), 14);
  EXPECT_EQ(toInt32("126.6"), 127);
  EXPECT_EQ(toInt32("-2.5"), -2);
  EXPECT_EQ(toInt32("2147483647"), 2147483647);
  EXPECT_EQ(toInt32("-2147483648"), -2147483647 - 1);
}

TEST(NumberTextTest, NonNumbersAreTypeMismatchesAndHugeNumbersOverflow) {
  EXPECT_EQ(errorOf("Strobe"), 13);
  EXPECT_EQ(errorOf(""), 13);
  EXPECT_EQ(errorOf("2147483648"), 6);
  EXPECT_EQ(errorOf("1e300"), 6);
}

}  // namespace
}  // namespace notecast
