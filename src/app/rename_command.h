#pragma once
#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "cmd_target.h"
#include "rename_plan.h"

class CLanguageService;
class CRenameDialog;
class CTorvaneView;
class QWidget;

// Rename Symbol (Ctrl+R, Ctrl+R; the view's menu): renames the name at the caret in every file
// of the game, open or not. The dialog previews each changed line and refuses, naming the
// reason, a new name that is no name, a word of the language, or a name defined or used
// already; names of the library are not renamed. Files that are not open are listed and
// saved only once the user agrees; each open document takes the change as one undo group.
class CRenameCommand : public QObject, public CCmdTarget {
  Q_OBJECT

public:
  using ActiveView = std::function<CTorvaneView*()>;
  using DialogParent = std::function<QWidget*()>;
  // Runs the dialog; true when the rename is asked for. The default is exec(); tests drive it.
  using Asker = std::function<bool(CRenameDialog& dialog)>;

  CRenameCommand(CLanguageService& service, ActiveView activeView, DialogParent parent, QObject* owner = nullptr);
  void SetAsker(Asker asker) { m_asker = std::move(asker); }

  // Renames the name at the active view's caret; false when nothing was renamed.
  bool Rename();

private:
  CRenamePlan Plan(uint32_t name, const std::string& newName);
  bool ReadLines(int file, std::vector<std::string>& lines) const;
  QString ProblemText(const CRenamePlan& plan) const;
  QString FileName(int file) const;
  bool Apply(const CRenamePlan& plan);
  bool WriteClosedFiles(const std::vector<std::pair<int, std::vector<CRenameEdit>>>& closed);

  CLanguageService& m_service;
  ActiveView m_activeView;
  DialogParent m_parent;
  Asker m_asker;
};
