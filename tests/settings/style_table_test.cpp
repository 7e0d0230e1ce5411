// The style table in a program without a GUI application: records 0-5 take light defaults.
#include "style_table.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>

#include "profile_store.h"
#include "settings_keys.h"

namespace {

// Light view records, the Inform styles' default colours, no bold or italic: except in changed.
void ExpectDefaultsExcept(const CStyleTable& table, std::initializer_list<int> changed = {}) {
  const std::pair<int, uint32_t> colours[] = {{0, 0xFFFFFF}, {1, 0xFFFFFF}, {2, 0x000000}, {4, 0x000000},
                                              {5, 0xFFFFFF}, {6, 0x808080}, {7, 0x0000FF}, {15, 0x008000}};
  for (auto [index, colour] : colours) {
    if (std::find(changed.begin(), changed.end(), index) != changed.end()) continue;
    EXPECT_EQ(table.GetColour(index), colour) << index;
  }
  for (int i = 0; i < CStyleTable::STYLE_COUNT; ++i) {
    if (std::find(changed.begin(), changed.end(), i) != changed.end()) continue;
    EXPECT_FALSE(table.IsBold(i)) << i;
    EXPECT_FALSE(table.IsItalic(i)) << i;
  }
}

TEST(StyleTable, NewTableAndFreshStoreGiveTheDefaults) {
  QTemporaryDir dir;
  CProfileStore store(dir.filePath(QStringLiteral("store.ini")));
  CStyleTable fresh, loaded;
  loaded.LoadStyles(store);
  ExpectDefaultsExcept(fresh);
  ExpectDefaultsExcept(loaded);
}

TEST(StyleTable, LoadStylesReadsStoredStylesAndReloadsWhole) {
  QTemporaryDir dir;
  CProfileStore store(dir.filePath(QStringLiteral("store.ini")));
  const QString styles = QStringLiteral("Editor\\Styles");
  ASSERT_TRUE(store.WriteProfileInt(styles, QStringLiteral("CommentColour"), 255));
  ASSERT_TRUE(store.WriteProfileInt(styles, QStringLiteral("CommentBold"), 1));
  ASSERT_TRUE(store.WriteProfileInt(styles, QStringLiteral("CodeAlphaItalic"), 5));
  ASSERT_TRUE(store.WriteProfileInt(styles, QStringLiteral("EscapeColour"), -1));
  CStyleTable table;
  table.LoadStyles(store);
  EXPECT_EQ(table.GetColour(6), 255u); // comments in red
  EXPECT_TRUE(table.IsBold(6));
  EXPECT_FALSE(table.IsItalic(6));
  EXPECT_TRUE(table.IsItalic(15)); // any non-zero value is on
  EXPECT_FALSE(table.IsBold(15));
  EXPECT_EQ(table.GetColour(13), 0xFFFFFFFFu);
  ExpectDefaultsExcept(table, {6, 13, 15}); // untouched styles keep their defaults
  // Records edited in memory are replaced by the next load.
  table.Record(6).colour = 0x123456;
  table.Record(2).colour = 0x654321;
  ASSERT_TRUE(store.WriteProfileInt(styles, QStringLiteral("CommentBold"), 0));
  table.LoadStyles(store);
  EXPECT_EQ(table.GetColour(6), 255u);
  EXPECT_FALSE(table.IsBold(6));
  EXPECT_EQ(table.GetColour(2), 0x000000u);
}

} // namespace
