#include "source_builds.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include "build_plan.h"
#include "compiler_probe.h"
#include "profile_store.h"
#include "project_session.h"

namespace {

int ZVersionOf(StoryTarget target) {
  switch (target) {
  case StoryTarget::Z3: return 3;
  case StoryTarget::Z4: return 4;
  case StoryTarget::Z5: return 5;
  case StoryTarget::Z6: return 6;
  case StoryTarget::Z7: return 7;
  case StoryTarget::Z8: return 8;
  case StoryTarget::Glulx: return 0;
  }
  return 5;
}

} // namespace

CBranchContext BranchContextOf(bool glulx, int zVersion, bool debug, const std::vector<std::string>& symbols) {
  CBranchContext context;
  context.glulx = glulx;
  context.zVersion = glulx ? 5 : zVersion;
  if (debug) context.defined.emplace_back("DEBUG");
  // "$#NAME=value" or "$#NAME": the name is defined.
  for (const std::string& symbol : symbols) {
    std::string name = symbol.starts_with("$#") ? symbol.substr(2) : symbol;
    name = name.substr(0, name.find('='));
    if (!name.empty()) context.defined.push_back(name);
  }
  return context;
}

CSourceBuild CSourceBuilds::For(const QString& sourcePath) {
  const CompileSettings settings = ReadCompileSettings(CProfileStore());
  if (sourcePath.isEmpty()) { // an untitled text builds with the settings alone
    CSourceBuild build;
    if (!settings.library.isEmpty()) build.includeFolders << settings.library;
    build.libraryFolder = settings.library;
    build.branches = BranchContextOf(false, settings.z5 == 1 ? 5 : 8, (settings.standardOptions & OPTION_DEBUG) != 0, {});
    return build;
  }
  const QString absolute = QFileInfo(sourcePath).absoluteFilePath();
  const QString mainFile = m_session.MainFileFor(absolute);
  const QString key = QStringList{absolute, QString::number(QFileInfo(mainFile).lastModified().toMSecsSinceEpoch()), settings.compiler,
                                  settings.library, QString::number(settings.standardOptions), settings.userDefOptions,
                                  QString::number(settings.z5)}.join(QLatin1Char('\n'));
  const auto found = m_cache.find(absolute);
  if (found != m_cache.end() && found->second.key == key) return found->second.build;
  CProfileStore store;
  const CompilerFacts facts = settings.compiler.isEmpty() ? CompilerFacts() : CompilerFactsFor(settings.compiler, &store);
  const BuildPlan plan = PlanBuild(absolute, settings, &facts, m_session.IsOpen() ? &m_session.Project() : nullptr);
  const CompilerOptions& options = plan.analysis.options;
  CSourceBuild build;
  build.mainFile = plan.mainFile;
  build.libraryFolder = QFile::decodeName(QByteArray::fromStdString(plan.analysis.library.folder));
  for (const std::string& folder : options.includePath) build.includeFolders << QFile::decodeName(QByteArray::fromStdString(folder));
  build.branches = BranchContextOf(IsGlulx(options.target), ZVersionOf(options.target), options.debug, options.symbols);
  m_cache[absolute] = {key, build};
  return build;
}
