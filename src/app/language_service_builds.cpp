// The language service and the builds of its sources: the include path the compiler will
// search, and the stretches of conditional compilation each document's build leaves out.
#include <algorithm>
#include <limits>

#include "document.h"
#include "language_service.h"
#include "text_view.h"
#include "torvane_doc.h"
#include "view.h"

void CLanguageService::SetBuildOf(BuildOf buildOf) {
  m_buildOf = std::move(buildOf);
  BuildsChanged();
}

void CLanguageService::BuildsChanged() {
  if (!m_buildOf) return;
  // Every open source's folders, the first one's first: an Include is found where its own
  // build would find it as long as the builds do not disagree.
  QStringList folders;
  m_libraryFolders.assign(1, STANDARD_LIBRARY_FOLDER);
  for (const auto& [document, tracked] : m_tracked) {
    const CSourceBuild build = m_buildOf(document->GetPathName());
    for (const QString& folder : build.includeFolders)
      if (!folders.contains(folder)) folders << folder;
    // The include path holds the author's own folders too: only the library's is the library.
    if (!build.libraryFolder.isEmpty()) m_libraryFolders.push_back(build.libraryFolder.toStdString());
  }
  SetIncludeFolders(folders);
  m_branchesStale = true;
  Schedule();
}

void CLanguageService::UpdateInactive() {
  m_branchesStale = false;
  for (const auto& [document, tracked] : m_tracked) {
    auto* inform = dynamic_cast<CTorvaneDoc*>(document);
    const std::optional<int> file = inform ? m_index.FindFile(KeyOf(inform).toStdString()) : std::nullopt;
    if (!file) continue;
    CBranchContext context;
    if (m_buildOf) {
      const CSourceBuild build = m_buildOf(document->GetPathName());
      context = build.branches;
      const std::optional<int> main = build.mainFile.isEmpty() ? std::nullopt : m_index.FindFile(build.mainFile.toStdString());
      if (main && m_index.IsIndexed(*main)) context.mainFile = *main;
    }
    // The lines between a directive and the one that ends its stretch; the directives stay.
    std::vector<std::pair<int, int>> inactive;
    for (const CIndexBranch& branch : m_index.Branches(*file, context))
      if (!branch.active && branch.lastLine - branch.firstLine > 1) inactive.emplace_back(branch.firstLine + 1, branch.lastLine - 1);
    std::sort(inactive.begin(), inactive.end());
    std::vector<std::pair<int, int>>& kept = m_inactive[document];
    if (kept == inactive) continue;
    kept = std::move(inactive);
    for (CView* view : document->Views())
      if (auto* text = dynamic_cast<CTextView*>(view->ViewWidget())) text->viewport()->update();
  }
}

bool CLanguageService::IsInactiveLine(const CDocument* document, int line) const {
  const auto found = m_inactive.find(document);
  if (found == m_inactive.end()) return false;
  const std::vector<std::pair<int, int>>& stretches = found->second;
  // Stretches may nest: the last one starting at or before the line may lie inside another.
  for (auto it = std::upper_bound(stretches.begin(), stretches.end(), std::make_pair(line, std::numeric_limits<int>::max())); it != stretches.begin();)
    if ((--it)->second >= line) return true;
  return false;
}
