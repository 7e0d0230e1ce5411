// torvane-cli project FILE: how the editor would build FILE (a project file or a main file),
// one fact a line: the compiler's command line, the target, the story file, the library and
// its version, the include path, then the problems the model found.
#include <cstdio>

#include <QCoreApplication>
#include <QFile>

#include "build_plan.h"
#include "cli_command.h"
#include "cli_project.h"
#include "compiler_probe.h"
#include "profile_store.h"

namespace {

const char* const PROJECT_USAGE =
    "project FILE                 how FILE (.i6proj or main file) is built, one fact a line";

int RunProjectCommand(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: torvane-cli %s\n", PROJECT_USAGE);
    return 2;
  }
  CliBuildTarget target;
  if (!LoadCliBuildTarget("project", argv[1], target)) return 2;
  const CProfileStore store;
  const CompileSettings settings = ReadCompileSettings(store);
  std::optional<CompilerFacts> facts;
  if (!settings.compiler.isEmpty()) {
    CProfileStore cache(store.FileName());
    facts = CompilerFactsFor(settings.compiler, &cache);
  }
  const BuildPlan plan = PlanBuild(target.source, settings, facts ? &*facts : nullptr,
                                   target.project ? &*target.project : nullptr);
  QString includePath;
  for (const std::string& folder : plan.analysis.options.includePath)
    includePath += (includePath.isEmpty() ? "" : ",") + QFile::decodeName(QByteArray::fromStdString(folder));
  const LibraryInfo& library = plan.analysis.library;
  QString text = QStringLiteral("command: %1\ntarget: %2\nstory: %3\nlibrary: %4\n")
                     .arg(plan.commandLine, QLatin1String(TargetName(plan.Target())), plan.storyPath,
                          QString::fromStdString(library.Describe()));
  text += QStringLiteral("library version: %1\ninclude path: %2\n")
              .arg(QString::fromStdString(library.version), includePath);
  if (!plan.profile.isEmpty()) text += QStringLiteral("profile: %1\n").arg(plan.profile);
  for (const QString& problem : plan.Problems()) text += QStringLiteral("problem: %1\n").arg(problem);
  const QByteArray bytes = text.toUtf8();
  if (std::fwrite(bytes.constData(), 1, bytes.size(), stdout) != static_cast<size_t>(bytes.size()) ||
      std::fflush(stdout) != 0) {
    std::perror("torvane-cli project: cannot write the output");
    return 1;
  }
  return 0;
}

const CCliCommandRegistrar registerProject("project", PROJECT_USAGE, RunProjectCommand);

} // namespace
