#include <gtest/gtest.h>

#include "browser/pure/readable_text.h"

namespace {

constexpr uint32_t kButtonFace = 0xF0F0F0, kWhite = 0xFFFFFF, kBlack = 0x000000, kNavy = 0x800000;

TEST(ReadableText, KeepsAReadableColourAndSwapsAnUnreadableOne) {
  EXPECT_EQ(ColourBrightness(kWhite), 255u);
  EXPECT_EQ(ColourBrightness(kBlack), 0u);
  EXPECT_LT(ColourBrightness(0xFF0000), ColourBrightness(0x00FF00));  // blue is darker than green
  // Light tree text on the light inactive selection: the dark text is used.
  EXPECT_EQ(ReadableTextColour(kButtonFace, 0xE0E0E0, kBlack, kWhite), kBlack);
  // The same light text on a dark fill stays.
  EXPECT_EQ(ReadableTextColour(0x202020, 0xE0E0E0, kBlack, kWhite), 0xE0E0E0u);
  // Dark text on a dark fill: the light one.
  EXPECT_EQ(ReadableTextColour(kNavy, 0x400000, kBlack, kWhite), kWhite);
  // A readable colour is kept even when it is not one of the two.
  EXPECT_EQ(ReadableTextColour(kButtonFace, 0x0000C0, kBlack, kWhite), 0x0000C0u);
}

}  // namespace
