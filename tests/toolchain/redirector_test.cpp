// The redirector with real children (Stop Build of what a child started: the IDE's tests).
#include <cstring>
#include <new>

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "compile_command.h"
#include "redirector.h"
#include "toolchain_test_support.h"

namespace {

const QByteArray COMPLETE("\nCompilation Complete.");

class RedirectorTest : public ::testing::Test {
protected:
  QString Path(const QString& name) const { return m_dir.filePath(name); }
  QString Script(const QString& name, const QByteArray& body) {
    EXPECT_TRUE(WriteScript(Path(name), body));
    return QuoteCommandArgument(Path(name));
  }
  QByteArray Run(const QString& commandLine, const QString& directory = QString()) {
    CCaptureSink sink;
    CRedirector(commandLine, &sink, directory).Run();
    return sink.m_text;
  }
  QTemporaryDir m_dir;
};

} // namespace

TEST_F(RedirectorTest, OutputArrivesRewrittenAndEndsWithTheCompletionLineFailuresWithTheSystemsText) {
  EXPECT_EQ(Run(Script("both.sh", "printf 'out\\n'; printf 'err\\n' >&2; cat")), "out\nerr\n" + COMPLETE);
  EXPECT_EQ(Run(Script("pause.sh", "printf 'x\\by\\b\\bz\\nPress any key to continue . . . gone'")),
            "x y  z\n" + COMPLETE);
  QByteArray chunk("a\0b\bPress any key to continue . . .", 35);
  CRedirector::FilterChunk(chunk);
  EXPECT_EQ(chunk, QByteArray("a\0b ", 4)); // a zero byte does not end the text
  chunk = "Press any key to continue . . . gone"; // the prompt as the chunk's first bytes
  CRedirector::FilterChunk(chunk);
  EXPECT_EQ(chunk, "");
  CRedirector three(Script("three.sh", "exit 3"), nullptr);
  three.Run();
  EXPECT_TRUE(three.ChildFinished() && three.ChildExitCode() == 3);

  EXPECT_EQ(Run(Path("no-such-compiler") + " -v5 x.inf"),
            "Error creating process\r\n" + Path("no-such-compiler").toLocal8Bit() + ": No such file or directory\r\n");
  EXPECT_TRUE(Run(QStringLiteral("/bin/true"), Path("no-such-dir")).startsWith("Error creating process\r\n"));
  EXPECT_EQ(Run(QStringLiteral("  ")), "Error creating process\r\nThe command line is empty.\r\n");
  EXPECT_EQ(CRedirector::FormatFailure(TEXT_READ_FAILED, QString()),
            "ReadFile fialed\r\nNo status because FormatMessage failed.\r\n");
}

TEST_F(RedirectorTest, TenMegabytesAreHandedOnWholeAsFastAsTheyAreRead) {
  struct CWatchingSink : CCaptureSink {
    void AppendText(const QByteArray& text) override {
      CCaptureSink::AppendText(text);
      if (m_handedOnWhenDone < 0 && QFile::exists(m_doneFile)) m_handedOnWhenDone = m_text.size();
    }
    QString m_doneFile;
    qsizetype m_handedOnWhenDone = -1;
  } sink;
  sink.m_doneFile = Path("cat.sh.done");
  CRedirector redirector(
      Script("cat.sh", "head -c 10485760 /dev/urandom > \"$0.big\"; cat \"$0.big\"; : > \"$0.done\""), &sink);
  redirector.SetPollInterval(3600 * 1000);
  redirector.Run();
  EXPECT_TRUE(sink.m_text == ReadFile(Path("cat.sh.big")).replace('\b', ' ') + COMPLETE);
  EXPECT_GT(sink.m_handedOnWhenDone, (10 << 20) - (1 << 20));
}

TEST_F(RedirectorTest, ArgumentsAndDirectoryReachTheChildLiterally) {
  const QString strange = QStringLiteral("we\"ird $HOME; `id` & it's | x > y");
  ASSERT_TRUE(QDir(m_dir.path()).mkdir(strange));
  const QString script = Script(strange + "/args $x.sh", "printf '[%s]\\n' \"$@\" \"$(pwd -P)\"");
  const QString source = Path(strange + "/my `game`;$1.inf");
  EXPECT_EQ(Run(script + " -x " + QuoteCommandArgument(source) + " $PATH", Path(strange)),
            "[-x]\n[" + source.toLocal8Bit() + "]\n[$PATH]\n[" +
                QDir(Path(strange)).canonicalPath().toLocal8Bit() + "]\n" + COMPLETE);
}

TEST_F(RedirectorTest, CancelEndsAChildThatNeverStopsPrinting) {
  CCaptureSink flood;
  CRedirector yes(QStringLiteral("/usr/bin/yes"), &flood); // the pipe is never empty
  yes.SetPumpMessages([&] {
    if (flood.m_text.size() > 100000) yes.Cancel();
  });
  yes.Run();
  EXPECT_TRUE(flood.m_text.startsWith("y\ny\n") &&
              flood.m_text.endsWith("\r\nCancelled.\r\n\r\nProcess terminated successfully.\r\n" + COMPLETE));
}

TEST_F(RedirectorTest, NothingTheChildStartedOutlivesIt) {
  EXPECT_EQ(Run(Script("quick.sh", "sh -c 'sleep 600 & echo $! > \"$0.child\"; wait' \"$0\" & "
                                   "setsid sh -c 'echo $$ > \"$0.setsid\"; exec sleep 600' \"$0\" & "
                                   "while [ ! -s \"$0.child\" ] || [ ! -s \"$0.setsid\" ]; do sleep 0.02; done")),
            COMPLETE);
  for (const char* end : {".child", ".setsid"})
    EXPECT_TRUE(ProcessGone(ReadFile(Path("quick.sh") + end).trimmed().toInt())) << end;
}

TEST_F(RedirectorTest, DestroyedFromItsOwnPumpEndsTheChildAndTouchesNothing) {
  CCaptureSink sink;
  alignas(CRedirector) unsigned char storage[sizeof(CRedirector)];
  auto* redirector = new (storage)
      CRedirector(Script("victim.sh", "echo $$ > \"$0.tmp\"; mv \"$0.tmp\" \"$0.pid\"; exec sleep 600"), &sink);
  bool destroyed = false;
  redirector->SetPumpMessages([&] {
    if (destroyed || !QFile::exists(Path("victim.sh.pid"))) return;
    destroyed = true;
    redirector->~CRedirector();
    std::memset(static_cast<void*>(storage), 0xA5, sizeof(CRedirector));
  });
  redirector->Run();
  ASSERT_TRUE(destroyed);
  EXPECT_TRUE(sink.m_text.isEmpty());
  EXPECT_TRUE(ProcessGone(ReadFile(Path("victim.sh.pid")).trimmed().toInt()));
}

TEST_F(RedirectorTest, CommandsRunFromThePumpNestInside) {
  CCaptureSink sink;
  CRedirector outer(Script("outer.sh", "while [ ! -e \"$0.go\" ]; do sleep 0.02; done; printf 'outer\\n'"), &sink);
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
}
