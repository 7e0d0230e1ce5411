// Line flags are kept beside the line records: they must move with their lines.
#include <gtest/gtest.h>

#include "buffer_test_support.h"

namespace {

TEST(LineFlags, FollowTheirLinesAcrossInsertedAndRemovedLines) {
  CCrystalTextBuffer buffer;
  buffer.CreateEmpty();
  ASSERT_TRUE(Insert(buffer, 0, 0, "0\r1\r2\r3\r4\r5\r6"));
  buffer.SetLineFlag(2, LF_BOOKMARK, true);
  buffer.SetLineFlag(4, LF_NUMBERED_BOOKMARK(3), true);
  buffer.SetLineFlag(6, LF_BOOKMARK, true, false); // any number of lines
  ASSERT_TRUE(Insert(buffer, 1, 1, "a\rb\rc")); // two lines more after line 1
  ASSERT_TRUE(buffer.DeleteText(nullptr, 0, 1, 2, 0)); // line 0 joined with old line 2 ("b")
  // Lines now: "0b", "c", "2", "3", "4", "5", "6"; flags on "2" and "6", bookmark 3 on "4".
  std::vector<uint32_t> flags;
  for (int i = 0; i < buffer.LineCount(); ++i) flags.push_back(buffer.LineFlags(i));
  EXPECT_EQ(flags, (std::vector<uint32_t>{0, 0, 0x80000, 0, 0x8, 0, 0x80000}));
  EXPECT_EQ(buffer.FirstLineWithFlag(LF_NUMBERED_BOOKMARK(3)), 4);
  EXPECT_EQ(buffer.NextBookmarkLine(2), 6);
  EXPECT_EQ(buffer.NextBookmarkLine(6), 2); // wraps
  EXPECT_EQ(buffer.PrevBookmarkLine(2), 6);
  EXPECT_EQ(buffer.PrevBookmarkLine(5), 2);
  ASSERT_TRUE(buffer.DeleteText(nullptr, 1, 0, 3, 0)); // "c" and "2" go with its flag
  EXPECT_EQ(buffer.NextBookmarkLine(0), 4);
  EXPECT_EQ(buffer.FirstLineWithFlag(LF_NUMBERED_BOOKMARK(3)), 2);
}

} // namespace
