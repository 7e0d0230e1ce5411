// torvane-cli build FILE: the editor's Compile without the editor — the same settings, the same
// command line, the same redirector, with the output on standard output.
#include <cstdio>
#include <optional>

#include <QCoreApplication>
#include <QFileInfo>

#include "cli_command.h"
#include "compile_command.h"
#include "output_sink.h"
#include "profile_store.h"

namespace {

const char* const BUILD_USAGE = "build FILE                   compile FILE with the configured compiler";

class CStandardOutputSink : public COutputSink {
public:
  void AppendText(const QByteArray& text) override {
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    std::fflush(stdout); // a long compile shows its progress as it comes
  }
};

int RunBuildCommand(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: torvane-cli %s\n", BUILD_USAGE);
    return 2;
  }
  // The redirector pumps events between polls; give it an application to pump.
  int appArgc = 1;
  char* appArgv[] = {argv[0], nullptr};
  std::optional<QCoreApplication> app;
  if (!QCoreApplication::instance()) app.emplace(appArgc, appArgv);

  const QFileInfo sourceInfo(QString::fromLocal8Bit(argv[1]));
  if (!sourceInfo.isFile()) {
    std::fprintf(stderr, "torvane-cli build: cannot read '%s': no such file\n", argv[1]);
    return 2;
  }
  // The editor compiles a document by its full path; so do we.
  const QString sourcePath = sourceInfo.absoluteFilePath();

  const CProfileStore store;
  CStandardOutputSink sink;
  const CompileRun run = RunCompile(sourcePath, store, &sink);
  if (!run.compilerSet) {
    std::printf("%s\n", TEXT_NO_COMPILER_PATH);
    return 1;
  }
  std::printf("\n");
  // The compiler's own verdict becomes ours, so scripts can tell a failed build.
  return run.childFinished ? run.exitCode : 1;
}

const CCliCommandRegistrar registerBuild("build", BUILD_USAGE, RunBuildCommand);

} // namespace
