// The options sheet driven through its controls, the program file dialog, palette-following styles.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

#include "color_options.h"
#include "color_picker.h"
#include "control_id.h"
#include "editor_options.h"
#include "folder_browser.h"
#include "message_box.h"
#include "profile_store.h"
#include "program_file_dialog.h"
#include "settings_keys.h"
#include "style_table.h"

class OptionsSheetTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    m_store = std::make_unique<CProfileStore>(m_dir.filePath(QStringLiteral("store.ini")));
    SetTorvaneMessageBoxHandler([this](const QString& text, unsigned) { return m_messages << text, IDOK; });
    SetColorDialogFunction([](auto&&...) { return ADD_FAILURE(), QColor(); });
    SetFolderDialogFunction([](auto&&...) { return ADD_FAILURE(), QString(); });
    SetProgramFileDialogFunction([](auto&&...) { return ADD_FAILURE(), QString(); });
  }
  void TearDown() override {
    m_sheet.reset();
    SetTorvaneMessageBoxHandler({});
    SetColorDialogFunction({});
    SetFolderDialogFunction({});
    SetProgramFileDialogFunction({});
  }

  void OpenSheet() {
    m_sheet = std::make_unique<CEditorOptions>(*m_store, m_styles);
    m_sheet->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_sheet.get()));
  }
  void OpenTab(int tab) {
    QTabBar* bar = m_sheet->Tabs()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
  }
  template <typename T = QWidget> T* Control(int id) const { return FindControl<T>(m_sheet.get(), id); }
  void Click(int id) {
    auto* button = Control<QAbstractButton>(id);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
  }
  void ClickListRow(int listId, int row) {
    auto* list = Control<QListWidget>(listId);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
  }
  void TypeInto(int editId, const QString& text) {
    Control<QLineEdit>(editId)->selectAll();
    QTest::keyClicks(Control<QLineEdit>(editId), text);
  }
  void Press(QDialogButtonBox::StandardButton button) {
    QTest::mouseClick(m_sheet->findChild<QDialogButtonBox*>()->button(button), Qt::LeftButton);
  }
  QStringList ListTexts(int listId) const {
    QStringList texts;
    for (int i = 0; i < Control<QListWidget>(listId)->count(); ++i)
      texts << Control<QListWidget>(listId)->item(i)->text();
    return texts;
  }
  QStringList StoredKeys() const { return QSettings(m_store->FileName(), QSettings::IniFormat).allKeys(); }
  QString Stored(const QStringList& keys) const {
    QStringList values;
    for (const QString& key : keys)
      values << QSettings(m_store->FileName(), QSettings::IniFormat).value("Editor/" + key).toString();
    return values.join(' ');
  }

  QTemporaryDir m_dir;
  std::unique_ptr<CProfileStore> m_store;
  CStyleTable m_styles;
  std::unique_ptr<CEditorOptions> m_sheet;
  QStringList m_messages; // texts of the message boxes shown
};

namespace {

TEST_F(OptionsSheetTest, CancelWritesNothingOkWritesOnlyOpenedPagesTellsOfChangesAndAFailedWriteKeepsItOpen) {
  OpenSheet();
  Click(1009); // Bold of "Comments"
  OpenTab(1);
  TypeInto(1014, QStringLiteral("/opt/inform6"));
  OpenTab(2);
  Click(1022);
  Press(QDialogButtonBox::Cancel);
  EXPECT_EQ(StoredKeys(), QStringList());

  for (bool changeBold : {false, true}) { // through the modal entry point this time
    QTimer::singleShot(0, [changeBold] {
      auto* sheet = qobject_cast<CEditorOptions*>(QApplication::activeModalWidget());
      const QTabWidget* tabs = sheet->Tabs();
      EXPECT_EQ(QStringLiteral("%1, %2 tabs: %3|%4|%5|%6").arg(sheet->windowTitle()).arg(tabs->count())
                    .arg(tabs->tabText(0), tabs->tabText(1), tabs->tabText(2), tabs->tabText(3)),
                "IDE Options, 4 tabs: Editor|Compiler/Interpreter|Build|Play");
      if (changeBold) FindControl<QAbstractButton>(sheet, 1009)->click();
      sheet->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_EQ(RunOptionsSheet(nullptr, m_styles, *m_store), changeBold); // the defaults, then a change
    EXPECT_EQ(StoredKeys().filter("Editor/Styles/").size(), 30); // the ten styles' colour, bold
    EXPECT_EQ(StoredKeys().size(), 30);                          // and italic, nothing more
  }
  EXPECT_EQ(Stored({"Styles/CommentBold"}), QStringLiteral("1"));

  m_store = std::make_unique<CProfileStore>(m_dir.path()); // a folder: no write can succeed
  OpenSheet();
  Press(QDialogButtonBox::Ok);
  EXPECT_EQ(m_messages, QStringList({"The options could not be saved to \"" + m_dir.path() + "\"."}));
  EXPECT_TRUE(m_sheet->isVisible());
}

TEST_F(OptionsSheetTest, PathsPageReadsTypesBrowsesAndWritesTheFourPaths) {
  ASSERT_TRUE(m_store->WriteProfileString("Editor\\Paths", "Compiler", "/c"));
  ASSERT_TRUE(m_store->WriteProfileString("Editor\\Paths", "Library", "/l"));
  ASSERT_TRUE(m_store->WriteProfileString("Editor\\Paths", "GlulxInterpreter", "/g"));
  OpenSheet();
  OpenTab(1);
  const auto text = [this](int id) { return Control<QLineEdit>(id)->text(); };
  EXPECT_EQ(text(1014) + text(1016) + text(1034) + text(1046), QStringLiteral("/c/l/g"));

  TypeInto(1016, QStringLiteral("/usr/games/dfrotz"));
  QStringList asked;
  QString answer = QStringLiteral("/usr/bin/inform6");
  const auto ask = [&](QWidget* parent, const QString& title, const QString& start) {
    asked << title + QLatin1Char('|') + start;
    EXPECT_EQ(parent, m_sheet.get());
    return answer;
  };
  SetProgramFileDialogFunction(ask);
  SetFolderDialogFunction(ask);
  Click(1015);
  answer.clear();
  Click(1017);
  Click(1035);
  answer = QStringLiteral("/usr/share/inform6/library");
  Click(1035);
  answer = QStringLiteral("/usr/games/gargoyle-free");
  Click(1047);
  EXPECT_EQ(asked, QStringList({"Inform Compiler|/c", "Z-Code Interpreter|/usr/games/dfrotz",
                                "Library Path|/l", "Library Path|/l", "Glulx Interpreter|/g"}));
  EXPECT_EQ(text(1034), QStringLiteral("/usr/share/inform6/library"));

  TypeInto(1034, QStringLiteral(" my lib ")); // stored as typed
  OpenTab(0); // leaving the page and coming back keeps what was typed
  OpenTab(1);
  Press(QDialogButtonBox::Ok);
  EXPECT_EQ(Stored({"Paths/Compiler", "Paths/Interpreter", "Paths/Library", "Paths/GlulxInterpreter"}),
            "/usr/bin/inform6 /usr/games/dfrotz  my lib  /usr/games/gargoyle-free");
}

TEST_F(OptionsSheetTest, PlayPageShowsWhatPlaysAndWritesItsFiveSettings) {
  // Out of range: the page shows what play would use, the defaults.
  ASSERT_TRUE(m_store->WriteProfileInt("Editor\\Play", "Width", 19));
  ASSERT_TRUE(m_store->WriteProfileInt("Editor\\Play", "TimeLimit", 3601));
  OpenSheet();
  OpenTab(3);
  const auto spin = [this](int id) { return Control<QSpinBox>(id)->value(); };
  EXPECT_EQ(QString("%1 %2 %3").arg(spin(1064)).arg(spin(1065)).arg(Control<QCheckBox>(1066)->isChecked()), "80 30 0");
  EXPECT_EQ(Control<QLineEdit>(1060)->text() + Control<QLineEdit>(1062)->text(), "");
  EXPECT_EQ(Control<QLabel>(1067)->text(), "Stories are played by emglken.") << "scripts/setup installs emglken";
  // The page says which interpreter the fields choose, as they are typed.
  TypeInto(1062, m_dir.path());
  EXPECT_EQ(Control<QLabel>(1067)->text(), "Stories are played by dfrotz: emglken is not installed in " + m_dir.path() +
                                               " (scripts/setup installs it).");
  TypeInto(1060, "/usr/games/dfrotz");
  EXPECT_EQ(Control<QLabel>(1067)->text(), "Stories are played by dfrotz.");

  QStringList asked;
  const auto ask = [&](QWidget*, const QString& title, const QString& start) {
    asked << title + '|' + start;
    return QStringLiteral("/opt/chosen");
  };
  SetProgramFileDialogFunction(ask);
  SetFolderDialogFunction(ask);
  Click(1061);
  Click(1063);
  EXPECT_EQ(asked, QStringList({"Line-Mode Interpreter|/usr/games/dfrotz", "emglken Folder|" + m_dir.path()}));
  for (const int id : {1064, 1065}) { // the ranges play reads them in: width 20-255, seconds 1-3600
    Control<QSpinBox>(id)->setValue(0);
    Control<QSpinBox>(id)->setValue(Control<QSpinBox>(id)->value() + 100000);
  }
  EXPECT_EQ(QString("%1 %2").arg(spin(1064)).arg(spin(1065)), "255 3600");
  Control<QSpinBox>(1064)->setValue(0);
  Control<QSpinBox>(1065)->setValue(0);
  Click(1066);
  Press(QDialogButtonBox::Ok);
  EXPECT_EQ(Stored({"Play/Interpreter", "Play/Emglken", "Play/Width", "Play/TimeLimit", "Play/RunAfterCompile"}),
            "/opt/chosen /opt/chosen 20 1 1");
}

TEST_F(OptionsSheetTest, EmptyPathsMeanTheDefaultsAndUnknownSwitchesAreShownUnavailable) {
  OpenSheet();
  OpenTab(1);
  const QString library = "/usr/share/inform6/library", inform6 = "/usr/bin/inform6";
  for (auto [id, hint] : {std::pair{1014, inform6 + " (default)"}, {1034, library + " (default)"}})
    EXPECT_TRUE(Control<QLineEdit>(id)->text().isEmpty() && Control<QLineEdit>(id)->placeholderText() == hint);
  OpenTab(2);
  QString enabled; // -D -U -s -d2 -j
  for (int id : {1018, 1019, 1022, 1020, 1021}) enabled += Control<QAbstractButton>(id)->isEnabled() ? '1' : '0';
  EXPECT_EQ(enabled, "10110");
  for (const char* entry : {"ej", "e"}) {
    TypeInto(1041, entry);
    Click(1042);
  }
  EXPECT_EQ(Control<QListWidget>(1024)->item(0)->toolTip(), "");
  EXPECT_NE(Control<QListWidget>(1024)->item(1)->toolTip(), "");
  QStringList notes;
  for (QLabel* label : m_sheet->findChildren<QLabel*>()) if (label->isVisible()) notes << label->text();
  EXPECT_TRUE(notes.contains("Unavailable with Inform 6.41, which does not know them: -U, -j, -ej")) << notes.join('|').toStdString();
  Press(QDialogButtonBox::Ok);
  EXPECT_EQ(ReadToolPath(*m_store, SETTING_COMPILER_PATH) + ReadToolPath(*m_store, SETTING_LIBRARY_PATH), inform6 + library);
}

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

TEST_F(OptionsSheetTest, EditorPageShowsTheSelectedStyleAndChangesOnlyIt) {
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
  ClickListRow(1007, 3);
  EXPECT_EQ(Sample(sample), QStringLiteral("Code #00ff00 0 1"));
  EXPECT_FALSE(Control<QCheckBox>(1009)->isChecked());
  EXPECT_TRUE(Control<QCheckBox>(1010)->isChecked());
  EXPECT_EQ(Control<QPushButton>(1011)->text(), QStringLiteral("&Default Styles"));
  EXPECT_EQ(Control<QCheckBox>(1012)->text(), QStringLiteral("&Show Tabs"));
  EXPECT_FALSE(Control(1011)->isEnabled() || Control(1012)->isEnabled());
  EXPECT_EQ(m_sheet->ColorPage()->findChild<QGroupBox*>()->title(), QStringLiteral("Syntax Styles"));

  ClickListRow(1007, 9);
  Click(1009);
  EXPECT_EQ(Sample(sample), QStringLiteral("Identifiers #008000 1 0"));
  ClickListRow(1007, 1); // italic on and off again
  Click(1010);
  EXPECT_EQ(Sample(sample), QStringLiteral("Quoted Text #ff0000 0 1"));
  Click(1010);
  QStringList initials;
  QColor answer(1, 2, 3);
  SetColorDialogFunction([&](const QColor& initial, QWidget*) { return initials << initial.name(), answer; });
  ClickListRow(1007, 7);
  Click(1008);
  EXPECT_EQ(Sample(sample), QStringLiteral("Escape Codes #010203 0 0"));
  ClickListRow(1007, 4);
  answer = QColor(); // cancelled
  Click(1008);
  EXPECT_EQ(initials, QStringList({"#800080", "#000080"}));
  EXPECT_EQ(Sample(sample), QStringLiteral("Foreground Text #000080 0 0"));

  Press(QDialogButtonBox::Ok);
  QStringList styles; // colour, bold and italic of each
  for (const QString style : {"Comment", "QuotedText", "Function", "Code", "Foreground", "Directive", "Property",
                              "Escape", "Assembly", "CodeAlpha"})
    styles << Stored({"Styles/" + style + "Colour", "Styles/" + style + "Bold", "Styles/" + style + "Italic"});
  EXPECT_EQ(styles.join(", "), "255 1 0, 255 0 0, 16711680 0 0, 65280 0 1, 8388608 0 0, 0 0 0, 16711680 0 0, "
                               "197121 0 0, 32896 0 0, 32768 1 0");
}

TEST_F(OptionsSheetTest, BuildPageShowsTheStoredSwitchesAndEachBoxSetsItsBit) {
  ASSERT_TRUE(m_store->WriteProfileInt("Editor\\Options", "StandardOptions", 21 + 64));
  ASSERT_TRUE(m_store->WriteProfileString("Editor\\Options", "UserDefOptions", "e|B||$SIZE=100|a|tail"));
  ASSERT_TRUE(m_store->WriteProfileInt("Editor\\Options", "z5", 3));
  ASSERT_TRUE(m_store->WriteProfileString("Editor\\Paths", "Compiler", "/bin/true")); // knows no switches to deny
  OpenSheet();
  OpenTab(2);
  QString ticks; // -D -U -s -d2 -j, .z5 .z8
  for (int id : {1018, 1019, 1022, 1020, 1021, 1037, 1038})
    ticks += Control<QAbstractButton>(id)->isChecked() ? '1' : '0';
  EXPECT_EQ(ticks, QStringLiteral("1010101"));
  EXPECT_EQ(ListTexts(1024), QStringList({"", "$SIZE=100", "a", "B", "e"}));
  const QStringList keys = {"Options/StandardOptions", "Options/UserDefOptions", "Options/z5"};
  Press(QDialogButtonBox::Ok); // untouched, the values stay as they were
  EXPECT_EQ(Stored(keys), "85 e|B||$SIZE=100|a|tail 3");
  for (auto [ids, stored] : {std::pair{std::vector{1019, 1020, 1037}, "31 e|B||$SIZE=100|a|tail 1"},
                             {std::vector{1018, 1022, 1021, 1038}, "10 e|B||$SIZE=100|a|tail 2"}}) {
    m_sheet->show();
    for (int id : ids) Click(id);
    Press(QDialogButtonBox::Ok);
    EXPECT_EQ(Stored(keys), stored);
  }
  m_sheet->show(); // a switch added after an unended one is not glued to it
  TypeInto(1041, QStringLiteral("ab"));
  Click(1042);
  Press(QDialogButtonBox::Ok);
  EXPECT_EQ(Stored(keys), "10 e|B||$SIZE=100|a|tail|ab| 2");
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
  EXPECT_EQ(Stored({"Options/UserDefOptions"}), QStringLiteral("e|ab|b|"));
}

QStringList ListedWhenReady(QFileDialog* dialog, int count) {
  auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
  QStringList names;
  for (int i = 0; i < 500 && names.size() != count; ++i) {
    QTest::qWait(10);
    names.clear();
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
      names << view->model()->index(row, 0, view->rootIndex()).data().toString();
  }
  names.sort();
  return names;
}

TEST_F(OptionsSheetTest, ProgramFileDialogListsExecutablesUnlessAllFilesIsChosen) {
  SetProgramFileDialogFunction({});
  for (const char* name : {"inform6", "notes.txt"}) ASSERT_TRUE(QFile(m_dir.filePath(name)).open(QIODevice::WriteOnly));
  QFile::setPermissions(m_dir.filePath(QStringLiteral("inform6")),
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QStringList seen;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    seen << dialog->windowTitle() << dialog->nameFilters() << ListedWhenReady(dialog, 1);
    QTest::keyClick(dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")), Qt::Key_Down);
    seen << ListedWhenReady(dialog, 2);
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("inform6"));
    static_cast<QDialog*>(dialog)->accept();
  });
  EXPECT_EQ(ChooseProgramFile(nullptr, QStringLiteral("Inform Compiler"),
                              m_dir.filePath(QStringLiteral("notes.txt"))),
            m_dir.filePath(QStringLiteral("inform6")));
  EXPECT_EQ(seen, QStringList({"Inform Compiler", "Executable Files (*)", "All Files (*)",
                               "inform6", "inform6", "notes.txt"}));
}

TEST_F(OptionsSheetTest, StyleTableViewRecordsFollowThePaletteAtEachLoad) {
  const QPalette saved = QGuiApplication::palette();
  QPalette palette = saved;
  palette.setColor(QPalette::Base, QColor(0x10, 0x20, 0x30));
  palette.setColor(QPalette::Text, QColor(0xA0, 0xB0, 0xC0));
  palette.setColor(QPalette::Button, QColor(0x01, 0x02, 0x03));
  palette.setColor(QPalette::Highlight, QColor(0x0A, 0x0B, 0x0C)); // the selection's
  QGuiApplication::setPalette(palette);
  const auto colours = [&] {
    m_styles.LoadStyles(*m_store);
    return QStringLiteral("%1 %2 %3 %4 %5").arg(m_styles.GetColour(0), 0, 16).arg(m_styles.GetColour(1), 0, 16)
        .arg(m_styles.GetColour(2), 0, 16).arg(m_styles.GetColour(3), 0, 16).arg(m_styles.GetColour(4), 0, 16);
  };
  EXPECT_EQ(colours(), "302010 302010 c0b0a0 30201 c0b0a");
  palette.setColor(QPalette::Base, QColor(0xFF, 0x00, 0x00));
  QGuiApplication::setPalette(palette);
  EXPECT_EQ(colours(), "ff ff c0b0a0 30201 c0b0a");
  QGuiApplication::setPalette(saved);
}

} // namespace
