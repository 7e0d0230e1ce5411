#include "rename_command.h"

#include <QFileInfo>
#include <map>

#include "command_ids.h"
#include "language_service.h"
#include "message_box.h"
#include "object_scanner.h"
#include "rename_dialog.h"
#include "string_table.h"
#include "text_buffer.h"
#include "text_file_io.h"
#include "torvane_doc.h"
#include "torvane_view.h"

namespace {

QString Text(int id) { return QString::fromLatin1(LoadStringResource(id)); }
QString Latin1(const std::string& text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }
constexpr std::size_t MAX_SOURCE_BYTES = std::size_t{256} << 20;

} // namespace

CRenameCommand::CRenameCommand(CLanguageService& service, ActiveView activeView, DialogParent parent, QObject* owner)
    : QObject(owner), m_service(service), m_activeView(std::move(activeView)), m_parent(std::move(parent)),
      m_asker([](CRenameDialog& dialog) { return dialog.exec() == QDialog::Accepted; }) {
  m_commands.Add(Cmd::RENAME_SYMBOL, [this] { Rename(); }, [this] { return m_activeView() != nullptr; });
}

QString CRenameCommand::FileName(int file) const {
  return QFileInfo(QString::fromStdString(m_service.Index().FilePath(file))).fileName();
}

bool CRenameCommand::ReadLines(int file, std::vector<std::string>& lines) const {
  lines.clear();
  if (CTorvaneDoc* document = m_service.DocumentOf(file)) {
    const CTextBuffer& buffer = document->Buffer();
    for (int line = 0; line < buffer.LineCount(); ++line) lines.emplace_back(buffer.LineChars(line), static_cast<std::size_t>(buffer.LineLength(line)));
    return true;
  }
  std::string bytes;
  if (!ReadFileBytes(m_service.Index().FilePath(file), bytes, MAX_SOURCE_BYTES)) return false;
  lines = std::move(CStringLineSource::FromText(bytes).Lines());
  return true;
}

CRenamePlan CRenameCommand::Plan(uint32_t name, const std::string& newName) {
  return PlanRename(m_service.Index(), name, newName, [this](int file) { return m_service.IsLibraryFile(file); },
                    [this](int file, std::vector<std::string>& lines) { return ReadLines(file, lines); });
}

QString CRenameCommand::ProblemText(const CRenamePlan& plan) const {
  const QString what = Latin1(plan.what);
  const QString file = plan.file >= 0 ? FileName(plan.file) : QString();
  const QString line = QString::number(plan.line + 1);
  switch (plan.problem) {
  case ERenameProblem::None: return {};
  case ERenameProblem::Unchanged: return Text(StringId::RENAME_UNCHANGED);
  case ERenameProblem::BadName: return Text(StringId::RENAME_BAD_NAME).arg(what);
  case ERenameProblem::TooLong: return Text(StringId::RENAME_TOO_LONG).arg(what);
  case ERenameProblem::Reserved: return Text(StringId::RENAME_RESERVED).arg(what);
  case ERenameProblem::NotDefined: return Text(StringId::RENAME_NOT_DEFINED).arg(what);
  case ERenameProblem::LibraryDefined: return Text(StringId::RENAME_LIBRARY_DEFINED).arg(what, file, line);
  case ERenameProblem::LibraryUsed: return Text(StringId::RENAME_LIBRARY_USED).arg(what, file, line);
  case ERenameProblem::ActionRoutine: return Text(StringId::RENAME_ACTION_ROUTINE).arg(what);
  case ERenameProblem::Clash:
    if (plan.kind.empty()) return Text(StringId::RENAME_CLASH_USED).arg(what, file, line);
    return Text(StringId::RENAME_CLASH_DEFINED).arg(what, Latin1(plan.kind), file, line);
  case ERenameProblem::Local: return Text(StringId::RENAME_LOCAL).arg(what, file, line);
  case ERenameProblem::Stale: return Text(StringId::RENAME_STALE).arg(file);
  }
  return {};
}

bool CRenameCommand::Rename() {
  CTorvaneView* view = m_activeView();
  if (!view) return false;
  m_service.IndexNow(); // files changed on disk are read again: the plan is made from the text as it is
  const std::optional<int> file = m_service.FileOf(view->GetDocument());
  const TextPosition caret = view->GetCursorPosition();
  const std::optional<CIndexReference> ref = file ? m_service.Index().ReferenceAt(*file, caret.y, caret.x) : std::nullopt;
  if (!ref) {
    TorvaneMessageBox(Text(StringId::RENAME_NO_NAME), MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  const uint32_t name = ref->m_name;
  CRenameDialog dialog(Latin1(m_service.Index().NameOf(name)), [this, name](const QString& newName) {
    const CRenamePlan plan = Plan(name, newName.toStdString());
    CRenameDialog::CPreview preview{ProblemText(plan), {}};
    std::vector<std::string> lines;
    int linesOf = -1;
    for (std::size_t first = 0; first < plan.edits.size();) {
      const CRenameEdit& edit = plan.edits[first];
      std::size_t last = first;
      while (last < plan.edits.size() && plan.edits[last].file == edit.file && plan.edits[last].line == edit.line) ++last;
      if (linesOf != edit.file && ReadLines(edit.file, lines)) linesOf = edit.file;
      std::string text = edit.line < static_cast<int>(lines.size()) ? lines[static_cast<std::size_t>(edit.line)] : std::string();
      std::vector<CRenameEdit> onLine(plan.edits.begin() + static_cast<std::ptrdiff_t>(first), plan.edits.begin() + static_cast<std::ptrdiff_t>(last));
      for (CRenameEdit& e : onLine) e.line = 0;
      ApplyRenameEdits(text, onLine);
      preview.changes.push_back({FileName(edit.file), edit.line + 1, Latin1(text), m_service.DocumentOf(edit.file) == nullptr});
      first = last;
    }
    return preview;
  }, m_parent ? m_parent() : nullptr);
  if (!m_asker(dialog) || !dialog.CanRename()) return false;
  // Made again: the files may have changed while the dialog was open.
  const CRenamePlan plan = Plan(name, dialog.NewName().toStdString());
  if (plan.problem != ERenameProblem::None) {
    TorvaneMessageBox(ProblemText(plan), MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  return Apply(plan);
}

bool CRenameCommand::Apply(const CRenamePlan& plan) {
  std::map<int, std::vector<CRenameEdit>> byFile;
  for (const CRenameEdit& edit : plan.edits) byFile[edit.file].push_back(edit);
  std::vector<std::pair<int, std::vector<CRenameEdit>>> closed;
  std::vector<std::pair<CTorvaneDoc*, std::vector<CRenameEdit>>> open;
  QString list;
  for (auto& [file, edits] : byFile) {
    if (CTorvaneDoc* document = m_service.DocumentOf(file)) {
      if (document->Buffer().IsReadOnly()) {
        TorvaneMessageBox(Text(StringId::RENAME_READ_ONLY).arg(FileName(file)), MB_OK | MB_ICONEXCLAMATION);
        return false;
      }
      open.emplace_back(document, std::move(edits));
    } else {
      list += QStringLiteral("    %1\n").arg(QString::fromStdString(m_service.Index().FilePath(file)));
      closed.emplace_back(file, std::move(edits));
    }
  }
  if (!closed.empty() &&
      TorvaneMessageBox(Text(StringId::RENAME_SAVE_CLOSED).arg(list), MB_YESNO | MB_ICONQUESTION) != IDYES)
    return false;
  if (!WriteClosedFiles(closed)) return false;
  for (auto& [document, edits] : open) {
    CTextBuffer& buffer = document->Buffer();
    buffer.OpenUndoGroup(false);
    // From the last to the first: the places before each stay where they were.
    for (auto it = edits.rbegin(); it != edits.rend(); ++it) {
      int endLine = it->line, endChar = it->col;
      buffer.DeleteText(nullptr, it->line, it->col, it->line, it->col + it->length, UndoAction::Replace);
      buffer.InsertText(nullptr, it->line, it->col, it->text, endLine, endChar, UndoAction::Replace);
    }
    buffer.CloseUndoGroup(nullptr);
  }
  return true;
}

// Every closed file is changed in memory first and written in one step each; when one cannot
// be written, those written before it get their old text back, so that the game is renamed in
// all its files or in none.
bool CRenameCommand::WriteClosedFiles(const std::vector<std::pair<int, std::vector<CRenameEdit>>>& closed) {
  std::vector<std::pair<std::string, std::string>> files; // path, old bytes
  std::vector<std::string> renamed;
  for (const auto& [file, edits] : closed) {
    const std::string& path = m_service.Index().FilePath(file);
    std::string bytes;
    FileError error;
    if (!ReadFileBytes(path, bytes, MAX_SOURCE_BYTES, &error)) {
      TorvaneMessageBox(Text(StringId::RENAME_WRITE_FAILED).arg(QString::fromStdString(path), QString::fromStdString(error.text)),
                        MB_OK | MB_ICONEXCLAMATION);
      return false;
    }
    std::string changed = bytes;
    if (!ApplyRenameEdits(changed, edits)) {
      TorvaneMessageBox(Text(StringId::RENAME_STALE).arg(FileName(file)), MB_OK | MB_ICONEXCLAMATION);
      return false;
    }
    files.emplace_back(path, std::move(bytes));
    renamed.push_back(std::move(changed));
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    FileError error;
    if (WriteFileBytes(files[i].first, renamed[i], &error)) continue;
    for (std::size_t j = 0; j < i; ++j) WriteFileBytes(files[j].first, files[j].second);
    TorvaneMessageBox(Text(StringId::RENAME_WRITE_FAILED).arg(QString::fromStdString(files[i].first), QString::fromStdString(error.text)),
                      MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  return true;
}
