// Every dialog of the IDE as a screen reader and the keyboard reach it: each control that can
// take the focus has a name and a role, and Tab gets to it.
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "difference_view.h"
#include "ide_test_support.h"
#include "rename_dialog.h"

namespace {

using apptest::Ide;

// The control a focus widget belongs to: a spin box's or a combo box's own line edit is the
// box itself.
QWidget* ControlOf(QWidget* widget) {
  QWidget* parent = widget ? widget->parentWidget() : nullptr;
  if (qobject_cast<QAbstractSpinBox*>(parent) || qobject_cast<QComboBox*>(parent)) return parent;
  return widget;
}

QString Describe(QWidget* widget) {
  QString text;
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) text = button->text();
  return QString("%1 '%2'").arg(widget->metaObject()->className(), text);
}

// Radio buttons of one group are one Tab stop: the arrow keys move among them.
bool SameRadioGroup(QWidget* a, QWidget* b) {
  auto* first = qobject_cast<QRadioButton*>(a);
  auto* second = qobject_cast<QRadioButton*>(b);
  if (!first || !second) return false;
  if (first->group() || second->group()) return first->group() == second->group();
  return first->autoExclusive() && second->autoExclusive() &&
         first->parentWidget() == second->parentWidget();
}

// What the reader or the keyboard misses among the controls shown now.
QStringList MissingOnPage(QWidget& dialog) {
  std::vector<QWidget*> controls;
  for (QWidget* widget : dialog.findChildren<QWidget*>()) {
    if (!widget->isVisible() || (widget->focusPolicy() & Qt::TabFocus) != Qt::TabFocus) continue;
    if (ControlOf(widget) != widget || widget->focusProxy()) continue; // the part takes the focus
    controls.push_back(widget);
  }
  QStringList missing;
  if (controls.empty()) return {"no control takes the focus"};
  for (QWidget* control : controls) {
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(control);
    if (!access) {
      missing << Describe(control) + ": not accessible";
      continue;
    }
    if (access->text(QAccessible::Name).trimmed().isEmpty()) missing << Describe(control) + ": no name";
    if (access->role() == QAccessible::NoRole || access->role() == QAccessible::Client)
      missing << Describe(control) + ": no role";
  }
  // Twice round the chain from wherever the focus is.
  std::vector<QWidget*> reached;
  for (size_t i = 0; i < 2 * controls.size() + 2; ++i) {
    QWidget* focus = QApplication::focusWidget();
    if (!focus) break;
    reached.push_back(ControlOf(focus));
    QTest::keyClick(focus, Qt::Key_Tab);
  }
  for (QWidget* control : controls) {
    const bool hit = std::any_of(reached.begin(), reached.end(), [control](QWidget* r) {
      return r == control || SameRadioGroup(r, control);
    });
    if (control->isEnabled() && !hit) missing << Describe(control) + ": not reached by Tab";
  }
  return missing;
}

// Every page of the dialog, each tab of a tab widget in turn, as "page: what is missing".
QStringList Missing(QDialog& dialog) {
  dialog.activateWindow();
  if (!QTest::qWaitFor([&dialog] { return QApplication::activeWindow() == &dialog; }))
    return {"the dialog never became active"};
  QStringList missing;
  const auto page = [&](const QString& where) {
    for (const QString& problem : MissingOnPage(dialog)) missing << where + ": " + problem;
  };
  const QList<QTabWidget*> tabs = dialog.findChildren<QTabWidget*>();
  if (tabs.isEmpty()) page(dialog.windowTitle());
  for (QTabWidget* tab : tabs)
    for (int i = 0; i < tab->count(); ++i) {
      tab->setCurrentIndex(i);
      tab->widget(i)->setFocus(Qt::TabFocusReason);
      if (!tab->widget(i)->hasFocus()) tab->tabBar()->setFocus(Qt::TabFocusReason);
      page(dialog.windowTitle() + " / " + tab->tabText(i));
    }
  return missing;
}

class Dialogs : public Ide {
protected:
  // Chooses command id and reads the modal dialog it opens, then cancels it: "title" and a
  // line for each control missed.
  QStringList ReadCommandDialog(int id) {
    QStringList read{"no dialog opened"};
    QTimer::singleShot(0, [&read] {
      if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        read = QStringList{dialog->windowTitle()} + Missing(*dialog);
        dialog->reject();
      }
    });
    EXPECT_TRUE(Choose(id)) << id;
    return read;
  }
};

TEST_F(Dialogs, EveryControlOfEveryDialogHasANameARoleAndATabStop) {
  ASSERT_TRUE(WriteFile(Path("g.inf"), "Object lamp \"lamp\";\r\n"));
  ASSERT_TRUE(Start({Path("g.inf")}));
  const struct {
    int id;
    const char* title;
  } commands[] = {
      {Cmd::EDIT_FIND, "Find"},
      {Cmd::EDIT_REPLACE, "Replace"},
      {Cmd::GOTO_LINE, "Go to Line"},
      {Cmd::VIEW_OPTIONS, "IDE Options"},
      {Cmd::PROJECT_GAME_WIZARD, "Game Wizard"},
      {Cmd::INSERT_OBJECT, "New Object"},
      {Cmd::INSERT_CLASS, "New Class"},
      {Cmd::INSERT_ROOM, "New Room"},
      {Cmd::INSERT_FUNCTION, "New Function"},
      {Cmd::INSERT_NPC, "New NPC"},
      {Cmd::FILE_PRINT, "Print"},
      {Cmd::APP_ABOUT, "About Torvane"},
  };
  for (const auto& command : commands)
    EXPECT_EQ(ReadCommandDialog(command.id).join("\n").toStdString(), command.title);

  CRenameDialog rename("lamp", [](const QString&) {
    return CRenameDialog::CPreview{{}, {{"g.inf", 1, "Object torch \"lamp\";", false}}};
  });
  rename.show();
  EXPECT_EQ(Missing(rename).join("\n").toStdString(), "");

  WalkthroughOutcome outcome;
  outcome.name = "w";
  outcome.ranToEnd = true;
  CDifferenceView difference(Path(""), outcome);
  difference.show();
  EXPECT_EQ(Missing(difference).join("\n").toStdString(), "");
}

} // namespace
