// The "Build" page: switch bits, story version and the additional switches.
#include <QCheckBox>
#include <QRadioButton>

#include "options_test_support.h"

namespace {

TEST_F(OptionsSheetTest, BuildPageShowsTheStoredSwitchesAndKeepsThemOnOk) {
  const QString options = QStringLiteral("Editor\\Options");
  ASSERT_TRUE(m_store->WriteProfileInt(options, QStringLiteral("StandardOptions"), 21 + 64));
  ASSERT_TRUE(m_store->WriteProfileString(options, QStringLiteral("UserDefOptions"),
                                          QStringLiteral("e|B||$SIZE=100|a|tail")));
  ASSERT_TRUE(m_store->WriteProfileInt(options, QStringLiteral("z5"), 3));
  OpenSheet();
  OpenTab(2);
  QString ticks; // -D -U -s -d2 -j, .z5 .z8
  for (int id : {1018, 1019, 1022, 1020, 1021, 1037, 1038})
    ticks += Control<QAbstractButton>(id)->isChecked() ? '1' : '0';
  EXPECT_EQ(ticks, QStringLiteral("1010101"));
  // Sorted without regard to case; the text after the last "|" is not an entry.
  EXPECT_EQ(ListTexts(1024), QStringList({"", "$SIZE=100", "a", "B", "e"}));
  Press(QDialogButtonBox::Ok);
  EXPECT_EQ(Stored(QStringLiteral("Editor/Options/StandardOptions")), QStringLiteral("85"));
  EXPECT_EQ(Stored(QStringLiteral("Editor/Options/UserDefOptions")),
            QStringLiteral("e|B||$SIZE=100|a|tail"));
  EXPECT_EQ(Stored(QStringLiteral("Editor/Options/z5")), QStringLiteral("3"));
}

TEST_F(OptionsSheetTest, EachCheckBoxSetsItsBitAndTheRadiosSetTheVersion) {
  const QString bits = QStringLiteral("Editor/Options/StandardOptions");
  const QString z5 = QStringLiteral("Editor/Options/z5");
  OpenSheet();
  OpenTab(2); // a fresh store: -D and -U, .z5
  for (int id : {1022, 1021, 1038}) Click(id);
  Press(QDialogButtonBox::Ok);
  EXPECT_EQ(Stored(bits) + ' ' + Stored(z5), QStringLiteral("23 2"));
  m_sheet->show();
  for (int id : {1018, 1019, 1022, 1021, 1020, 1037}) Click(id);
  Press(QDialogButtonBox::Ok);
  EXPECT_EQ(Stored(bits) + ' ' + Stored(z5), QStringLiteral("8 1"));
  EXPECT_EQ(Stored(QStringLiteral("Editor/Options/UserDefOptions")), QString());
  EXPECT_EQ(StoredKeys().size(), 33); // Paths untouched
}

TEST_F(OptionsSheetTest, AddAndDeleteKeepTheOptionStringInStep) {
  OpenSheet();
  OpenTab(2);
  Click(1042); // nothing typed: nothing added
  for (const char* option : {"e", "$SIZE=100", "ab", "b", "b"}) {
    TypeInto(1041, QString::fromLatin1(option));
    Click(1042);
  }
  EXPECT_EQ(Control<QLineEdit>(1041)->text(), QString());
  EXPECT_EQ(ListTexts(1024), QStringList({"$SIZE=100", "ab", "b", "b", "e"}));

  // "|" would split the switch in two: refused, and the typed text stays.
  TypeInto(1041, QStringLiteral("x|y"));
  Click(1042);
  EXPECT_EQ(m_messages, QStringList({"A switch cannot contain \"|\"; add each switch on its own."}));
  EXPECT_EQ(Control<QLineEdit>(1041)->text(), QStringLiteral("x|y"));

  Click(1043); // no entry selected: nothing deleted
  ClickListRow(1024, 2);
  Click(1043); // the first whole "b", not the end of "ab"
  ClickListRow(1024, 0);
  Click(1043);
  EXPECT_EQ(ListTexts(1024), QStringList({"ab", "b", "e"}));
  Press(QDialogButtonBox::Ok);
  EXPECT_EQ(Stored(QStringLiteral("Editor/Options/UserDefOptions")), QStringLiteral("e|ab|b|"));
}

} // namespace
