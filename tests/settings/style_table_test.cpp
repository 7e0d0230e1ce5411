// The style table in a program without a GUI application: records 0-5 take light defaults.
#include "style_table.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "profile_store.h"
#include "settings_keys.h"

namespace {

void ExpectLightViewRecords(const CStyleTable& table) {
  EXPECT_EQ(table.GetColour(0), 0xFFFFFFu);
  EXPECT_EQ(table.GetColour(1), 0xFFFFFFu);
  EXPECT_EQ(table.GetColour(2), 0x000000u);
  EXPECT_EQ(table.GetColour(4), 0x000000u);
  EXPECT_EQ(table.GetColour(5), 0xFFFFFFu);
  for (int i = 0; i < 6; ++i) {
    EXPECT_FALSE(table.IsBold(i)) << i;
    EXPECT_FALSE(table.IsItalic(i)) << i;
  }
}

TEST(StyleTable, NewTableAndFreshStoreGiveTheDefaults) {
  QTemporaryDir dir;
  CProfileStore store(dir.filePath(QStringLiteral("store.ini")));
  CStyleTable fresh;
  CStyleTable loaded;
  loaded.LoadStyles(store);
  for (const CStyleTable* table : {&fresh, &loaded}) {
    ExpectLightViewRecords(*table);
    EXPECT_EQ(table->GetColour(6), 0x808080u);
    EXPECT_EQ(table->GetColour(7), 0x0000FFu);
    EXPECT_EQ(table->GetColour(15), 0x008000u);
    for (int i = 6; i < CStyleTable::STYLE_COUNT; ++i) {
      EXPECT_FALSE(table->IsBold(i)) << i;
      EXPECT_FALSE(table->IsItalic(i)) << i;
    }
  }
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
  EXPECT_EQ(table.GetColour(7), 0x0000FFu); // untouched styles keep their defaults
  ExpectLightViewRecords(table);

  // A record edited in memory is replaced by the next load.
  table.Record(6).colour = 0x123456;
  table.Record(2).colour = 0x654321;
  ASSERT_TRUE(store.WriteProfileInt(styles, QStringLiteral("CommentBold"), 0));
  table.LoadStyles(store);
  EXPECT_EQ(table.GetColour(6), 255u);
  EXPECT_FALSE(table.IsBold(6));
  EXPECT_EQ(table.GetColour(2), 0x000000u);
}

} // namespace
