// Every dialog of the IDE as a screen reader and the keyboard reach it: each control that can
// take the focus has a name and a role, and Tab gets to it.
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "difference_view.h"
#include "ide_test_support.h"
#include "rename_dialog.h"

namespace {

// The control a focus widget belongs to: a spin box's or a combo box's own edit is the box.
QWidget* ControlOf(QWidget* widget) {
  QWidget* parent = widget->parentWidget();
  return qobject_cast<QAbstractSpinBox*>(parent) || qobject_cast<QComboBox*>(parent) ? parent : widget;
}

// The radio buttons of a group are one Tab stop (the arrow keys move among them).
bool SameStop(QWidget* a, QWidget* b) {
  auto *first = qobject_cast<QRadioButton*>(a), *second = qobject_cast<QRadioButton*>(b);
  return a == b || (first && second && first->parentWidget() == second->parentWidget());
}

// What the reader or the keyboard misses among the controls shown now, as "where: class
// 'text': what".
void MissingOnPage(QWidget& dialog, const QString& where, QStringList& missing) {
  std::vector<QWidget*> controls, reached;
  for (QWidget* widget : dialog.findChildren<QWidget*>())
    if (widget->isVisible() && (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus &&
        ControlOf(widget) == widget && !widget->focusProxy()) // a proxy's part takes the focus
      controls.push_back(widget);
  for (size_t i = 0; i < 2 * controls.size() + 2 && QApplication::focusWidget(); ++i) {
    reached.push_back(ControlOf(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  for (QWidget* control : controls) {
    auto* button = qobject_cast<QAbstractButton*>(control);
    const QString it = QString("%1: %2 '%3': ").arg(where, control->metaObject()->className(), button ? button->text() : "");
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(control);
    if (access->text(QAccessible::Name).trimmed().isEmpty()) missing << it + "no name";
    if (access->role() == QAccessible::NoRole || access->role() == QAccessible::Client) missing << it + "no role";
    if (control->isEnabled() && std::none_of(reached.begin(), reached.end(), [control](QWidget* r) { return SameStop(r, control); }))
      missing << it + "not reached by Tab";
  }
}

// The dialog's title, then what is missed on every page (each tab of a tab widget in turn).
QStringList Missing(QDialog& dialog) {
  dialog.activateWindow();
  QStringList missing{dialog.windowTitle()};
  if (!QTest::qWaitFor([&dialog] { return QApplication::activeWindow() == &dialog; }))
    return missing << "never active";
  const QList<QTabWidget*> tabs = dialog.findChildren<QTabWidget*>();
  if (tabs.isEmpty()) MissingOnPage(dialog, "", missing);
  for (QTabWidget* tab : tabs)
    for (int i = 0; i < tab->count(); ++i) {
      tab->setCurrentIndex(i);
      tab->widget(i)->setFocus(Qt::TabFocusReason);
      MissingOnPage(dialog, tab->tabText(i), missing);
    }
  return missing;
}

class Dialogs : public apptest::Ide {
protected:
  // Reads the modal dialog command id opens, then cancels it.
  std::string ReadCommandDialog(int id) {
    QStringList read{"no dialog opened"};
    QTimer::singleShot(0, [&read] {
      if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        read = Missing(*dialog);
        dialog->reject();
      }
    });
    EXPECT_TRUE(Choose(id)) << id;
    return read.join("\n").toStdString();
  }
};

TEST_F(Dialogs, EveryControlOfEveryDialogHasANameARoleAndATabStop) {
  ASSERT_TRUE(WriteFile(Path("g.inf"), "Object lamp \"lamp\";\r\n"));
  ASSERT_TRUE(Start({Path("g.inf")}));
  const std::pair<int, const char*> commands[] = {
      {Cmd::EDIT_FIND, "Find"}, {Cmd::EDIT_REPLACE, "Replace"}, {Cmd::GOTO_LINE, "Go to Line"},
      {Cmd::VIEW_OPTIONS, "IDE Options"}, {Cmd::PROJECT_GAME_WIZARD, "Game Wizard"},
      {Cmd::INSERT_OBJECT, "New Object"}, {Cmd::INSERT_CLASS, "New Class"}, {Cmd::INSERT_ROOM, "New Room"},
      {Cmd::INSERT_FUNCTION, "New Function"}, {Cmd::INSERT_NPC, "New NPC"}, {Cmd::FILE_PRINT, "Print"},
      {Cmd::APP_ABOUT, "About Torvane"}};
  for (const auto& [id, title] : commands) EXPECT_EQ(ReadCommandDialog(id), title);

  CRenameDialog rename("lamp", [](const QString&) {
    return CRenameDialog::CPreview{{}, {{"g.inf", 1, "Object torch \"lamp\";", false}}};
  });
  rename.show();
  EXPECT_EQ(Missing(rename).join("\n").toStdString(), "Rename lamp");
  WalkthroughOutcome outcome;
  outcome.name = "w";
  CDifferenceView difference(Path(""), outcome);
  difference.show();
  EXPECT_EQ(Missing(difference).join("\n").toStdString(), "Difference: w");
}

} // namespace
