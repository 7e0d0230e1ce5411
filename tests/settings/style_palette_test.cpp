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
  const auto colours = [&] {
    table.LoadStyles(store);
    return QStringLiteral("%1 %2 %3 %4 %5").arg(table.GetColour(0), 0, 16).arg(table.GetColour(1), 0, 16)
        .arg(table.GetColour(2), 0, 16).arg(table.GetColour(3), 0, 16).arg(table.GetColour(4), 0, 16);
  };
  EXPECT_EQ(colours(), "302010 302010 c0b0a0 30201 0");
  // The desktop colours change: the next load takes them.
  palette.setColor(QPalette::Base, QColor(0xFF, 0x00, 0x00));
  QGuiApplication::setPalette(palette);
  EXPECT_EQ(colours(), "ff ff c0b0a0 30201 0");
  QGuiApplication::setPalette(saved);
}

} // namespace
