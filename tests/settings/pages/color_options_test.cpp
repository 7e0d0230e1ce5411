// The "Editor" page: the style list, the sample, bold, italic, the colour picker, and the
// thirty values OK writes.
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTextEdit>

#include "color_options.h"
#include "options_test_support.h"

namespace {

// The sample as "text colour bold italic", after checking its fixed size and face.
QString Sample(const QTextEdit* sample) {
  QTextCursor cursor(sample->document());
  cursor.movePosition(QTextCursor::NextCharacter);
  const QTextCharFormat format = cursor.charFormat();
  EXPECT_EQ(format.fontPointSize(), 10.0);
  EXPECT_EQ(format.fontFamilies().toStringList(), QStringList({"Courier New"}));
  EXPECT_EQ(sample->textCursor().position(), 0); // selection collapsed to the start
  return QStringLiteral("%1 %2 %3 %4")
      .arg(sample->toPlainText(), format.foreground().color().name())
      .arg(format.fontWeight() == QFont::Bold)
      .arg(format.fontItalic());
}

TEST_F(OptionsSheetTest, EditorPageListsTheTenStylesAndShowsTheSelectedOne) {
  m_styles.Record(6) = {0x0000FF, 1, 0};
  m_styles.Record(9) = {0x00FF00, 0, 1};
  OpenSheet();
  EXPECT_EQ(ListTexts(1007),
            QStringList({"Comments", "Quoted Text", "Function Names", "Code", "Foreground Text",
                         "Directives", "Property Names", "Escape Codes", "Assembly Code",
                         "Identifiers"}));
  auto* sample = Control<QTextEdit>(1029);
  EXPECT_EQ(Sample(sample), QStringLiteral("Comments #ff0000 1 0"));
  EXPECT_TRUE(Control<QCheckBox>(1009)->isChecked());
  EXPECT_FALSE(Control<QCheckBox>(1010)->isChecked());
  EXPECT_EQ(Control<CColorPicker>(1008)->GetColor(), 0x0000FFu);
  ClickListRow(1007, 3);
  EXPECT_EQ(Sample(sample), QStringLiteral("Code #00ff00 0 1"));
  EXPECT_FALSE(Control<QCheckBox>(1009)->isChecked());
  EXPECT_TRUE(Control<QCheckBox>(1010)->isChecked());

  // The two buttons without behaviour are there, disabled.
  EXPECT_EQ(Control<QPushButton>(1011)->text(), QStringLiteral("&Default Styles"));
  EXPECT_EQ(Control<QCheckBox>(1012)->text(), QStringLiteral("&Show Tabs"));
  EXPECT_FALSE(Control(1011)->isEnabled() || Control(1012)->isEnabled());
  EXPECT_EQ(m_sheet->ColorPage()->findChild<QGroupBox*>()->title(), QStringLiteral("Syntax Styles"));
}

TEST_F(OptionsSheetTest, BoldItalicAndColourChangeOnlyTheSelectedStyle) {
  OpenSheet();
  auto* sample = Control<QTextEdit>(1029);
  ClickListRow(1007, 9);
  Click(1009);
  EXPECT_EQ(Sample(sample), QStringLiteral("Identifiers #008000 1 0"));
  ClickListRow(1007, 1); // italic on and off again
  Click(1010);
  EXPECT_EQ(Sample(sample), QStringLiteral("Quoted Text #ff0000 0 1"));
  Click(1010);

  QStringList initials;
  QColor answer(1, 2, 3);
  SetColorDialogFunction([&](const QColor& initial, QWidget*) {
    initials << initial.name();
    return answer;
  });
  ClickListRow(1007, 7);
  Click(1008);
  EXPECT_EQ(Sample(sample), QStringLiteral("Escape Codes #010203 0 0"));
  ClickListRow(1007, 4);
  answer = QColor(); // cancelled
  Click(1008);
  EXPECT_EQ(initials, QStringList({"#800080", "#000080"}));
  EXPECT_EQ(Sample(sample), QStringLiteral("Foreground Text #000080 0 0"));
  ClickListRow(1007, 9); // back on a changed style
  EXPECT_TRUE(Control<QCheckBox>(1009)->isChecked());

  Press(QDialogButtonBox::Ok);
  const char* expected[][4] = {
      {"Comment", "8421504", "0", "0"},    {"QuotedText", "255", "0", "0"},
      {"Function", "16711680", "0", "0"},  {"Code", "8388608", "0", "0"},
      {"Foreground", "8388608", "0", "0"}, {"Directive", "0", "0", "0"},
      {"Property", "16711680", "0", "0"},  {"Escape", "197121", "0", "0"},
      {"Assembly", "32896", "0", "0"},     {"CodeAlpha", "32768", "1", "0"},
  };
  for (const auto& style : expected) {
    const QString key = QStringLiteral("Editor/Styles/") + QLatin1String(style[0]);
    EXPECT_EQ(Stored(key + "Colour") + ' ' + Stored(key + "Bold") + ' ' + Stored(key + "Italic"),
              QStringLiteral("%1 %2 %3").arg(style[1], style[2], style[3]));
  }
}

} // namespace
