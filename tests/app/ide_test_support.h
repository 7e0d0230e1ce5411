#pragma once
// A whole IDE for one test: the application with its main frame, settings in a folder of
// its own, message boxes and file dialogs answered by the test, and a recording tree in
// each object-bar tab.
#include <QAction>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "document_tree.h"
#include "torvane_app.h"

class CTorvaneDoc;
class CTorvaneView;

namespace apptest {

// Records the calls a document makes on an object-bar tree, as "Fill objects Untitled1".
struct RecordingTree : CDocumentTree {
  std::vector<std::string> calls;
  void RemoveDocument(const std::string& name) override { calls.push_back("Remove " + name); }
  void FillDocument(const std::string& name, const CObjectMap& map, int depth) override {
    calls.push_back("Fill objects " + name + " " + std::to_string(map.size()) + " " +
                    std::to_string(depth));
  }
  void FillDocument(const std::string& name, const CFunctionMap& map, int) override {
    calls.push_back("Fill functions " + name + " " + std::to_string(map.size()));
  }
  bool SetDocumentRootText(const std::string& name, const std::string& text) override {
    calls.push_back("Rename " + name + " " + text);
    return true;
  }
};

class Ide : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the application on files (with the recording trees when trees is set); the
  // result of InitInstance.
  bool Start(const QStringList& files = {}, bool trees = false);
  // Closes the main frame as the user does; true when it closed.
  bool CloseFrame();
  // The action of command id in menu menuId (128 or 129), searched through its pop-ups.
  QAction* MenuAction(int menuId, int id);
  // Refreshes and triggers command id from the menu shown now; false when it is disabled.
  bool Choose(int id);
  CTorvaneDoc* ActiveDoc();
  CTorvaneView* ActiveView();
  std::vector<std::string> TreeCalls(int tab) { return trees[tab].calls; }
  QString Path(const QString& name) const { return dir.filePath(name); }

  QTemporaryDir dir;
  std::unique_ptr<CTorvaneApp> app;
  RecordingTree trees[3];
  QStringList messages;
  std::vector<int> answers; // given to the boxes in turn; IDOK once they run out
  QStringList dialogTitles;
  QStringList dialogFilters;
  QString dialogAnswer;
};

} // namespace apptest
