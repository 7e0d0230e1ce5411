// The settings store, the key table and the style table without a GUI application (torvane-cli's
// tests read every default, write through the store and find it in the user's folder).
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPoint>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "../toolchain/toolchain_test_support.h"
#include "file_name.h"

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
  EXPECT_TRUE(reader.HasProfileValue("Editor\\Paths", "Interpreter"));
  EXPECT_EQ(reader.GetProfileString("Editor\\Paths", "Interpreter", "default"), QString());
  ASSERT_TRUE(writer.WriteProfileString("Editor/Find", "FindWhat", "lamp"));
  EXPECT_EQ(ReadSetting(reader, SETTING_FIND_WHAT), "lamp");
  EXPECT_FALSE(writer.WriteProfileString(QString(), "x", "y"));
  EXPECT_FALSE(writer.WriteProfileInt("Editor\\Options", QString(), 1));
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
  QByteArray ini = "[Editor]\nPaths\\Library= /usr/lib , /home/me/lib \n";
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

TEST_F(ProfileStoreTest, AWriteChangesOnlyItsOwnBytesAndSaysSoTruly) {
  // A byte-order mark, comments, a line that is no entry, a Latin-1 path, CR LF, a last line
  // without its end: all kept.
  const QByteArray before = "\xEF\xBB\xBF; mine\r\n[Editor]\r\nPaths\\Compiler=/opt/caf\xE9/inform6\r\n"
                            "no entry\r\nOptions\\z5=1 ; five\r\n\r\n[Editor\\Find]\r\nMatchCase=1";
  ASSERT_TRUE(WriteFile(IniPath(), before));
  CProfileStore store(IniPath());
  EXPECT_EQ(FileNameToBytes(ReadSetting(store, SETTING_COMPILER_PATH)), "/opt/caf\xE9/inform6");
  ASSERT_TRUE(WriteSetting(store, SETTING_Z5, 0));
  ASSERT_TRUE(WriteSetting(store, SETTING_LIBRARY_PATH, "/lib"));
  ASSERT_TRUE(WriteSetting(store, SETTING_FIND_WHAT, "a;b"));
  ASSERT_TRUE(store.WriteProfileBinary("Bar State", "Layout", QByteArray("\0\x01" "a", 3)));
  EXPECT_EQ(ReadFile(IniPath()).toStdString(),
            "\xEF\xBB\xBF; mine\r\n[Editor]\r\nPaths\\Compiler=/opt/caf\xE9/inform6\r\nno entry\r\n"
            "Options\\z5=0 ; five\r\nPaths\\Library=/lib\r\n\r\n[Editor\\Find]\r\nMatchCase=1\r\n"
            "FindWhat=\"a;b\"\r\n\r\n[Bar%20State]\r\nLayout=@ByteArray(\\0\\x1\\x61)\r\n");
}

TEST_F(ProfileStoreTest, WhatIsNoRegularFileIsNeitherWaitedOnNorReplaced) {
  ASSERT_EQ(mkfifo(QFile::encodeName(m_dir.filePath("pipe")), 0644), 0);
  ASSERT_TRUE(QDir(m_dir.path()).mkdir("folder"));
  ASSERT_TRUE(WriteFile(m_dir.filePath("file"), "[Editor]\nOptions\\z5=7\n"));
  for (auto [name, target] : {std::pair{"pipe", ""}, {"folder", ""}, {"device", "/dev/null"}, {"loop", "loop"}, {"link", "file"}}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(!*target || QFile::link(target, m_dir.filePath(name)));
    CProfileStore store(m_dir.filePath(name));
    const bool usable = std::string(name) == "link";
    EXPECT_EQ(store.Problem().isEmpty(), usable) << store.Problem().toStdString();
    EXPECT_EQ(ReadSetting(store, SETTING_Z5), usable ? 7u : 1u);
    EXPECT_EQ(WriteSetting(store, SETTING_Z5, 3), usable);
    EXPECT_EQ(QFileInfo(m_dir.filePath(name)).symLinkTarget(), *target ? QDir(m_dir.path()).absoluteFilePath(target) : "");
  }
  EXPECT_EQ(ReadFile(m_dir.filePath("file")), "[Editor]\nOptions\\z5=3\n");
}

TEST_F(ProfileStoreTest, TextsAndBytesAsQSettingsReadsAndWritesThemAndNoOtherTypes) {
  const QString texts[] = {"@at, start", " blanks ", "quote \" back\\slash", QString::fromUtf8("\0" "1\ttab\x01" "f\n", 9),
                           QString::fromUtf8("caf\xC3\xA9 \xF0\x9F\x98\x80"), "a=b;c"};
  QByteArray bytes;
  for (int i = 0; i < 256; ++i) bytes += char(i);
  CProfileStore store(IniPath());
  for (int i = 0; i < 6; ++i) ASSERT_TRUE(store.WriteProfileString("S", QString::number(i), texts[i]));
  ASSERT_TRUE(store.WriteProfileBinary("S", "B", bytes));
  {
    QSettings qt(IniPath(), QSettings::IniFormat);
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(qt.value("S/" + QString::number(i)).toString(), texts[i]);
      qt.setValue("Q/" + QString::number(i), texts[i]);
    }
    EXPECT_EQ(qt.value("S/B").toByteArray(), bytes);
    qt.setValue("Q/B", bytes);
    qt.setValue("Q/Point", QPoint(1, 2));
  }
  for (int i = 0; i < 6; ++i) EXPECT_EQ(store.GetProfileString("Q", QString::number(i), {}), texts[i]);
  EXPECT_EQ(store.GetProfileBinary("Q", "B"), bytes);
  // A picture as QSettings keeps one is never made (without a GUI application that aborts).
  ASSERT_TRUE(WriteFile(IniPath(), ReadFile(IniPath()) + "[P]\nPicture=@Variant(\\0\\0\\0\\x41\\0\\0\\0\\0\\0)\n"));
  for (const char* value : {"Point", "Picture"}) {
    EXPECT_FALSE(store.HasProfileValue(value[1] == 'o' ? "Q" : "P", value));
    EXPECT_EQ(store.GetProfileString(value[1] == 'o' ? "Q" : "P", value, "x"), "x");
  }
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
