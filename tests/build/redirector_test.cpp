// The redirector with real child processes: what reaches the sink, the failure texts, cancel,
// large output, literal arguments, and commands run from inside its event pump.
#include <csignal>
#include <cerrno>
#include <cstring>
#include <new>
#include <random>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "build_test_support.h"
#include "compile_command.h"
#include "redirector.h"

namespace {

const QByteArray COMPLETE = QByteArray(TEXT_COMPILATION_COMPLETE);

class RedirectorTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
  QString Path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
  // A script whose command line is its quoted path.
  QString Script(const char* name, const QByteArray& body) {
    const QString path = Path(name);
    EXPECT_TRUE(WriteScript(path, body));
    return QuoteCommandArgument(path);
  }
  QByteArray RunCommand(const QString& commandLine) {
    CCaptureSink sink;
    CRedirector redirector(commandLine, &sink);
    redirector.Run();
    return sink.m_text;
  }
  // The pid a script wrote with "echo $$ > f.tmp; mv f.tmp f" (renamed whole, never half).
  qint64 ReadPid(const char* name) const { return ReadFile(Path(name)).trimmed().toLongLong(); }
  static bool ProcessGone(qint64 pid) { return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

  QTemporaryDir m_dir;
};

} // namespace

TEST_F(RedirectorTest, ChildOutputArrivesAndEveryRunEndsWithTheCompletionLine) {
  EXPECT_EQ(RunCommand(QStringLiteral("/bin/true")), COMPLETE);
  EXPECT_EQ(RunCommand(Script("both.sh", "printf 'out\\n'; printf 'err\\n' >&2")),
            QByteArray("out\nerr\n") + COMPLETE);
  // Standard input is empty, not a pipe left open: a child reading it sees the end at once.
  EXPECT_EQ(RunCommand(Script("stdin.sh", "cat; printf 'read done'")),
            QByteArray("read done") + COMPLETE);
}

TEST_F(RedirectorTest, ChildExitStatusIsKept) {
  CCaptureSink sink;
  CRedirector redirector(Script("three.sh", "exit 3"), &sink);
  redirector.Run();
  EXPECT_TRUE(redirector.ChildFinished());
  EXPECT_EQ(redirector.ChildExitCode(), 3);
  EXPECT_EQ(sink.m_text, COMPLETE);
}

TEST_F(RedirectorTest, ProgramThatCannotStartIsReportedWithoutCompletionLine) {
  const QByteArray missing = RunCommand(Path("no-such-compiler") + QStringLiteral(" -v5 x.inf"));
  EXPECT_TRUE(missing.startsWith("Error creating process\r\n")) << missing.toStdString();
  EXPECT_GT(missing.size(), QByteArray("Error creating process\r\n\r\n").size()); // the system's text
  EXPECT_TRUE(missing.endsWith("\r\n"));
  EXPECT_FALSE(missing.contains("Compilation Complete."));

  EXPECT_EQ(RunCommand(QStringLiteral("   ")),
            QByteArray("Error creating process\r\nThe command line is empty.\r\n"));

  CCaptureSink sink;
  CRedirector badDirectory(QStringLiteral("/bin/true"), &sink, Path("no-such-directory"));
  badDirectory.Run();
  EXPECT_TRUE(sink.m_text.startsWith("Error creating process\r\n")) << sink.m_text.toStdString();
  EXPECT_FALSE(badDirectory.ChildFinished());
}

TEST_F(RedirectorTest, FailureTextsAndChunkRewriting) {
  EXPECT_EQ(CRedirector::FormatFailure(TEXT_PEEK_FAILED, QStringLiteral("Broken pipe")),
            QByteArray("PeekNamedPipe fialed\r\nBroken pipe\r\n"));
  EXPECT_EQ(CRedirector::FormatFailure(TEXT_READ_FAILED, QString()),
            QByteArray("ReadFile fialed\r\nNo status because FormatMessage failed.\r\n"));

  QByteArray chunk("a\bb\0c\b\bPress any key to continue . . .\nmore", 48);
  CRedirector::FilterChunk(chunk);
  EXPECT_EQ(chunk, QByteArray("a b\0c  ", 7)); // a zero byte is text like any other
  QByteArray almost("Press any key to continue . .");
  CRedirector::FilterChunk(almost);
  EXPECT_EQ(almost, QByteArray("Press any key to continue . ."));
}

TEST_F(RedirectorTest, BackspacesBecomeBlanksAndThePausePromptEndsTheChunk) {
  // One printf is one write, so the prompt and its tail arrive in the same chunk.
  EXPECT_EQ(RunCommand(Script("pause.sh",
                              "printf 'x\\by\\b\\bz\\nCompiled.\\nPress any key to continue . . . gone'")),
            QByteArray("x y  z\nCompiled.\n") + COMPLETE);
}

TEST_F(RedirectorTest, TenMegabytesArriveWhole) {
  QByteArray data(10 * 1024 * 1024, '\0');
  std::mt19937 random(1234);
  for (char& c : data) c = static_cast<char>(random() & 0xff);
  data.replace("Press any key to continue . . .", "pressed");
  ASSERT_TRUE(WriteFile(Path("big.bin"), data));

  CCaptureSink sink;
  CRedirector redirector(QStringLiteral("/bin/cat ") + QuoteCommandArgument(Path("big.bin")), &sink);
  // The pause between polls ends as soon as output arrives and is never taken while output is
  // waiting, so even an hour-long interval lets the run through (it would hang otherwise).
  redirector.SetPollInterval(3600 * 1000);
  redirector.Run();

  QByteArray expected = data;
  expected.replace('\b', ' ');
  expected += COMPLETE;
  ASSERT_EQ(sink.m_text.size(), expected.size());
  EXPECT_TRUE(sink.m_text == expected);
  EXPECT_GE(sink.m_appends, int(data.size() / 8191)); // handed on in pieces of at most 8191
}

TEST_F(RedirectorTest, ArgumentsReachTheChildLiterallyWithoutAShell) {
  const QString strange = QStringLiteral("we\"ird $HOME; `id` & it's | x > y");
  ASSERT_TRUE(QDir(m_dir.path()).mkdir(strange));
  const QString script = m_dir.filePath(strange + QStringLiteral("/args $x.sh"));
  ASSERT_TRUE(WriteScript(script, "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done"));

  const QString source = m_dir.filePath(strange + QStringLiteral("/my `game`;$1.inf"));
  const QString commandLine = QuoteCommandArgument(script) + QStringLiteral(" -x ") +
                              QuoteCommandArgument(source) + QStringLiteral(" $PATH");
  EXPECT_EQ(RunCommand(commandLine),
            "[-x]\n[" + source.toLocal8Bit() + "]\n[$PATH]\n" + COMPLETE);
}

TEST_F(RedirectorTest, WorkingDirectoryIsTheChildsCurrentDirectory) {
  CCaptureSink sink;
  CRedirector redirector(QStringLiteral("/bin/pwd"), &sink, m_dir.path());
  redirector.Run();
  EXPECT_EQ(sink.m_text, QDir(m_dir.path()).canonicalPath().toLocal8Bit() + "\n" + COMPLETE);

  CCaptureSink inherited;
  CRedirector here(QStringLiteral("/bin/pwd"), &inherited);
  here.Run();
  EXPECT_EQ(inherited.m_text, QDir::current().canonicalPath().toLocal8Bit() + "\n" + COMPLETE);
}

TEST_F(RedirectorTest, CancelEndsASleepingChild) {
  CCaptureSink sink;
  CRedirector redirector(
      Script("sleeper.sh", "echo $$ > \"$0.tmp\"; mv \"$0.tmp\" \"$0.pid\"; exec sleep 600"), &sink);
  int pumps = 0;
  redirector.SetPumpMessages([&] {
    ++pumps;
    if (QFile::exists(Path("sleeper.sh.pid"))) redirector.Cancel();
  });
  redirector.Run();
  EXPECT_EQ(sink.m_text, QByteArray(TEXT_CANCELLED) + COMPLETE);
  EXPECT_EQ(QByteArray(TEXT_CANCELLED), QByteArray("\r\nCancelled.\r\n\r\nProcess terminated successfully.\r\n"));
  EXPECT_FALSE(redirector.ChildFinished());
  EXPECT_TRUE(ProcessGone(ReadPid("sleeper.sh.pid")));
}

TEST_F(RedirectorTest, CancelEndsAChildThatNeverStopsPrinting) {
  CCaptureSink sink;
  CRedirector redirector(QStringLiteral("/usr/bin/yes torvane"), &sink);
  redirector.SetPumpMessages([&] {
    if (sink.m_text.size() > 100000) redirector.Cancel();
  });
  redirector.Run();
  EXPECT_TRUE(sink.m_text.endsWith(QByteArray(TEXT_CANCELLED) + COMPLETE));
  EXPECT_TRUE(sink.m_text.startsWith("torvane\ntorvane\n"));
}

// The pump may run any command. These drive the cases the editor can produce.
TEST_F(RedirectorTest, DestroyedFromItsOwnPumpEndsTheChildAndReturnsQuietly) {
  CCaptureSink sink;
  // The redirector lives in storage we scribble over once it is destroyed, so a Run that went
  // on using its members would read garbage (a wild sink pointer, a set cancel flag) and fail.
  alignas(CRedirector) unsigned char storage[sizeof(CRedirector)];
  auto* redirector = new (storage) CRedirector(
      Script("victim.sh", "printf 'started\\n'; echo $$ > \"$0.tmp\"; mv \"$0.tmp\" \"$0.pid\"; exec sleep 600"),
      &sink);
  bool destroyed = false;
  redirector->SetPumpMessages([&] {
    if (!destroyed && QFile::exists(Path("victim.sh.pid"))) {
      destroyed = true;
      redirector->~CRedirector();
      std::memset(storage, 0xA5, sizeof storage);
    }
  });
  redirector->Run();
  ASSERT_TRUE(destroyed);
  EXPECT_FALSE(sink.m_text.contains("Compilation Complete."));
  EXPECT_FALSE(sink.m_text.contains("Cancelled"));
  EXPECT_TRUE(ProcessGone(ReadPid("victim.sh.pid")));
}

TEST_F(RedirectorTest, CompileStartedInsideACompileRunsToItsEndFirst) {
  const QString gate = Path("gate");
  CCaptureSink sink;
  CRedirector outer(Script("outer.sh", "while [ ! -e \"$0.go\" ]; do sleep 0.02; done; printf 'outer done\\n'"),
                    &sink);
  bool nested = false;
  outer.SetPumpMessages([&] {
    if (nested) return;
    nested = true;
    CRedirector inner(Script("inner.sh", "printf 'inner\\n'"), &sink);
    inner.Run();
    WriteFile(Path("outer.sh.go"), "go");
  });
  outer.Run();
  EXPECT_EQ(sink.m_text, "inner\n" + COMPLETE + "outer done\n" + COMPLETE);
  (void)gate;
}

TEST_F(RedirectorTest, RunningTheSameRedirectorAgainFromItsPumpDoesNothing) {
  CCaptureSink sink;
  CRedirector redirector(
      Script("once.sh", "while [ ! -e \"$0.go\" ]; do sleep 0.02; done; printf 'once\\n'"), &sink);
  int nestedRuns = 0;
  redirector.SetPumpMessages([&] {
    if (nestedRuns > 0) return;
    ++nestedRuns;
    EXPECT_TRUE(redirector.IsRunning());
    redirector.Run();
    WriteFile(Path("once.sh.go"), "go");
  });
  redirector.Run();
  EXPECT_FALSE(redirector.IsRunning());
  EXPECT_EQ(sink.m_text, "once\n" + COMPLETE);
  // The redirector can be run again once it has finished.
  QFile::remove(Path("once.sh.go"));
  WriteFile(Path("once.sh.go"), "go");
  sink.m_text.clear();
  redirector.Run();
  EXPECT_EQ(sink.m_text, "once\n" + COMPLETE);
}

TEST_F(RedirectorTest, DefaultPumpDispatchesPendingEvents) {
  // Without a pump of its own the redirector keeps the application's events flowing: a
  // queued call made before the run is delivered while the child is still running.
  CCaptureSink sink;
  CRedirector redirector(
      Script("wait.sh", "while [ ! -e \"$0.go\" ]; do sleep 0.02; done"), &sink);
  bool delivered = false;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [&] {
        delivered = true;
        WriteFile(Path("wait.sh.go"), "go");
      },
      Qt::QueuedConnection);
  redirector.Run();
  EXPECT_TRUE(delivered);
  EXPECT_EQ(sink.m_text, COMPLETE);
}
