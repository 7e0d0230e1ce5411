#pragma once
// A whole IDE for one test: the application with its main frame, settings in a folder of
// its own, message boxes and file dialogs answered by the test.
#include <QAction>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "torvane_app.h"

class CTorvaneDoc;
class CTorvaneView;

namespace apptest {

class Ide : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the application on files; the result of InitInstance.
  bool Start(const QStringList& files = {});
  // Closes the main frame as the user does; true when it closed.
  bool CloseFrame();
  // The action of command id in menu menuId (128 or 129), searched through its pop-ups.
  QAction* MenuAction(int menuId, int id);
  // Refreshes and triggers command id from the menu shown now; false when it is disabled.
  bool Choose(int id);
  // The tree of object-bar tab tab: each root and its items, children in parentheses
  // ("lantern(LampRoom, Workshop(lantern))"), roots apart by a blank.
  std::string Tree(int tab);
  CTorvaneDoc* ActiveDoc();
  CTorvaneView* ActiveView();
  QString Path(const QString& name) const { return dir.filePath(name); }

  QTemporaryDir dir;
  std::unique_ptr<CTorvaneApp> app;
  QStringList messages;
  std::vector<int> answers; // given to the boxes in turn; IDOK once they run out
  QStringList dialogTitles;
  QStringList dialogFilters;
  QString dialogAnswer;
};

} // namespace apptest
