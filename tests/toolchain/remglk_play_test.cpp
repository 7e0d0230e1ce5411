// Stories played in emglken's RemGlk mode: the reader on written updates (wrapping, the echo
// of a command, the status line, answers to line, key and file requests, bad output), and the
// real emglken on real stories: the seed, files kept in the story's folder, the fallback.
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include "interpreter_session.h"
#include "remglk_reader.h"
#include "toolchain_test_support.h"

namespace {

std::string Joined(const std::vector<CLineTypedReader::Line>& lines) {
  std::string text;
  for (const auto& line : lines) text += (line.input ? "?" : "") + line.text + "|";
  return text;
}

TEST(WrapParagraph, CutsAtTheLastBlankThatFitsOrWithinALongWord) {
  const struct { const char* text; int width; const char* rows; } table[] = {
      {"", 10, ""},
      {"exactly ten", 11, "exactly ten"},
      {"exactly ten", 10, "exactly|ten"},
      {"abc de", 3, "abc|de"},
      {"one two three four", 9, "one two|three|four"},
      {"two  spaces here", 4, "two|spac|es|here"},
      {"stop.  Next", 6, "stop.|Next"},
      {"abcdefghij", 4, "abcd|efgh|ij"},
      {"> ", 10, "> "},
      {"no wrap at all", 0, "no wrap at all"},
  };
  for (const auto& row : table)
    EXPECT_EQ(WrapParagraph(row.text, row.width).join('|').toStdString(), row.rows) << row.text << " at " << row.width;
}

QByteArray Update(const char* json) { return QByteArray(json) + "\n\n"; }

TEST(RemGlkReader, ParagraphsBecomeLinesAndAnswersCarryTheGenerationAndWindow) {
  CRemGlkReader reader(20);
  std::vector<CLineTypedReader::Line> lines;
  EXPECT_EQ(reader.InitEvent(25), R"({"gen":0,"metrics":{"height":25,"width":20},"support":[],"type":"init"})" "\n");
  const QByteArray first = Update(
      R"({"type":"update","gen":1,"windows":[{"id":3,"type":"grid","gridheight":1},{"id":2,"type":"buffer"}],)"
      R"("content":[{"id":3,"lines":[{"line":0,"content":[{"style":"normal","text":" Hut   Moves: 0   "}]}]},)"
      R"({"id":2,"text":[{"append":true},{},{"content":[{"style":"subheader","text":"Hut"}]},)"
      R"({"content":[{"style":"normal","text":"A long description "},{"style":"emphasized","text":"wraps here."}]},{},)"
      R"({"content":[{"style":"normal","text":">"}]}]}],"input":[{"gen":1,"id":2,"type":"line"}]})");
  // Fed in two pieces: an update cut anywhere waits for its end.
  reader.Feed(std::string_view(first.constData(), 40), lines);
  EXPECT_TRUE(lines.empty() && !reader.Waiting());
  reader.Feed(std::string_view(first.constData() + 40, first.size() - 40), lines);
  EXPECT_EQ(Joined(lines), "|Hut|A long description|wraps here.||");
  EXPECT_EQ(reader.Pending(), ">");
  EXPECT_EQ(reader.StatusLine(), " Hut   Moves: 0");
  lines.clear();
  EXPECT_EQ(reader.Answer("look", lines), R"({"gen":1,"type":"line","value":"look","window":2})" "\n");
  EXPECT_EQ(Joined(lines), "?>|");
  EXPECT_TRUE(reader.Answer("again", lines).isEmpty()); // nothing waits now
  lines.clear();
  // The echo of the command goes (it is on the prompt line); a key request follows.
  reader.Feed(Update(R"({"type":"update","gen":2,"content":[{"id":3,"lines":[{"line":0,"content":[{"text":" Hut   Moves: 1"}]}]},)"
                     R"({"id":2,"text":[{"append":true,"content":[{"style":"input","text":"look"}]},)"
                     R"({"content":[{"style":"normal","text":"Press a key"}]}]}],"input":[{"gen":2,"id":2,"type":"char"}]})").toStdString(), lines);
  EXPECT_EQ(Joined(lines), "");
  EXPECT_EQ(reader.StatusLine(), " Hut   Moves: 1");
  EXPECT_EQ(reader.Answer("", lines), R"({"gen":2,"type":"char","value":"return","window":2})" "\n");
  reader.Feed(Update(R"({"type":"update","gen":3,"input":[{"gen":3,"id":2,"type":"char"}]})").toStdString(), lines);
  EXPECT_EQ(reader.Answer("yes", lines), R"({"gen":3,"type":"char","value":"y","window":2})" "\n");
  EXPECT_EQ(Joined(lines), "?Press a key|?|");
  // The grid closed: no status line.
  reader.Feed(Update(R"({"type":"update","gen":4,"windows":[{"id":2,"type":"buffer"}],"disable":true})").toStdString(), lines);
  EXPECT_EQ(reader.StatusLine(), "");
  EXPECT_TRUE(reader.Disabled());
}

TEST(RemGlkReader, ANoteStandsAfterTheStorysTextWhicheverWindowTheUpdateListsFirst) {
  const char* story = R"({"id":2,"text":[{"content":[{"text":"Save failed."}]},{},{"content":[{"text":">"}]}]})";
  const char* note = R"({"id":5,"text":[{"content":[{"text":"Warning: no file"}]}]})";
  for (const bool noteFirst : {true, false}) {
    CRemGlkReader reader(40);
    std::vector<CLineTypedReader::Line> lines;
    const std::string update = std::string(R"({"type":"update","gen":1,"windows":[{"id":2,"type":"buffer","height":24},)")
        + R"({"id":5,"type":"buffer","height":1}],"content":[)" + (noteFirst ? note : story) + "," + (noteFirst ? story : note)
        + R"(],"input":[{"gen":1,"id":2,"type":"line"}]})" + "\n";
    reader.Feed(update, lines);
    EXPECT_EQ(Joined(lines), "Save failed.||Warning: no file|") << noteFirst;
    EXPECT_EQ(reader.Pending(), ">");
  }
}

TEST(RemGlkReader, FileNamesStayInTheStorysFolder) {
  const struct { const char* name; const char* value; } table[] = {
      {"game", "\"game\""}, {"../game", "null"}, {"/tmp/game", "null"}, {"..", "null"}, {"", "null"}};
  for (const auto& row : table) {
    CRemGlkReader reader;
    std::vector<CLineTypedReader::Line> lines;
    reader.Feed(Update(R"({"type":"update","gen":7,"windows":[{"id":2,"type":"buffer"}],)"
                       R"("specialinput":{"type":"fileref_prompt","filemode":"write","filetype":"save"}})").toStdString(), lines);
    ASSERT_TRUE(reader.Waiting());
    EXPECT_EQ(reader.Answer(row.name, lines).toStdString(),
              std::string(R"({"gen":7,"response":"fileref_prompt","type":"specialresponse","value":)") + row.value + "}\n");
    EXPECT_EQ(Joined(lines), "?File to write (in the story's folder): |");
  }
}

TEST(RemGlkReader, BrokenOversizedAndReportedOutputStopsTheReading) {
  const struct { QByteArray bytes; const char* failure; } table[] = {
      {"{\"type\":\"update\",\n", "The interpreter's output could not be read: unterminated object."},
      {R"({"type":"error","message":"bad gen"})" "\n", "The interpreter reported: bad gen"},
      {QByteArray(CRemGlkReader::MAX_UPDATE + 1, ' ') + "\n", "The interpreter wrote an update of more than 64 MB."},
      {QByteArray(CRemGlkReader::MAX_UPDATE, ' ') + "\n", ""},
  };
  for (const auto& row : table) {
    CRemGlkReader reader;
    std::vector<CLineTypedReader::Line> lines;
    reader.Feed(row.bytes.toStdString(), lines);
    EXPECT_EQ(reader.Failure().toStdString(), row.failure);
  }
}

class EmglkenPlay : public ::testing::Test {
protected:
  QString Build(const QString& name, const QByteArray& source, bool glulx = false) {
    const QString inf = m_dir.filePath(name + ".inf"), story = m_dir.filePath(name + (glulx ? ".ulx" : ".z5"));
    EXPECT_TRUE(WriteFile(inf, source));
    QProcess inform;
    QStringList arguments{QStringLiteral("+include_path=/usr/share/inform6/library"), inf, story};
    if (glulx) arguments.prepend(QStringLiteral("-G"));
    inform.start(QStringLiteral("inform6"), arguments);
    EXPECT_TRUE(inform.waitForFinished(60000) && inform.exitCode() == 0) << inform.readAll().toStdString();
    return story;
  }
  // Plays commands to the end of the input; the transcript's text.
  std::string Play(const QString& story, const std::vector<std::string>& commands, const PlayOptions& options = {}) {
    CInterpreterSession session;
    Transcript transcript;
    QEventLoop loop;
    QObject::connect(&session, &CInterpreterSession::LinesRead, &loop,
                     [&](const std::vector<CLineTypedReader::Line>& lines) { transcript.Add(lines, commands); });
    QObject::connect(&session, &CInterpreterSession::StatusChanged, &loop,
                     [&] { m_statuses << session.StatusLine(); });
    QObject::connect(&session, &CInterpreterSession::Ended, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &session, &CInterpreterSession::Stop);
    m_engine = ChoosePlayEngine(options);
    if (session.Start(story, options)) {
      for (const std::string& command : commands) session.Send(command);
      session.CloseInput();
      loop.exec();
    }
    m_reason = session.EndReason();
    return transcript.Text();
  }
  QTemporaryDir m_dir;
  QStringList m_statuses;
  PlayEngine m_engine;
  QString m_reason;
};

const QByteArray ROLLS = "[ Main k;\n#Ifdef TARGET_GLULX;\n  k = glk($0023, 0, 0, 0, 3, 0);\n  glk($002F, k);\n"
                         "  @setiosys 2 0;\n#Endif;\n  print \"Rolls:\";\n  for (k = 0 : k < 5 : k++) print \" \", random(100);\n"
                         "  new_line;\n];\n";

TEST_F(EmglkenPlay, TheSeedFixesTheStorysRandomChoicesInBothEngines) {
  for (const bool glulx : {false, true}) {
    const QString story = Build(glulx ? "rolls_g" : "rolls", ROLLS, glulx);
    PlayOptions one, two;
    two.seed = 2;
    const std::string first = Play(story, {}, one);
    EXPECT_EQ(m_engine.kind, PlayEngine::Emglken) << "scripts/setup installs emglken";
    EXPECT_EQ(first.substr(0, 6), "Rolls:");
    EXPECT_EQ(first.size(), first.find('\n') + 1) << first; // one line
    EXPECT_EQ(Play(story, {}, one), first);
    EXPECT_NE(Play(story, {}, two), first);
    EXPECT_EQ(m_reason, "");
  }
}

TEST_F(EmglkenPlay, BalancesShowsItsStatusLineAndSavesOnlyBesideTheStory) {
  const QString story = Build("balances", ReadFile(TORVANE_REALWORLD "/balances.inf"));
  const std::string text = Play(story, {"save", "../outside", "save", "kept", "look"});
  EXPECT_EQ(m_statuses.value(0).left(16), " Ramshackle Hut ");
  EXPECT_TRUE(m_statuses.value(0).contains(QRegularExpression("Score: 0 +Moves: 0$"))) << m_statuses.value(0).toStdString();
  EXPECT_TRUE(m_statuses.value(m_statuses.size() - 1).endsWith("Moves: 1")) << m_statuses.join('\n').toStdString();
  // Bocfel's warning comes in a window of its own: before the prompt that follows it.
  EXPECT_NE(text.find(">save\nFile to write (in the story's folder): ../outside\nSave failed.\n\nWarning: unable to open "
                      "save file\n>save\nFile to write (in the story's folder): kept\nOk.\n\n>look\n"), std::string::npos) << text;
  EXPECT_EQ(m_reason, ""); // ended where dfrotz would: at the end of the commands
  EXPECT_TRUE(QFileInfo::exists(m_dir.filePath("kept.glksave")));
  EXPECT_FALSE(QFileInfo::exists(QFileInfo(m_dir.path()).absolutePath() + "/outside.glksave"));
  EXPECT_TRUE(text.ends_with(">look\n\nRamshackle Hut\nUntil quite recently, someone lived here, you feel sure. Now the furniture is\n"
                             "matchwood and the windows are glassless. Outside, it is a warm, sunny day, and\n"
                             "grasslands extend to the low hills on the horizon.\n\n>\n")) << text;
}

TEST_F(EmglkenPlay, WithoutEmglkenDfrotzPlaysZCodeAndGlulxIsRefusedWithTheReason) {
  PlayOptions missing;
  missing.emglken = m_dir.filePath("none");
  const QString story = Build("rolls", ROLLS);
  const std::string text = Play(story, {}, missing);
  EXPECT_EQ(m_engine.kind, PlayEngine::Dfrotz);
  EXPECT_EQ(m_engine.why, "emglken is not installed in " + missing.emglken + " (scripts/setup installs it)");
  EXPECT_EQ(text.substr(0, 6), "Rolls:");
  EXPECT_TRUE(m_statuses.isEmpty());
  EXPECT_EQ(UnplayableReason("/x/g.ulx", missing),
            "Glulx stories are not played here: no line-mode Glulx interpreter is installed (Debian's glulxe "
            "draws a terminal screen; " + m_engine.why + "). Run (F5) plays it in the external interpreter.");
  EXPECT_EQ(UnplayableReason("/x/g.ulx", PlayOptions()), "");
  PlayOptions chosen;
  chosen.interpreter = "/usr/games/dfrotz";
  EXPECT_EQ(ChoosePlayEngine(chosen).kind, PlayEngine::Dfrotz);
  EXPECT_EQ(ChoosePlayEngine(chosen).why, ""); // chosen, not a fallback
  // The install place may be the npm prefix or the package folder itself.
  PlayOptions package;
  package.emglken = "/usr/local/lib/torvane/emglken/node_modules/emglken";
  EXPECT_EQ(ChoosePlayEngine(package).emglken, package.emglken);
}

} // namespace
