// The settings store, the key table and the style table without a GUI application (torvane-cli's
// tests read every default, write through the store and find it in the user's folder).
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "profile_store.h"
#include "settings_keys.h"
#include "style_table.h"

namespace {

class ProfileStoreTest : public ::testing::Test {
protected:
  QString IniPath() const { return m_dir.filePath("store.ini"); }
  QTemporaryDir m_dir;
};

TEST_F(ProfileStoreTest, ValuesAndBytesAreWrittenAtOnceAndReadBackBySeparateStores) {
  CProfileStore writer(IniPath());
  EXPECT_EQ(writer.GetProfileString("Editor\\Paths", "Compiler", "x"), "x");
  const QString path = QStringLiteral("/opt/My Inform/bin/inform6, v6.36 \"x\" = ; # \\ [a]");
  ASSERT_TRUE(WriteSetting(writer, SETTING_COMPILER_PATH, path));
  ASSERT_TRUE(WriteSetting(writer, SETTING_INTERPRETER_PATH, QString()));
  CProfileStore reader(IniPath()); // sees the writes without any sync call
  EXPECT_EQ(ReadSetting(reader, SETTING_COMPILER_PATH), path);
  // An empty text is a stored value, not a missing one.
  EXPECT_TRUE(reader.HasProfileValue("Editor\\Paths", "Interpreter"));
  EXPECT_EQ(reader.GetProfileString("Editor\\Paths", "Interpreter", "default"), QString());
  // Both separators name the same section.
  ASSERT_TRUE(writer.WriteProfileString("Editor/Find", "FindWhat", "lamp"));
  EXPECT_EQ(ReadSetting(reader, SETTING_FIND_WHAT), "lamp");
  // Without a section or a value name nothing is written.
  EXPECT_FALSE(writer.WriteProfileString(QString(), "x", "y"));
  EXPECT_FALSE(writer.WriteProfileInt("Editor\\Options", QString(), 1));
  // Bytes come back as they were; a text is not taken for bytes.
  const QByteArray state("\0\x01\xff[Bar State]\n=,;", 18);
  ASSERT_TRUE(writer.WriteProfileBinary("Bar State", "Main", state));
  ASSERT_TRUE(writer.WriteProfileString("Bar State", "Text", "abc"));
  EXPECT_EQ(reader.GetProfileBinary("Bar State", "Main"), state);
  EXPECT_TRUE(reader.GetProfileBinary("Bar State", "Text").isEmpty());
  EXPECT_TRUE(reader.GetProfileBinary("Bar State", "None").isEmpty());
}

TEST_F(ProfileStoreTest, HandEditedIntegersReadUnsignedOrAsTheDefaultAndTextsWithCommasWhole) {
  // Texts as a user may leave them in the file, read with the default 7.
  const std::pair<const char*, uint32_t> texts[] = {
      {"abc", 7}, {"0x1F", 0x1F}, {"4294967296", 7}, {"4294967295", ~0u}, {"-2147483649", 7},
      {"-2147483648", 0x80000000u}, {" 42 ", 42}, {"", 7}};
  QByteArray ini = "[Editor]\nPaths\\Library=/usr/lib,/home/me/lib\n";
  for (size_t i = 0; i < std::size(texts); ++i)
    ini += "Options\\N" + QByteArray::number(i) + "=" + texts[i].first + "\n";
  QFile file(IniPath());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size());
  file.close();
  CProfileStore reader(IniPath());
  EXPECT_EQ(ReadSetting(reader, SETTING_LIBRARY_PATH), "/usr/lib,/home/me/lib");
  for (size_t i = 0; i < std::size(texts); ++i)
    EXPECT_EQ(reader.GetProfileInt("Editor\\Options", "N" + QString::number(i), 7), texts[i].second) << texts[i].first;
}

TEST(SettingKeys, EachValueIsFoundByItsOwnSectionAndExactName) {
  for (const SettingKeyInfo& key : AllSettingKeys())
    EXPECT_EQ(FindSettingKey(key.section, key.value), &key) << key.value.toStdString();
  EXPECT_EQ(FindSettingKey("Editor\\Styles", "commentcolour"), nullptr);
}

// Every record as "colour bold italic", COLORREF in hex.
QString Records(const CStyleTable& table) {
  QStringList records;
  for (int i = 0; i < CStyleTable::STYLE_COUNT; ++i)
    records << QStringLiteral("%1 %2%3").arg(table.GetColour(i), 6, 16, QChar('0')).arg(table.IsBold(i)).arg(table.IsItalic(i));
  return records.join(", ");
}

TEST(StyleTable, DefaultsWithoutAStoreOrGuiAndStoredStylesReadWholeAtEachLoad) {
  const QString defaults = "ffffff 00, ffffff 00, 000000 00, c8c8c8 00, 000000 00, ffffff 00, "
                           "808080 00, 0000ff 00, ff0000 00, 800000 00, 800000 00, 000000 00, "
                           "ff0000 00, 800080 00, 008080 00, 008000 00";
  QTemporaryDir dir;
  CProfileStore store(dir.filePath("store.ini"));
  CStyleTable table;
  EXPECT_EQ(Records(table), defaults);
  int heard = 0;
  const int listener = table.AddListener([&] { ++heard; });
  table.LoadStyles(store);
  EXPECT_EQ(Records(table), defaults);
  EXPECT_EQ(heard, 1);
  const QString styles = QStringLiteral("Editor\\Styles");
  // Any non-zero value is on.
  for (auto [value, number] : {std::pair{"CommentColour", 255}, {"CommentBold", 1}, {"CodeAlphaItalic", 5}, {"EscapeColour", -1}})
    ASSERT_TRUE(store.WriteProfileInt(styles, value, number));
  table.Record(2).colour = 0x654321; // records edited in memory are replaced by the next load
  table.RemoveListener(listener);
  table.LoadStyles(store);
  EXPECT_EQ(heard, 1);
  EXPECT_EQ(Records(table), "ffffff 00, ffffff 00, 000000 00, c8c8c8 00, 000000 00, ffffff 00, "
                            "0000ff 10, 0000ff 00, ff0000 00, 800000 00, 800000 00, 000000 00, "
                            "ff0000 00, ffffffff 00, 008080 00, 008000 01");
}

} // namespace
