#include "insert_definition.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <cctype>
#include <unordered_set>

#include "build_analysis.h"
#include "command_ids.h"
#include "new_definition_dialog.h"
#include "object_bar_document.h"
#include "profile_store.h"
#include "project_session.h"
#include "settings_keys.h"
#include "text_buffer.h"
#include "torvane_doc.h"
#include "torvane_view.h"

namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
  return out;
}

QString Shown(std::string_view name) {
  return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// What the open documents define: object and class names for the dialog's lists, and every
// name in lower case, the way Inform compares names.
struct KnownNames {
  QStringList objects;
  QStringList classes;
  std::unordered_set<std::string> lowered;
};

KnownNames CollectNames(const std::vector<CObjectBarDocument*>& documents) {
  KnownNames names;
  for (const CObjectBarDocument* document : documents) {
    for (const CObjectRecord& record : document->GetObjectMap()) {
      names.objects << Shown(record.m_name);
      names.lowered.insert(Lower(record.m_name));
      if (!record.m_class.empty()) names.classes << Shown(record.m_class);
    }
    for (const CClassRecord& record : document->GetClassMap()) {
      names.classes << Shown(record.m_name);
      names.lowered.insert(Lower(record.m_name));
    }
    for (const CFunctionRecord& record : document->GetFunctionMap())
      names.lowered.insert(Lower(record.m_name));
  }
  for (QStringList* list : {&names.objects, &names.classes}) {
    list->removeDuplicates();
    list->sort(Qt::CaseInsensitive);
  }
  return names;
}

} // namespace

InformLibrary LibraryOfSource(const QString& path, const CProjectSession& session) {
  if (path.isEmpty()) return InformLibrary::Standard;
  auto native = [](const QString& file) { return QFile::encodeName(file).toStdString(); };
  const std::string global = native(ReadToolPath(CProfileStore(), SETTING_LIBRARY_PATH));
  BuildInputs inputs;
  inputs.mainFile = native(QFileInfo(session.MainFileFor(path)).absoluteFilePath());
  if (session.Contains(path)) {
    inputs.commandLine = ProjectCommandLine(session.Project(), global);
    inputs.libraryFolder = session.Project().libraryPath.empty() ? global : session.Project().libraryPath;
  } else {
    inputs.commandLine = {"+include_path=" + global};
    inputs.libraryFolder = global;
  }
  return AnalyseBuild(inputs).library.kind == LibraryKind::PunyInform ? InformLibrary::Puny
                                                                      : InformLibrary::Standard;
}

bool DefinitionKindOfCommand(int id, DefinitionKind& kind) {
  switch (id) {
  case Cmd::INSERT_CLASS: kind = DefinitionKind::Class; return true;
  case Cmd::INSERT_OBJECT: kind = DefinitionKind::Object; return true;
  case Cmd::INSERT_ROOM: kind = DefinitionKind::Room; return true;
  case Cmd::INSERT_FUNCTION: kind = DefinitionKind::Function; return true;
  case Cmd::INSERT_NPC: kind = DefinitionKind::Npc; return true;
  default: return false;
  }
}

bool InsertDefinitionLines(CEditView& view, const std::string& text) {
  CTextBuffer* buffer = view.GetBuffer();
  if (!buffer || !view.IsEditable()) return false;
  const TextPosition caret = view.GetCursorPosition();
  int line = caret.y;
  int pos = 0;
  std::string block = text + "\r\n";
  if (caret.x > 0 && caret.y + 1 < buffer->LineCount()) {
    line = caret.y + 1;
  } else if (caret.x > 0) {
    // After the last line: the text gets a line of its own.
    pos = buffer->LineLength(line);
    block = "\r\n" + text;
  }
  buffer->OpenUndoGroup(false);
  int endLine = 0, endChar = 0;
  const bool inserted =
      buffer->InsertText(&view, line, pos, block, endLine, endChar, UndoAction::Insert);
  buffer->CloseUndoGroup(&view);
  if (!inserted) return false;
  if (endChar == 0 && endLine > 0) endChar = buffer->LineLength(--endLine);
  view.MoveCaretTo(TextPosition(endChar, endLine));
  return true;
}

void RunInsertCommand(int id, CTorvaneView& view, const std::vector<CObjectBarDocument*>& documents,
                      InformLibrary library, QWidget* parent) {
  DefinitionKind kind;
  if (!DefinitionKindOfCommand(id, kind) || !view.IsEditable()) return;
  const KnownNames names = CollectNames(documents);
  CNewDefinitionDialog dialog(
      kind, names.objects, names.classes,
      [&names](std::string_view name) { return names.lowered.contains(Lower(name)); }, parent);
  if (dialog.exec() != QDialog::Accepted) return;
  if (!InsertDefinitionLines(view, ComposeDefinition(dialog.Definition(), library))) return;
  if (CTorvaneDoc* document = view.GetDocument()) document->RebuildObjectTree();
  view.setFocus();
}
