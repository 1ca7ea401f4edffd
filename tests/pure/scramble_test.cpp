#include <gtest/gtest.h>
#include <vector>
#include "core/pure/scramble.h"

TEST(Scramble, RoundTripsAndChangesBytes) {
  std::vector<uint8_t> plain(100);
  for (size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<uint8_t>(i);
  auto buf = plain;
  ASSERT_TRUE(ScrambleBuffer(buf.data(), buf.size()));
  EXPECT_NE(buf, plain);
  // The key repeats every 16 bytes.
  for (size_t i = 16; i < buf.size(); ++i) EXPECT_EQ(buf[i] ^ plain[i], buf[i - 16] ^ plain[i - 16]);
  ScrambleBuffer(buf.data(), buf.size());
  EXPECT_EQ(buf, plain);
}
