// The style table in a GUI application: records 0-3 follow the application palette.
#include "style_table.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>
#include <QTemporaryDir>

#include "profile_store.h"

namespace {

TEST(StylePalette, ViewRecordsFollowThePaletteAtEachLoad) {
  QTemporaryDir dir;
  CProfileStore store(dir.filePath(QStringLiteral("store.ini")));
  const QPalette saved = QGuiApplication::palette();

  QPalette palette = saved;
  palette.setColor(QPalette::Base, QColor(0x10, 0x20, 0x30));
  palette.setColor(QPalette::Text, QColor(0xA0, 0xB0, 0xC0));
  palette.setColor(QPalette::Button, QColor(0x01, 0x02, 0x03));
  QGuiApplication::setPalette(palette);

  CStyleTable table;
  table.LoadStyles(store);
  EXPECT_EQ(table.GetColour(0), 0x302010u);
  EXPECT_EQ(table.GetColour(1), 0x302010u);
  EXPECT_EQ(table.GetColour(2), 0xC0B0A0u);
  EXPECT_EQ(table.GetColour(3), 0x030201u);
  EXPECT_EQ(table.GetColour(4), 0x000000u);
  EXPECT_EQ(table.GetColour(5), 0xFFFFFFu);
  EXPECT_EQ(table.GetColour(6), 0x808080u);

  // The desktop colours change: the next load takes them.
  palette.setColor(QPalette::Base, QColor(0xFF, 0x00, 0x00));
  QGuiApplication::setPalette(palette);
  table.LoadStyles(store);
  EXPECT_EQ(table.GetColour(0), 0x0000FFu);
  EXPECT_EQ(table.GetColour(2), 0xC0B0A0u);

  QGuiApplication::setPalette(saved);
}

} // namespace
