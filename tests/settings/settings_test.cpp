// The settings store: defaults without writes, values shared at once between stores, integers
// read back unsigned, bytes, failed writes, the default file's place; the key table; the style
// table without a GUI application.
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <limits>

#include "profile_store.h"
#include "settings_keys.h"
#include "style_table.h"

namespace {

class ProfileStoreTest : public ::testing::Test {
protected:
  QString IniPath() const { return m_dir.filePath("store.ini"); }
  QTemporaryDir m_dir;
};

TEST_F(ProfileStoreTest, AFreshStoreHasNoValueReadsTheDefaultsGivenAndWritesNothing) {
  CProfileStore store(IniPath());
  for (const SettingKeyInfo& key : AllSettingKeys())
    EXPECT_FALSE(store.HasProfileValue(key.section, key.value)) << key.value.toStdString();
  EXPECT_EQ(store.GetProfileInt("Editor\\Options", "StandardOptions", 9), 9u);
  EXPECT_EQ(store.GetProfileString("Editor\\Paths", "Compiler", "x"), "x");
  EXPECT_EQ(ReadSetting(store, SETTING_STANDARD_OPTIONS), 3u);
  EXPECT_EQ(ReadSetting(store, SETTING_LEFT_MARGIN), 1000u);
  EXPECT_EQ(ReadSetting(store, SETTING_COMPILER_PATH), QString());
  EXPECT_FALSE(QFileInfo::exists(IniPath()));
}

TEST_F(ProfileStoreTest, ValuesAreWrittenAtOnceAndReadBackBySeparateStores) {
  CProfileStore writer(IniPath());
  const QString path = QStringLiteral("/opt/My Inform/bin/inform6, v6.36 \"x\" = ; # \\ [a]");
  const QString latin1 = QString::fromLatin1("caf\xe9 \xa7 ");
  ASSERT_TRUE(WriteSetting(writer, SETTING_COMPILER_PATH, path));
  ASSERT_TRUE(WriteSetting(writer, SETTING_USER_DEF_OPTIONS, latin1));
  ASSERT_TRUE(WriteSetting(writer, SETTING_INTERPRETER_PATH, QString()));
  ASSERT_TRUE(WriteSetting(writer, SETTING_Z5, 0));
  CProfileStore reader(IniPath()); // sees the writes without any sync call
  EXPECT_EQ(ReadSetting(reader, SETTING_COMPILER_PATH), path);
  EXPECT_EQ(ReadSetting(reader, SETTING_USER_DEF_OPTIONS), latin1);
  EXPECT_EQ(ReadSetting(reader, SETTING_Z5), 0u);
  // An empty text is a stored value, not a missing one.
  EXPECT_TRUE(reader.HasProfileValue("Editor\\Paths", "Interpreter"));
  EXPECT_EQ(reader.GetProfileString("Editor\\Paths", "Interpreter", "default"), QString());
  // Both separators name the same section; the same value name in another section stays apart.
  ASSERT_TRUE(writer.WriteProfileString("Editor/Find", "FindWhat", "lamp"));
  EXPECT_EQ(ReadSetting(reader, SETTING_FIND_WHAT), "lamp");
  EXPECT_EQ(ReadSetting(reader, SETTING_REPLACE_FIND_WHAT), QString());
}

TEST_F(ProfileStoreTest, IntegersReadBackUnsignedAndTextThatIsNoNumberAsTheDefault) {
  // Texts as a user may leave them in the file, read with the default 7.
  const std::pair<const char*, uint32_t> texts[] = {{"abc", 7}, {"0x1F", 0x1F}, {"4294967296", 7},
                                                    {"4294967295", ~0u}, {"-2147483649", 7},
                                                    {" 42 ", 42}, {"", 7}};
  QByteArray ini = "[Editor]\n";
  for (size_t i = 0; i < std::size(texts); ++i)
    ini += "Options\\N" + QByteArray::number(i) + "=" + texts[i].first + "\n";
  QFile file(IniPath());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size());
  file.close();
  CProfileStore store(IniPath());
  const QString options = QStringLiteral("Editor\\Options");
  ASSERT_TRUE(store.WriteProfileInt(options, "A", -1));
  ASSERT_TRUE(store.WriteProfileInt(options, "B", std::numeric_limits<int32_t>::min()));
  ASSERT_TRUE(store.WriteProfileInt(options, "C", 0x7FFFFFFF));
  CProfileStore reader(IniPath());
  EXPECT_EQ(reader.GetProfileInt(options, "A", 0), 0xFFFFFFFFu);
  EXPECT_EQ(reader.GetProfileInt(options, "B", 0), 0x80000000u);
  EXPECT_EQ(reader.GetProfileInt(options, "C", 0), 0x7FFFFFFFu);
  for (size_t i = 0; i < std::size(texts); ++i)
    EXPECT_EQ(reader.GetProfileInt(options, "N" + QString::number(i), 7), texts[i].second) << texts[i].first;
}

TEST_F(ProfileStoreTest, BytesRoundTripAndTextIsNotTakenForBytes) {
  CProfileStore store(IniPath());
  const QByteArray state("\0\x01\xff[Bar State]\n=,;", 18);
  ASSERT_TRUE(store.WriteProfileBinary("Bar State", "Main", state));
  ASSERT_TRUE(store.WriteProfileString("Bar State", "Text", "abc"));
  CProfileStore reader(IniPath());
  EXPECT_EQ(reader.GetProfileBinary("Bar State", "Main"), state);
  EXPECT_TRUE(reader.GetProfileBinary("Bar State", "Text").isEmpty());
  EXPECT_TRUE(reader.GetProfileBinary("Bar State", "None").isEmpty());
}

TEST_F(ProfileStoreTest, FailedWritesAreReported) {
  // A file where the store's directory should be: nothing can be written below it.
  ASSERT_TRUE(QFile(m_dir.filePath("blocker")).open(QIODevice::WriteOnly));
  CProfileStore store(m_dir.filePath("blocker/store.ini"));
  EXPECT_FALSE(WriteSetting(store, SETTING_COMPILER_PATH, QStringLiteral("/usr/bin/inform6")));
  EXPECT_FALSE(WriteSetting(store, SETTING_Z5, 0));
  CProfileStore good(IniPath());
  EXPECT_FALSE(good.WriteProfileString(QString(), "x", "y"));
  EXPECT_FALSE(good.WriteProfileInt("Editor\\Options", QString(), 1));
}

TEST_F(ProfileStoreTest, TheDefaultStoreLivesInTheUserConfigDirectory) {
  CProfileStore::SetUserConfigDirectory(m_dir.path());
  const QString file = m_dir.filePath("Quenmark Applications/Torvane.ini");
  {
    CProfileStore store;
    ASSERT_TRUE(WriteSetting(store, SETTING_LIBRARY_PATH, QStringLiteral("/usr/share/inform6/library")));
    EXPECT_EQ(QFileInfo(store.FileName()).absoluteFilePath(), QFileInfo(file).absoluteFilePath());
  }
  CProfileStore again;
  EXPECT_EQ(ReadSetting(again, SETTING_LIBRARY_PATH), "/usr/share/inform6/library");
  QFile ini(file);
  ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
  EXPECT_TRUE(ini.readAll().contains("Library"));
}

TEST(SettingKeys, EachValueOnceFoundExactlyAndEveryStyleValueKnown) {
  QSet<QString> seen;
  for (const SettingKeyInfo& key : AllSettingKeys()) {
    const QString id = key.section + '|' + key.value;
    EXPECT_FALSE(seen.contains(id)) << id.toStdString();
    seen.insert(id);
    EXPECT_EQ(FindSettingKey(key.section, key.value), &key);
  }
  EXPECT_EQ(FindSettingKey("Editor\\Styles", "commentcolour"), nullptr);
  EXPECT_EQ(FindSettingKey("Editor\\Paths", "Colour"), nullptr);
  EXPECT_EQ(FindSettingKey("Editor\\Paths", "Compiler")->type, SettingType::String);
  for (int i = 6; i < 16; ++i) {
    for (const QString& name : {StyleColourValueName(i), StyleBoldValueName(i), StyleItalicValueName(i)}) {
      const SettingKeyInfo* key = FindSettingKey("Editor/Styles", name);
      ASSERT_NE(key, nullptr) << name.toStdString();
      EXPECT_EQ(key->type, SettingType::Integer) << name.toStdString();
    }
  }
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
  EXPECT_EQ(Records(DefaultStyleTable()), defaults);
  int heard = 0;
  const int listener = table.AddListener([&] { ++heard; });
  table.LoadStyles(store);
  EXPECT_EQ(Records(table), defaults);
  EXPECT_EQ(heard, 1);
  const QString styles = QStringLiteral("Editor\\Styles");
  ASSERT_TRUE(store.WriteProfileInt(styles, "CommentColour", 255));
  ASSERT_TRUE(store.WriteProfileInt(styles, "CommentBold", 1));
  ASSERT_TRUE(store.WriteProfileInt(styles, "CodeAlphaItalic", 5)); // any non-zero value is on
  ASSERT_TRUE(store.WriteProfileInt(styles, "EscapeColour", -1));
  table.Record(2).colour = 0x654321; // records edited in memory are replaced by the next load
  table.RemoveListener(listener);
  table.LoadStyles(store);
  EXPECT_EQ(heard, 1);
  EXPECT_EQ(Records(table), "ffffff 00, ffffff 00, 000000 00, c8c8c8 00, 000000 00, ffffff 00, "
                            "0000ff 10, 0000ff 00, ff0000 00, 800000 00, 800000 00, 000000 00, "
                            "ff0000 00, ffffffff 00, 008080 00, 008000 01");
}

} // namespace
