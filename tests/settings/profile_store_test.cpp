// The settings store: defaults without writes, values shared at once between stores, integers
// read back unsigned, bytes, failed writes, the default file's place, and the key table.
#include "profile_store.h"
#include "settings_keys.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

#include <limits>

namespace {

class ProfileStoreTest : public ::testing::Test {
protected:
  QString IniPath() const { return m_dir.filePath(QStringLiteral("store.ini")); }
  QTemporaryDir m_dir;
};

TEST_F(ProfileStoreTest, FreshStoreReadsTheDefaultsAndWritesNothing) {
  CProfileStore store(IniPath());
  for (const SettingKeyInfo& key : AllSettingKeys()) {
    EXPECT_FALSE(store.HasProfileValue(key.section, key.value)) << key.value.toStdString();
    if (key.type == SettingType::Integer) {
      EXPECT_EQ(store.GetProfileInt(key.section, key.value, key.defaultValue), key.defaultValue);
    } else {
      EXPECT_EQ(store.GetProfileString(key.section, key.value, key.defaultText), key.defaultText);
    }
  }
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
  // Another store on the same file, made after the writes, sees them without any sync call.
  CProfileStore reader(IniPath());
  EXPECT_EQ(ReadSetting(reader, SETTING_COMPILER_PATH), path);
  EXPECT_EQ(ReadSetting(reader, SETTING_USER_DEF_OPTIONS), latin1);
  EXPECT_EQ(ReadSetting(reader, SETTING_Z5), 0u);
  // An empty text is a stored value, not a missing one.
  EXPECT_TRUE(reader.HasProfileValue(QStringLiteral("Editor\\Paths"), QStringLiteral("Interpreter")));
  EXPECT_EQ(reader.GetProfileString(QStringLiteral("Editor\\Paths"), QStringLiteral("Interpreter"),
                                    QStringLiteral("default")),
            QString());
  // Both separators name the same section; the same value name in another section stays apart.
  ASSERT_TRUE(writer.WriteProfileString(QStringLiteral("Editor/Find"), QStringLiteral("FindWhat"),
                                        QStringLiteral("lamp")));
  EXPECT_EQ(ReadSetting(reader, SETTING_FIND_WHAT), QStringLiteral("lamp"));
  EXPECT_EQ(ReadSetting(reader, SETTING_REPLACE_FIND_WHAT), QString());
}

TEST_F(ProfileStoreTest, IntegersReadBackUnsignedAndTextThatIsNoNumberAsTheDefault) {
  // Texts as a user may leave them in the file, read with the default 7.
  const std::pair<const char*, uint32_t> texts[] = {{"abc", 7},        {"0x1F", 0x1F},     {"4294967296", 7},
                                                    {"4294967295", ~0u}, {"-2147483649", 7}, {" 42 ", 42},
                                                    {"", 7}};
  QByteArray ini = "[Editor]\n";
  for (size_t i = 0; i < std::size(texts); ++i)
    ini += "Options\\N" + QByteArray::number(i) + "=" + texts[i].first + "\n";
  QFile file(IniPath());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size());
  file.close();
  CProfileStore store(IniPath());
  const QString options = QStringLiteral("Editor\\Options");
  ASSERT_TRUE(store.WriteProfileInt(options, QStringLiteral("A"), -1));
  ASSERT_TRUE(store.WriteProfileInt(options, QStringLiteral("B"), std::numeric_limits<int32_t>::min()));
  ASSERT_TRUE(store.WriteProfileInt(options, QStringLiteral("C"), 0x7FFFFFFF));
  CProfileStore reader(IniPath());
  EXPECT_EQ(reader.GetProfileInt(options, QStringLiteral("A"), 0), 0xFFFFFFFFu);
  EXPECT_EQ(reader.GetProfileInt(options, QStringLiteral("B"), 0), 0x80000000u);
  EXPECT_EQ(reader.GetProfileInt(options, QStringLiteral("C"), 0), 0x7FFFFFFFu);
  for (size_t i = 0; i < std::size(texts); ++i)
    EXPECT_EQ(reader.GetProfileInt(options, "N" + QString::number(i), 7), texts[i].second) << texts[i].first;
}

TEST_F(ProfileStoreTest, BytesRoundTripAndTextIsNotTakenForBytes) {
  CProfileStore store(IniPath());
  const QString bars = QStringLiteral("Bar State");
  const QByteArray state("\0\x01\xff[Bar State]\n=,;", 18);
  ASSERT_TRUE(store.WriteProfileBinary(bars, QStringLiteral("Main"), state));
  ASSERT_TRUE(store.WriteProfileString(bars, QStringLiteral("Text"), QStringLiteral("abc")));
  CProfileStore reader(IniPath());
  EXPECT_EQ(reader.GetProfileBinary(bars, QStringLiteral("Main")), state);
  EXPECT_TRUE(reader.GetProfileBinary(bars, QStringLiteral("Text")).isEmpty());
  EXPECT_TRUE(reader.GetProfileBinary(bars, QStringLiteral("None")).isEmpty());
}

TEST_F(ProfileStoreTest, FailedWritesAreReported) {
  // A file where the store's directory should be: nothing can be written below it.
  const QString blocker = m_dir.filePath(QStringLiteral("blocker"));
  ASSERT_TRUE(QFile(blocker).open(QIODevice::WriteOnly));
  CProfileStore store(blocker + QStringLiteral("/store.ini"));
  EXPECT_FALSE(WriteSetting(store, SETTING_COMPILER_PATH, QStringLiteral("/usr/bin/inform6")));
  EXPECT_FALSE(WriteSetting(store, SETTING_Z5, 0));
  CProfileStore good(IniPath());
  EXPECT_FALSE(good.WriteProfileString(QString(), QStringLiteral("x"), QStringLiteral("y")));
  EXPECT_FALSE(good.WriteProfileInt(QStringLiteral("Editor\\Options"), QString(), 1));
}

TEST_F(ProfileStoreTest, DefaultStoreLivesInTheUserConfigDirectory) {
  CProfileStore::SetUserConfigDirectory(m_dir.path());
  const QString file = m_dir.filePath(QStringLiteral("Quenmark Applications/Torvane.ini"));
  {
    CProfileStore store;
    ASSERT_TRUE(WriteSetting(store, SETTING_LIBRARY_PATH, QStringLiteral("/usr/share/inform6/library")));
    EXPECT_EQ(QFileInfo(store.FileName()).absoluteFilePath(), QFileInfo(file).absoluteFilePath());
  }
  CProfileStore again;
  EXPECT_EQ(ReadSetting(again, SETTING_LIBRARY_PATH), QStringLiteral("/usr/share/inform6/library"));
  QFile ini(file);
  ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
  EXPECT_TRUE(ini.readAll().contains("Library"));
}

TEST(SettingKeys, EachValueOnceFoundExactlyAndEveryStyleValueKnown) {
  QSet<QString> seen;
  for (const SettingKeyInfo& key : AllSettingKeys()) {
    const QString id = key.section + QLatin1Char('|') + key.value;
    EXPECT_FALSE(seen.contains(id)) << id.toStdString();
    seen.insert(id);
    EXPECT_EQ(FindSettingKey(key.section, key.value), &key);
  }
  EXPECT_EQ(FindSettingKey(QStringLiteral("Editor\\Styles"), QStringLiteral("commentcolour")), nullptr);
  EXPECT_EQ(FindSettingKey(QStringLiteral("Editor\\Paths"), QStringLiteral("Colour")), nullptr);
  EXPECT_EQ(FindSettingKey(QStringLiteral("Editor\\Paths"), QStringLiteral("Compiler"))->type, SettingType::String);
  // The names the style table reads for the ten Inform styles are integer keys of the table.
  for (int i = 6; i < 16; ++i) {
    for (const QString& name : {StyleColourValueName(i), StyleBoldValueName(i), StyleItalicValueName(i)}) {
      const SettingKeyInfo* key = FindSettingKey(QStringLiteral("Editor/Styles"), name);
      ASSERT_NE(key, nullptr) << name.toStdString();
      EXPECT_EQ(key->type, SettingType::Integer) << name.toStdString();
    }
  }
}

} // namespace
