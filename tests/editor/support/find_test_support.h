#pragma once
// Find and replace tests: an editing view whose settings live in a temporary folder, message
// boxes recorded and answered OK, and modal dialogs driven through their controls while the
// command that opened them waits.
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QStringList>
#include <QTimer>
#include <functional>

#include "edit_test_support.h"
#include "message_box.h"
#include "profile_store.h"
#include "search_dialog.h"
#include "settings_keys.h"

namespace findtest {

class FindTest : public edittest::EditViewTest<> {
protected:
  void SetUp() override {
    CProfileStore::SetUserConfigDirectory(configDir.path());
    previousHandler = SetTorvaneMessageBoxHandler([this](const QString& text, unsigned buttons) {
      messages << text;
      EXPECT_EQ(buttons, MB_OK);
      return IDOK;
    });
  }
  void TearDown() override { SetTorvaneMessageBoxHandler(previousHandler); }

  // Runs open (a command or a key); once a modal dialog of type D is up, act drives it and
  // must close it. Returns whether a dialog came up.
  template <typename D>
  bool RunDialog(const std::function<void()>& open, const std::function<void(D&)>& act) {
    bool opened = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
        poll.stop();
        opened = true;
        act(*dialog);
      }
    });
    poll.start();
    open();
    return opened;
  }
  std::function<void()> Command(int id) {
    return [this, id] { view->OnCmdMsg(id); };
  }

  static QAbstractButton* Button(CSearchDialog& d, int id) {
    return qobject_cast<QAbstractButton*>(d.GetDlgItem(id));
  }
  static QString Text(CSearchDialog& d, int id) {
    if (QAbstractButton* button = Button(d, id)) return button->text();
    return static_cast<QLineEdit*>(d.GetDlgItem(id))->text();
  }
  static void Type(CSearchDialog& d, int id, const QString& text) {
    static_cast<QLineEdit*>(d.GetDlgItem(id))->clear();
    QTest::keyClicks(d.GetDlgItem(id), text);
  }
  static void Click(CSearchDialog& d, int id) { Button(d, id)->click(); }
  static bool Checked(CSearchDialog& d, int id) { return Button(d, id)->isChecked(); }
  bool Enabled(int id) {
    CCmdUIState state;
    EXPECT_TRUE(view->OnUpdateCmdUI(id, state)) << id;
    return state.enabled;
  }

  using EditViewTest::Text;
  QTemporaryDir configDir;
  QStringList messages;
  TorvaneMessageBoxHandler previousHandler;
};

} // namespace findtest
