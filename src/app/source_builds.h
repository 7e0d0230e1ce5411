#pragma once
#include <QString>
#include <QStringList>
#include <map>

#include "language_index.h"

class CProjectSession;

// What the language service needs to know of the build a source belongs to.
struct CSourceBuild {
  QString mainFile;           // absolute; empty for a source without a file
  QStringList includeFolders; // the compiler's include path, in search order
  QString libraryFolder;      // the folder of the library the game uses; empty when none
  CBranchContext branches;    // target and symbols given from outside (mainFile left -1)
};

// The builds of sources as Compile would make them (the open project's main file, target,
// profile and paths for a member, else the source's own "!%" header with the settings), each
// planned again only when its main file, its time or the settings change. Forget() drops
// them all (the project changed).
class CSourceBuilds {
public:
  explicit CSourceBuilds(const CProjectSession& session) : m_session(session) {}
  CSourceBuild For(const QString& sourcePath);
  void Forget() { m_cache.clear(); }

private:
  struct CCached {
    QString key;
    CSourceBuild build;
  };
  const CProjectSession& m_session;
  std::map<QString, CCached> m_cache; // by main file
};

// The branch context of a build's switches: Glulx or the Z-code version, DEBUG for -D, each
// $#SYMBOL.
CBranchContext BranchContextOf(bool glulx, int zVersion, bool debug, const std::vector<std::string>& symbols);
