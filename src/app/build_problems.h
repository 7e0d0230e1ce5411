#pragma once
#include <QObject>
#include <QString>
#include <vector>

#include "cmd_target.h"
#include "compiler_problems.h"

class CDocManager;
class CDocument;
class CMainFrame;
class CProblemsBar;
class QDockWidget;

// The errors and warnings of the last build: read from the compiler's output as it arrives
// in the output bar (which stays as it is), listed in the Problems bar when the build ends,
// and marked under the lines they name in every open document (and in documents opened
// later) until the next build. The bar shares the bottom with the output bar; View > Problems
// Bar (VIEW_PROBLEMS_BAR) shows and hides it.
class CBuildProblems : public QObject, public CCmdTarget {
  Q_OBJECT

public:
  CBuildProblems(CMainFrame& frame, CDocManager& documents);
  ~CBuildProblems() override;

  // A build of mainFile starts (the compiler runs in its folder and names it without a file):
  // the last build's problems and marks go.
  void BeginBuild(const QString& mainFile);
  // The build has ended: the bar lists its problems, the documents show them. Nothing when
  // no build began.
  void EndBuild();

  CProblemsBar* Bar() const { return m_bar; }
  QDockWidget* Dock() const { return m_dock; }
  // Opens the problem's file at the line it names (the compiler's counting mapped to the
  // document's); false when it cannot.
  bool GoTo(const QString& path, int line, bool header);

private:
  void Mark(CDocument* document);
  void ClearMarks(CDocument* document);
  QString Resolve(const std::string& file) const;

  CMainFrame& m_frame;
  CDocManager& m_documents;
  CProblemsBar* m_bar = nullptr;
  QDockWidget* m_dock = nullptr;
  CCompilerProblemReader m_reader;
  QString m_mainFile;
  bool m_building = false;
};
