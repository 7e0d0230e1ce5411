// The redirector with real children: what reaches the sink, failures, cancel, large output,
// literal arguments, and commands run from inside its event pump.
#include <csignal>
#include <cstring>
#include <new>
#include <random>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include "toolchain_test_support.h"
#include "compile_command.h"
#include "redirector.h"

namespace {

const QByteArray COMPLETE(TEXT_COMPILATION_COMPLETE);

class RedirectorTest : public ::testing::Test {
protected:
  QString Path(const QString& name) const { return m_dir.filePath(name); }
  // The command line of a new script; "$0.go" and "$0.pid" are files beside it.
  QString Script(const QString& name, const QByteArray& body) {
    EXPECT_TRUE(WriteScript(Path(name), body));
    return QuoteCommandArgument(Path(name));
  }
  QByteArray Run(const QString& commandLine, const QString& directory = QString()) {
    CCaptureSink sink;
    CRedirector(commandLine, &sink, directory).Run();
    return sink.m_text;
  }
  // Whether the script that wrote "$0.pid" (renamed into place whole) has gone.
  bool ScriptGone(const QString& name) const {
    return ProcessGone(ReadFile(Path(name + ".pid")).trimmed().toInt());
  }
  QTemporaryDir m_dir;
};

const QByteArray WRITE_PID = "echo $$ > \"$0.tmp\"; mv \"$0.tmp\" \"$0.pid\"; ";
const QByteArray WAIT_FOR_GO = "while [ ! -e \"$0.go\" ]; do sleep 0.02; done; ";

} // namespace

TEST_F(RedirectorTest, OutputArrivesRewrittenAndEndsWithTheCompletionLine) {
  EXPECT_EQ(Run(QStringLiteral("/bin/true")), COMPLETE);
  // Both streams; standard input is empty rather than a pipe left open.
  EXPECT_EQ(Run(Script("both.sh", "printf 'out\\n'; printf 'err\\n' >&2; cat")), "out\nerr\n" + COMPLETE);
  // One printf is one write: the pause prompt and its tail are in the same chunk.
  EXPECT_EQ(Run(Script("pause.sh", "printf 'x\\by\\b\\bz\\nPress any key to continue . . . gone'")),
            "x y  z\n" + COMPLETE);
  QByteArray chunk("a\0b\bPress any key to continue . . .", 35);
  CRedirector::FilterChunk(chunk);
  EXPECT_EQ(chunk, QByteArray("a\0b ", 4)); // a zero byte does not end the text

  CCaptureSink sink;
  CRedirector three(Script("three.sh", "exit 3"), &sink);
  three.Run();
  EXPECT_TRUE(three.ChildFinished());
  EXPECT_EQ(three.ChildExitCode(), 3);
}

TEST_F(RedirectorTest, FailuresAreReportedWithTheSystemsText) {
  // The path that could not be started is named.
  EXPECT_EQ(Run(Path("no-such-compiler") + " -v5 x.inf"),
            "Error creating process\r\n" + Path("no-such-compiler").toLocal8Bit() +
                ": No such file or directory\r\n");
  EXPECT_TRUE(Run(QStringLiteral("/bin/true"), Path("no-such-dir")).startsWith("Error creating process\r\n"));
  EXPECT_EQ(Run(QStringLiteral("  ")), "Error creating process\r\nThe command line is empty.\r\n");
  EXPECT_EQ(CRedirector::FormatFailure(TEXT_READ_FAILED, QString()),
            "ReadFile fialed\r\nNo status because FormatMessage failed.\r\n");
}

TEST_F(RedirectorTest, TenMegabytesArriveWholeWithoutWaitingBetweenChunks) {
  QByteArray data(10 << 20, '\0');
  std::mt19937 random(1234);
  for (char& c : data) c = static_cast<char>(random());
  ASSERT_TRUE(WriteFile(Path("big"), data));
  CCaptureSink sink;
  CRedirector redirector("/bin/cat " + QuoteCommandArgument(Path("big")), &sink);
  // The pause ends as soon as output arrives and is skipped while output waits, so even an
  // hour-long poll interval lets the run through; one read per interval would hang here.
  redirector.SetPollInterval(3600 * 1000);
  redirector.Run();
  EXPECT_TRUE(sink.m_text == data.replace('\b', ' ') + COMPLETE);
  EXPECT_GE(sink.m_appends, data.size() / 8191);
}

TEST_F(RedirectorTest, EndlessOutputIsHandedOnAsFastAsItIsRead) {
  // The child can only run ahead of the sink by what the pipe and one read hold; were output
  // left to pile up in the redirector between chunks, the child would have finished when
  // only a fraction of it had been handed on, and a child that never ends would fill memory.
  constexpr qint64 TOTAL = 64 << 20;
  struct CCountingSink : COutputSink {
    void AppendText(const QByteArray& text) override {
      m_total += text.size();
      if (m_handedOnWhenDone < 0 && QFile::exists(m_doneFile)) m_handedOnWhenDone = m_total;
    }
    QString m_doneFile;
    qint64 m_total = 0, m_handedOnWhenDone = -1;
  } sink;
  sink.m_doneFile = Path("flood.sh.done");
  CRedirector(Script("flood.sh", "head -c 67108864 /dev/zero; : > \"$0.done\""), &sink).Run();
  EXPECT_EQ(sink.m_total, TOTAL + COMPLETE.size());
  EXPECT_GT(sink.m_handedOnWhenDone, TOTAL - (1 << 20));
}

TEST_F(RedirectorTest, ArgumentsAndDirectoryReachTheChildLiterally) {
  const QString strange = QStringLiteral("we\"ird $HOME; `id` & it's | x > y");
  ASSERT_TRUE(QDir(m_dir.path()).mkdir(strange));
  const QString script = Script(strange + "/args $x.sh", "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done");
  const QString source = Path(strange + "/my `game`;$1.inf");
  EXPECT_EQ(Run(script + " -x " + QuoteCommandArgument(source) + " $PATH"),
            "[-x]\n[" + source.toLocal8Bit() + "]\n[$PATH]\n" + COMPLETE);
  EXPECT_EQ(Run(QStringLiteral("/bin/pwd"), Path(strange)),
            QDir(Path(strange)).canonicalPath().toLocal8Bit() + "\n" + COMPLETE);
  EXPECT_EQ(Run(QStringLiteral("/bin/pwd")), QDir::current().canonicalPath().toLocal8Bit() + "\n" + COMPLETE);
}

TEST_F(RedirectorTest, CancelEndsTheChildAndWhatItStartedWhetherItSleepsOrFloods) {
  // A helper of the child holds the output pipe open and would outlive a cancel that ended
  // the child alone. The cancel comes from an event, as Stop Build's would.
  CCaptureSink sink;
  CRedirector sleeper(Script("sleeper.sh", "sh -c '" + WRITE_PID + "exec sleep 600' \"$0.helper\" & " +
                                               WRITE_PID + "exec sleep 600"), &sink);
  QTimer stopBuild;
  bool runningWhenStopped = false;
  QObject::connect(&stopBuild, &QTimer::timeout, [&] {
    if (!QFile::exists(Path("sleeper.sh.pid")) || !QFile::exists(Path("sleeper.sh.helper.pid"))) return;
    runningWhenStopped = CRedirector::AnyRunning();
    CRedirector::CancelRunning();
  });
  stopBuild.start(10);
  sleeper.Run();
  EXPECT_TRUE(runningWhenStopped);
  EXPECT_FALSE(CRedirector::AnyRunning());
  EXPECT_EQ(sink.m_text, "\r\nCancelled.\r\n\r\nProcess terminated successfully.\r\n" + COMPLETE);
  EXPECT_TRUE(ScriptGone("sleeper.sh"));
  EXPECT_TRUE(ScriptGone("sleeper.sh.helper"));

  CCaptureSink flood;
  CRedirector yes(QStringLiteral("/usr/bin/yes"), &flood); // the pipe is never empty
  yes.SetPumpMessages([&] {
    if (flood.m_text.size() > 100000) yes.Cancel();
  });
  yes.Run();
  EXPECT_TRUE(flood.m_text.startsWith("y\ny\n") && flood.m_text.endsWith(TEXT_CANCELLED + COMPLETE));
}

TEST_F(RedirectorTest, DestroyedFromItsOwnPumpEndsTheChildAndTouchesNothing) {
  CCaptureSink sink;
  // Storage scribbled over after destruction: a Run that went on using its members would
  // find a wild sink pointer and a set cancel flag. The pump's one-pointer closure lives inside
  // the redirector too, so the pump itself must not be run from the object it destroys.
  alignas(CRedirector) unsigned char storage[sizeof(CRedirector)];
  auto* redirector = new (storage) CRedirector(Script("victim.sh", WRITE_PID + "exec sleep 600"), &sink);
  struct Victim {
    CRedirector* redirector;
    QString pidFile;
    bool destroyed = false;
  } victim{redirector, Path("victim.sh.pid")};
  redirector->SetPumpMessages([v = &victim] {
    if (v->destroyed || !QFile::exists(v->pidFile)) return;
    v->redirector->~CRedirector();
    std::memset(static_cast<void*>(v->redirector), 0xA5, sizeof(CRedirector));
    v->destroyed = true;
  });
  bool& destroyed = victim.destroyed;
  redirector->Run();
  ASSERT_TRUE(destroyed);
  EXPECT_TRUE(sink.m_text.isEmpty());
  EXPECT_TRUE(ScriptGone("victim.sh"));
}

TEST_F(RedirectorTest, CommandsRunFromThePumpNestInside) {
  // Another compile runs to its end first; a second Run of the same redirector does nothing.
  CCaptureSink sink;
  CRedirector outer(Script("outer.sh", WAIT_FOR_GO + "printf 'outer\\n'"), &sink);
  int pumps = 0;
  outer.SetPumpMessages([&] {
    if (pumps++) return;
    CRedirector(Script("inner.sh", "printf 'inner\\n'"), &sink).Run();
    outer.Run();
    WriteFile(Path("outer.sh.go"), "");
  });
  outer.Run();
  EXPECT_EQ(sink.m_text, "inner\n" + COMPLETE + "outer\n" + COMPLETE);
  outer.Run(); // and it runs again once finished
  EXPECT_EQ(sink.m_text.count("outer\n"), 2);

  // Without a pump of its own it dispatches the application's events.
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [&] { WriteFile(Path("idle.sh.go"), ""); }, Qt::QueuedConnection);
  EXPECT_EQ(Run(Script("idle.sh", WAIT_FOR_GO)), COMPLETE);
}
