#include "build_problems.h"

#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>

#include "command_ids.h"
#include "compiler_line_map.h"
#include "doc_manager.h"
#include "file_name.h"
#include "main_frame.h"
#include "output_bar.h"
#include "problems_bar.h"
#include "squiggle.h"
#include "string_table.h"
#include "text_buffer.h"
#include "torvane_doc.h"
#include "torvane_view.h"

namespace {


} // namespace

CBuildProblems::CBuildProblems(CMainFrame& frame, CDocManager& documents) : m_frame(frame), m_documents(documents) {
  m_dock = new QDockWidget(QString::fromLatin1(LoadStringResource(StringId::PROBLEMS_BAR_TITLE)), &frame);
  m_dock->setObjectName(QString::number(Cmd::VIEW_PROBLEMS_BAR));
  m_dock->setAllowedAreas(Qt::AllDockWidgetAreas);
  m_bar = new CProblemsBar(m_dock);
  m_dock->setWidget(m_bar);
  frame.addDockWidget(Qt::BottomDockWidgetArea, m_dock);
  frame.tabifyDockWidget(frame.GetOutputBar(), m_dock);
  frame.GetOutputBar()->raise();
  m_dock->hide();
  connect(m_bar, &CProblemsBar::problemActivated, this,
          [this](const QString& path, int line, bool header) { GoTo(path, line, header); });
  frame.OutputControl()->SetLineListener([this](QStringView line) {
    if (m_building) m_reader.ReadLine(line.toUtf8().toStdString());
  });
  // A document opened after a build shows that build's problems.
  connect(&documents, &CDocManager::documentOpened, this, &CBuildProblems::Mark);
  m_commands.Add(Cmd::VIEW_PROBLEMS_BAR, [this] { m_dock->setVisible(m_dock->isHidden()); },
                 CCommandTable::ALWAYS, [this] { return !m_dock->isHidden(); });
}

CBuildProblems::~CBuildProblems() { m_frame.OutputControl()->SetLineListener({}); }

void CBuildProblems::BeginBuild(const QString& mainFile) {
  m_mainFile = AbsoluteCleanPath(mainFile);
  m_reader.Reset();
  m_building = true;
  m_bar->SetProblems({});
  for (CDocument* document : m_documents.Documents()) ClearMarks(document);
}

QString CBuildProblems::Resolve(const std::string& file) const {
  if (file.empty()) return m_mainFile;
  return QDir::cleanPath(QFileInfo(m_mainFile).absoluteDir().absoluteFilePath(QString::fromStdString(file)));
}

void CBuildProblems::EndBuild() {
  if (!m_building) return;
  m_building = false;
  // What the bar still waits to show has been read: every line went past the listener.
  m_reader.Finish();
  std::vector<CProblemsBar::CEntry> entries;
  for (const CompilerProblem& p : m_reader.Problems()) {
    const bool placed = p.line > 0;
    entries.push_back({placed ? Resolve(p.file) : QString(), p.line, p.warning, p.header,
                       QString::fromStdString(p.text)});
  }
  m_bar->SetProblems(entries);
  if (!entries.empty() && m_dock->isHidden()) {
    m_dock->show();
    // Its tab comes beside the output, which stays in front.
    if (!m_frame.GetOutputBar()->isHidden()) m_frame.GetOutputBar()->raise();
  }
  for (CDocument* document : m_documents.Documents()) Mark(document);
}

void CBuildProblems::ClearMarks(CDocument* document) {
  CTextBuffer* buffer = document->TextBuffer();
  if (!buffer) return;
  for (const uint32_t flag : {LF_PROBLEM_ERROR, LF_PROBLEM_WARNING})
    for (int line = buffer->FirstLineWithFlag(flag); line >= 0; line = buffer->FirstLineWithFlag(flag))
      buffer->SetLineFlag(line, flag, false, false);
}

void CBuildProblems::Mark(CDocument* document) {
  CTextBuffer* buffer = document->TextBuffer();
  if (!buffer || document->GetPathName().isEmpty()) return;
  ClearMarks(document);
  const QString path = AbsoluteCleanPath(document->GetPathName());
  std::vector<int> compiled;
  std::vector<uint32_t> compiledFlags;
  for (const CProblemsBar::CEntry& e : m_bar->Entries()) {
    if (e.path != path || e.line <= 0) continue;
    const uint32_t flag = e.warning ? LF_PROBLEM_WARNING : LF_PROBLEM_ERROR;
    if (e.header) {
      if (e.line <= buffer->LineCount()) buffer->SetLineFlag(e.line - 1, flag, true, false);
    } else {
      compiled.push_back(e.line);
      compiledFlags.push_back(flag);
    }
  }
  if (compiled.empty()) return;
  const std::vector<int> lines = MapCompilerLinesOfFile(path, buffer->GetLineEndStyle(), compiled);
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i] >= 1 && lines[i] <= buffer->LineCount()) buffer->SetLineFlag(lines[i] - 1, compiledFlags[i], true, false);
}

bool CBuildProblems::GoTo(const QString& path, int line, bool header) {
  auto* document = dynamic_cast<CTorvaneDoc*>(m_documents.OpenDocumentFile(path));
  if (!document) return false;
  document->GoToLine(header ? line : MapCompilerLinesOfFile(path, document->Buffer().GetLineEndStyle(), {line}).front());
  if (CTorvaneView* view = document->FirstView()) view->setFocus();
  return true;
}
