// The real program file dialog: "Executable Files" lists only what the user may run.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QTimer>

#include "options_test_support.h"

namespace {

QStringList Listed(QFileDialog* dialog) {
  auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
  QStringList names;
  for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
    names << view->model()->index(row, 0, view->rootIndex()).data().toString();
  names.sort();
  return names;
}

// The names listed once the folder has been read (the model reads it in the background).
QStringList ListedWhenReady(QFileDialog* dialog, int count) {
  QStringList names = Listed(dialog);
  for (int i = 0; i < 500 && names.size() != count; ++i, names = Listed(dialog)) QTest::qWait(10);
  return names;
}

TEST_F(OptionsSheetTest, ProgramFileDialogListsExecutablesUnlessAllFilesIsChosen) {
  SetProgramFileDialogFunction({});
  for (const char* name : {"inform6", "notes.txt"}) {
    QFile file(m_dir.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  QFile::setPermissions(m_dir.filePath(QStringLiteral("inform6")),
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QStringList seen;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    seen << dialog->windowTitle() << dialog->nameFilters();
    seen << ListedWhenReady(dialog, 1);
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

} // namespace
