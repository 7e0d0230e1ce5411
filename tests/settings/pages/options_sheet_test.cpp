// The sheet as a whole: which pages write, Cancel, the paths page, a failed write and the
// modal entry point.
#include <QApplication>
#include <QTimer>

#include "options_test_support.h"

namespace {

QStringList StyleKeys() {
  QStringList keys;
  for (const char* name : {"Assembly", "Code", "CodeAlpha", "Comment", "Directive", "Escape",
                           "Foreground", "Function", "Property", "QuotedText"})
    for (const char* suffix : {"Bold", "Colour", "Italic"})
      keys << QStringLiteral("Editor/Styles/") + QLatin1String(name) + QLatin1String(suffix);
  keys.sort();
  return keys;
}

TEST_F(OptionsSheetTest, CancelWritesNothingAndOkAtOnceWritesOnlyTheEditorPage) {
  OpenSheet();
  Click(1009); // Bold of "Comments"
  OpenTab(1);
  TypeInto(1014, QStringLiteral("/opt/inform6"));
  OpenTab(2);
  Click(1022);
  Press(QDialogButtonBox::Cancel);
  EXPECT_FALSE(m_sheet->isVisible());
  EXPECT_EQ(StoredKeys(), QStringList());

  OpenSheet();
  EXPECT_EQ(m_sheet->windowTitle(), QStringLiteral("IDE Options"));
  ASSERT_EQ(m_sheet->Tabs()->count(), 3);
  EXPECT_EQ(m_sheet->Tabs()->tabText(0), QStringLiteral("Editor"));
  EXPECT_EQ(m_sheet->Tabs()->tabText(1), QStringLiteral("Compiler/Interpreter"));
  EXPECT_EQ(m_sheet->Tabs()->tabText(2), QStringLiteral("Build"));
  Press(QDialogButtonBox::Ok);
  EXPECT_FALSE(m_sheet->isVisible());
  EXPECT_EQ(StoredKeys(), StyleKeys());
  EXPECT_FALSE(m_sheet->SettingsChanged()); // the defaults were written
}

TEST_F(OptionsSheetTest, PathsPageReadsTypesBrowsesAndWritesTheThreePaths) {
  const QString paths = QStringLiteral("Editor\\Paths");
  ASSERT_TRUE(m_store->WriteProfileString(paths, QStringLiteral("Compiler"), QStringLiteral("/c")));
  ASSERT_TRUE(m_store->WriteProfileString(paths, QStringLiteral("Library"), QStringLiteral("/l")));
  OpenSheet();
  OpenTab(1);
  const auto text = [this](int id) { return Control<QLineEdit>(id)->text(); };
  EXPECT_EQ(text(1014) + text(1016) + text(1034), QStringLiteral("/c/l"));

  // A typed path survives browsing for another one; a cancelled browse changes nothing.
  TypeInto(1016, QStringLiteral("/usr/games/dfrotz"));
  QStringList asked;
  QString answer = QStringLiteral("/usr/bin/inform6");
  SetProgramFileDialogFunction([&](QWidget* parent, const QString& title, const QString& start) {
    asked << title + QLatin1Char('|') + start;
    EXPECT_EQ(parent, m_sheet.get());
    return answer;
  });
  Click(1015);
  answer.clear();
  Click(1017);
  EXPECT_EQ(asked, QStringList({"Inform Compiler|/c", "Z-Code Interpreter|/usr/games/dfrotz"}));
  SetFolderDialogFunction([&](QWidget* owner, const QString& title, const QString& start) {
    asked << title + QLatin1Char('|') + start;
    EXPECT_EQ(owner, m_sheet.get());
    return answer;
  });
  Click(1035); // cancelled
  EXPECT_EQ(text(1034), QStringLiteral("/l"));
  answer = QStringLiteral("/usr/share/inform6/library");
  Click(1035);
  EXPECT_EQ(asked.last(), QStringLiteral("Library Path|/l"));
  EXPECT_EQ(text(1034), QStringLiteral("/usr/share/inform6/library"));

  TypeInto(1034, QStringLiteral(" my lib ")); // stored as typed
  OpenTab(0); // leaving the page and coming back keeps what was typed
  OpenTab(1);
  Press(QDialogButtonBox::Ok);
  EXPECT_EQ(StoredKeys().size(), 33);
  EXPECT_EQ(Stored(QStringLiteral("Editor/Paths/Compiler")), QStringLiteral("/usr/bin/inform6"));
  EXPECT_EQ(Stored(QStringLiteral("Editor/Paths/Interpreter")), QStringLiteral("/usr/games/dfrotz"));
  EXPECT_EQ(Stored(QStringLiteral("Editor/Paths/Library")), QStringLiteral(" my lib "));
  EXPECT_TRUE(m_sheet->SettingsChanged());
}

TEST_F(OptionsSheetTest, FailedWriteIsReportedAndTheSheetStaysOpen) {
  m_store = std::make_unique<CProfileStore>(m_dir.path()); // a folder: no write can succeed
  OpenSheet();
  Press(QDialogButtonBox::Ok);
  EXPECT_EQ(m_messages,
            QStringList({"The options could not be saved to \"" + m_dir.path() + "\"."}));
  EXPECT_TRUE(m_sheet->isVisible());
}

TEST_F(OptionsSheetTest, RunOptionsSheetIsModalAndTellsWhetherSettingsChanged) {
  for (bool changeBold : {false, true}) {
    QTimer::singleShot(0, [changeBold] {
      auto* sheet = qobject_cast<CEditorOptions*>(QApplication::activeModalWidget());
      if (changeBold) FindControl<QAbstractButton>(sheet, 1009)->click();
      sheet->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_EQ(RunOptionsSheet(nullptr, m_styles, *m_store), changeBold);
  }
  EXPECT_EQ(Stored(QStringLiteral("Editor/Styles/CommentBold")), QStringLiteral("1"));
}

} // namespace
