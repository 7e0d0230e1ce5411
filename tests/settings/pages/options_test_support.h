#pragma once
// A shown options sheet over a store in a temporary folder; its dialogs answered by the test.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "color_picker.h"
#include "control_id.h"
#include "editor_options.h"
#include "folder_browser.h"
#include "message_box.h"
#include "profile_store.h"
#include "program_file_dialog.h"
#include "style_table.h"

inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

class OptionsSheetTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    m_store = std::make_unique<CProfileStore>(m_dir.filePath(QStringLiteral("store.ini")));
    SetTorvaneMessageBoxHandler([this](const QString& text, unsigned) {
      m_messages << text;
      return IDOK;
    });
    // A dialog the test did not answer fails it instead of waiting for a user.
    SetColorDialogFunction([](const QColor&, QWidget*) { return ADD_FAILURE(), QColor(); });
    SetFolderDialogFunction([](QWidget*, const QString&, const QString&) {
      return ADD_FAILURE(), QString();
    });
    SetProgramFileDialogFunction([](QWidget*, const QString&, const QString&) {
      return ADD_FAILURE(), QString();
    });
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
  // Clicks the tab's label, as the user changes pages.
  void OpenTab(int tab) {
    QTabBar* bar = m_sheet->Tabs()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
  }
  template <typename T = QWidget> T* Control(int id) const {
    T* control = FindControl<T>(m_sheet.get(), id);
    EXPECT_NE(control, nullptr) << id;
    return control;
  }
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
  // Every value in the store's file, sorted, as "Editor/Paths/Compiler".
  QStringList StoredKeys() const {
    QStringList keys = QSettings(m_store->FileName(), QSettings::IniFormat).allKeys();
    keys.sort();
    return keys;
  }
  QString Stored(const QString& key) const {
    return QSettings(m_store->FileName(), QSettings::IniFormat).value(key).toString();
  }

  QTemporaryDir m_dir;
  std::unique_ptr<CProfileStore> m_store;
  CStyleTable m_styles;
  std::unique_ptr<CEditorOptions> m_sheet;
  QStringList m_messages; // texts of the message boxes shown
};
