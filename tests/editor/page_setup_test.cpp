// Page Setup through its real dialog: presets from "Editor\PageSetup", only the margins to
// change, OK stores the four margins in hundredths of a millimetre, Cancel stores nothing.
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include "command_ids.h"
#include "message_box.h"
#include "page_setup.h"
#include "print_dialogs.h"
#include "profile_store.h"
#include "view_test_support.h"

namespace {

class PageSetup : public viewtest::TextViewTest<> {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    CProfileStore::SetUserConfigDirectory(dir.path());
  }
  void TearDown() override { SetPrintDialogHandler({}); }

  // Runs Page Setup: the open dialog's margins (left, right, top, bottom) go to shown, the
  // typed millimetres (if any) replace them, and the button closes it.
  void Run(std::vector<double> typed, QDialogButtonBox::StandardButton button) {
    SetPrintDialogHandler([=, this](QDialog& dialog) {
      QTimer::singleShot(0, &dialog, [=, this, &dialog] {
        int i = 0;
        for (const char* name : {"leftMargin", "rightMargin", "topMargin", "bottomMargin"}) {
          auto* box = dialog.findChild<QDoubleSpinBox*>(QLatin1String(name));
          ASSERT_TRUE(box && box->isEnabled()) << name;
          shown.push_back(box->value());
          if (!typed.empty()) box->setValue(typed[i++]);
        }
        for (const char* other : {"pageSizeCombo", "portrait", "landscape", "pagesPerSheetCombo"})
          EXPECT_FALSE(dialog.findChild<QWidget*>(QLatin1String(other))->isEnabled()) << other;
        dialog.findChild<QDialogButtonBox*>()->button(button)->click();
      });
      return dialog.exec();
    });
    EXPECT_TRUE(view.OnCmdMsg(Cmd::FILE_PAGE_SETUP));
  }
  QStringList Stored() {
    CProfileStore store;
    QStringList values;
    for (const char* key : {"LeftMargin", "RightMargin", "TopMargin", "BottomMargin"})
      values << (store.HasProfileValue("Editor\\PageSetup", key)
                     ? QString::number(store.GetProfileInt("Editor\\PageSetup", key, 0))
                     : QStringLiteral("none"));
    return values;
  }

  QTemporaryDir dir;
  std::vector<double> shown;
};

// A stored margin below 0 is shown as 0.
TEST_F(PageSetup, OkStoresTheFourMarginsInHundredthsOfAMillimetreAndCancelNothing) {
  CProfileStore().WriteProfileInt("Editor\\PageSetup", "RightMargin", 2000);
  CProfileStore().WriteProfileInt("Editor\\PageSetup", "BottomMargin", -3);
  Run({5, 6, 7, 8}, QDialogButtonBox::Cancel);
  EXPECT_EQ(shown, std::vector<double>({10, 20, 10, 0}));
  EXPECT_EQ(Stored(), QStringList({"none", "2000", "none", "4294967293"})); // -3, unsigned
  Run({12.34, 7.5, 25, 0}, QDialogButtonBox::Ok);
  EXPECT_EQ(Stored(), QStringList({"1234", "750", "2500", "0"}));
  shown.clear();
  Run({}, QDialogButtonBox::Cancel);
  EXPECT_EQ(shown, std::vector<double>({12.34, 7.5, 25, 0}));
}

TEST_F(PageSetup, AStoreThatCannotBeWrittenIsReported) {
  QStringList messages;
  SetTorvaneMessageBoxHandler([&](const QString& text, unsigned) {
    messages << text;
    return IDOK;
  });
  SetPrintDialogHandler([](QDialog&) { return int(QDialog::Accepted); });
  CProfileStore folder(dir.path()); // a folder is no settings file
  EXPECT_TRUE(RunPageSetup(folder, nullptr));
  SetTorvaneMessageBoxHandler({});
  EXPECT_EQ(messages, QStringList("The page margins could not be saved to " + dir.path() + "."));
}

} // namespace
