#include "profile_store.h"
#include "settings_keys.h"

#include <gtest/gtest.h>

#include <QDir>
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

TEST_F(ProfileStoreTest, FreshStoreReadsEveryDefaultAndWritesNothing) {
  CProfileStore store(IniPath());
  for (const SettingKeyInfo& key : AllSettingKeys()) {
    if (key.type == SettingType::Integer) {
      EXPECT_EQ(store.GetProfileInt(key.section, key.value, key.defaultValue), key.defaultValue)
          << key.value.toStdString();
    } else {
      EXPECT_EQ(store.GetProfileString(key.section, key.value, key.defaultText), key.defaultText)
          << key.value.toStdString();
    }
    EXPECT_FALSE(store.HasProfileValue(key.section, key.value));
  }
  EXPECT_EQ(ReadSetting(store, SETTING_STANDARD_OPTIONS), 3u);
  EXPECT_EQ(ReadSetting(store, SETTING_Z5), 1u);
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
  ASSERT_TRUE(WriteSetting(writer, SETTING_STANDARD_OPTIONS, 0x155));

  // Another store on the same file, made after the writes, sees them without any sync call.
  CProfileStore reader(IniPath());
  EXPECT_EQ(ReadSetting(reader, SETTING_COMPILER_PATH), path);
  EXPECT_EQ(ReadSetting(reader, SETTING_USER_DEF_OPTIONS), latin1);
  // An empty text is a stored value, not a missing one.
  EXPECT_TRUE(
      reader.HasProfileValue(QStringLiteral("Editor\\Paths"), QStringLiteral("Interpreter")));
  EXPECT_EQ(reader.GetProfileString(QStringLiteral("Editor\\Paths"), QStringLiteral("Interpreter"),
                                    QStringLiteral("default")),
            QString());
  EXPECT_EQ(ReadSetting(reader, SETTING_Z5), 0u);
  EXPECT_EQ(ReadSetting(reader, SETTING_STANDARD_OPTIONS), 0x155u);
}

TEST_F(ProfileStoreTest, IntegersReadBackAsUnsigned32Bit) {
  CProfileStore store(IniPath());
  const QString section = QStringLiteral("Editor\\Styles");
  ASSERT_TRUE(store.WriteProfileInt(section, QStringLiteral("A"), -1));
  ASSERT_TRUE(
      store.WriteProfileInt(section, QStringLiteral("B"), std::numeric_limits<int32_t>::min()));
  ASSERT_TRUE(store.WriteProfileInt(section, QStringLiteral("C"), 0x7FFFFFFF));
  CProfileStore reader(IniPath());
  EXPECT_EQ(reader.GetProfileInt(section, QStringLiteral("A"), 0), 0xFFFFFFFFu);
  EXPECT_EQ(reader.GetProfileInt(section, QStringLiteral("B"), 0), 0x80000000u);
  EXPECT_EQ(reader.GetProfileInt(section, QStringLiteral("C"), 0), 0x7FFFFFFFu);
}

TEST_F(ProfileStoreTest, StoredTextThatIsNoNumberReadsAsTheDefault) {
  {
    QFile file(IniPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Editor]\n"
               "Options\\z5=abc\n"
               "Options\\StandardOptions=0x1F\n"
               "Options\\Big=4294967296\n"
               "Options\\Max=4294967295\n"
               "Options\\Neg=-2147483649\n"
               "Options\\Spaced= 42 \n"
               "Options\\Empty=\n");
  }
  CProfileStore store(IniPath());
  const QString options = QStringLiteral("Editor\\Options");
  EXPECT_EQ(store.GetProfileInt(options, QStringLiteral("z5"), 1), 1u);
  EXPECT_EQ(store.GetProfileInt(options, QStringLiteral("StandardOptions"), 3), 0x1Fu);
  EXPECT_EQ(store.GetProfileInt(options, QStringLiteral("Big"), 7), 7u);
  EXPECT_EQ(store.GetProfileInt(options, QStringLiteral("Max"), 7), 0xFFFFFFFFu);
  EXPECT_EQ(store.GetProfileInt(options, QStringLiteral("Neg"), 7), 7u);
  EXPECT_EQ(store.GetProfileInt(options, QStringLiteral("Spaced"), 7), 42u);
  EXPECT_EQ(store.GetProfileInt(options, QStringLiteral("Empty"), 7), 7u);
}

TEST_F(ProfileStoreTest, BytesRoundTripAndTextIsNotTakenForBytes) {
  CProfileStore store(IniPath());
  const QByteArray state("\0\x01\xff[Bar State]\n=,;", 18);
  ASSERT_TRUE(store.WriteProfileBinary(QStringLiteral("Bar State"), QStringLiteral("Main"), state));
  ASSERT_TRUE(store.WriteProfileString(QStringLiteral("Bar State"), QStringLiteral("Text"),
                                       QStringLiteral("abc")));
  CProfileStore reader(IniPath());
  EXPECT_EQ(reader.GetProfileBinary(QStringLiteral("Bar State"), QStringLiteral("Main")), state);
  EXPECT_TRUE(reader.GetProfileBinary(QStringLiteral("Bar State"), QStringLiteral("Text")).isEmpty());
  EXPECT_TRUE(reader.GetProfileBinary(QStringLiteral("Bar State"), QStringLiteral("None")).isEmpty());
}

TEST_F(ProfileStoreTest, BothSeparatorsNameTheSameSection) {
  CProfileStore store(IniPath());
  ASSERT_TRUE(store.WriteProfileString(QStringLiteral("Editor/Find"), QStringLiteral("FindWhat"),
                                       QStringLiteral("lamp")));
  EXPECT_EQ(ReadSetting(store, SETTING_FIND_WHAT), QStringLiteral("lamp"));
  // Same value name in another section stays apart.
  EXPECT_EQ(ReadSetting(store, SETTING_REPLACE_FIND_WHAT), QString());
}

TEST_F(ProfileStoreTest, FailedWritesAreReported) {
  // A file where the store's directory should be: nothing can be written below it.
  const QString blocker = m_dir.filePath(QStringLiteral("blocker"));
  {
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  CProfileStore store(blocker + QStringLiteral("/store.ini"));
  EXPECT_FALSE(WriteSetting(store, SETTING_COMPILER_PATH, QStringLiteral("/usr/bin/inform6")));
  EXPECT_FALSE(WriteSetting(store, SETTING_Z5, 0));

  CProfileStore good(IniPath());
  EXPECT_FALSE(good.WriteProfileString(QString(), QStringLiteral("x"), QStringLiteral("y")));
  EXPECT_FALSE(good.WriteProfileInt(QStringLiteral("Editor\\Options"), QString(), 1));
}

TEST_F(ProfileStoreTest, DefaultStoreLivesInTheUserConfigDirectory) {
  CProfileStore::SetUserConfigDirectory(m_dir.path());
  {
    CProfileStore store;
    ASSERT_TRUE(
        WriteSetting(store, SETTING_LIBRARY_PATH, QStringLiteral("/usr/share/inform6/library")));
    EXPECT_EQ(QFileInfo(store.FileName()).absoluteFilePath(),
              QFileInfo(m_dir.filePath(QStringLiteral("Quenmark Applications/Torvane.ini")))
                  .absoluteFilePath());
  }
  CProfileStore again;
  EXPECT_EQ(ReadSetting(again, SETTING_LIBRARY_PATH), QStringLiteral("/usr/share/inform6/library"));
  QFile file(m_dir.filePath(QStringLiteral("Quenmark Applications/Torvane.ini")));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("Library"));
}

// ---------------------------------------------------------------------------------------------

TEST(SettingKeys, TableNamesEveryValueOnce) {
  const std::vector<SettingKeyInfo>& keys = AllSettingKeys();
  EXPECT_EQ(keys.size(), 6u + 30u + 11u);
  QSet<QString> seen;
  for (const SettingKeyInfo& key : keys) {
    const QString id = key.section + QLatin1Char('|') + key.value;
    EXPECT_FALSE(seen.contains(id)) << id.toStdString();
    seen.insert(id);
    EXPECT_EQ(FindSettingKey(key.section, key.value), &key);
  }
  const SettingKeyInfo* comment =
      FindSettingKey(QStringLiteral("Editor/Styles"), QStringLiteral("CommentColour"));
  ASSERT_NE(comment, nullptr);
  EXPECT_EQ(comment->type, SettingType::Integer);
  EXPECT_EQ(FindSettingKey(QStringLiteral("Editor\\Styles"), QStringLiteral("commentcolour")),
            nullptr);
  EXPECT_EQ(FindSettingKey(QStringLiteral("Editor\\Paths"), QStringLiteral("Colour")), nullptr);
  EXPECT_EQ(FindSettingKey(QStringLiteral("Editor\\Paths"), QStringLiteral("Compiler"))->type,
            SettingType::String);
}

TEST(SettingKeys, StoredStyleDefaultsAreBgrColourValues) {
  struct Expected {
    const char* name;
    uint32_t stored;
  };
  const Expected expected[] = {{"Comment", 0x808080},    {"QuotedText", 0x0000FF},
                               {"Function", 0xFF0000},   {"Code", 0x800000},
                               {"Foreground", 0x800000}, {"Directive", 0x000000},
                               {"Property", 0xFF0000},   {"Escape", 0x800080},
                               {"Assembly", 0x008080},   {"CodeAlpha", 0x008000}};
  for (int i = 0; i < 10; ++i) {
    const QString name = QString::fromLatin1(expected[i].name);
    EXPECT_EQ(StyleColourValueName(6 + i), name + QStringLiteral("Colour"));
    EXPECT_EQ(StyleBoldValueName(6 + i), name + QStringLiteral("Bold"));
    EXPECT_EQ(StyleItalicValueName(6 + i), name + QStringLiteral("Italic"));
    const SettingKeyInfo* colour =
        FindSettingKey(QStringLiteral("Editor\\Styles"), name + QStringLiteral("Colour"));
    ASSERT_NE(colour, nullptr) << expected[i].name;
    EXPECT_EQ(colour->defaultValue, expected[i].stored) << expected[i].name;
    EXPECT_EQ(FindSettingKey(QStringLiteral("Editor\\Styles"), name + QStringLiteral("Bold"))
                  ->defaultValue,
              0u);
  }
}

} // namespace
