#include "recent_file_list.h"

#include <QDir>
#include <QFileInfo>

void CRecentFileList::Add(const QString& path) {
  m_paths.removeAll(path);
  m_paths.prepend(path);
  while (m_paths.size() > m_size) m_paths.removeLast();
}

void CRecentFileList::Remove(int index) {
  if (index >= 0 && index < m_paths.size()) m_paths.removeAt(index);
}

void CRecentFileList::SetPaths(const QStringList& paths) {
  m_paths.clear();
  // Added oldest first, so that the first of paths ends at the front.
  for (auto it = paths.crbegin(); it != paths.crend(); ++it)
    if (!it->isEmpty()) Add(*it);
}

QString CRecentFileList::MenuText(int index) const {
  const QFileInfo file(m_paths.at(index));
  QString shown = file.absolutePath() == QDir::currentPath() ? file.fileName() : m_paths.at(index);
  shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
  return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}
