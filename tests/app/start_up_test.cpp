// Start-up: the command line, a first document or the files named, and a file that cannot
// be opened ending the start.
#include <QDockWidget>
#include <QMdiArea>
#include <QTest>

#include "app_test_support.h"
#include "command_ids.h"
#include "command_line.h"
#include "doc_manager.h"
#include "ide_test_support.h"
#include "main_frame.h"
#include "torvane_doc.h"
#include "torvane_view.h"

namespace {

using apptest::Ide;
using Action = CommandLineRequest::Action;

TEST(CommandLine, HelpAndVersionPrintFilesAreOpenedAndDashOrUnknownOptionsAreErrors) {
  CommandLineRequest r = ParseCommandLine({"/usr/bin/torvane", "--help"});
  EXPECT_EQ(r.action, Action::Print);
  EXPECT_TRUE(r.text.startsWith("Usage: torvane [options] [FILE...]\n")) << r.text.toStdString();
  r = ParseCommandLine({"torvane", "--version"});
  EXPECT_EQ(r.action, Action::Print);
  EXPECT_EQ(r.text, "Torvane 0.60a\n");
  r = ParseCommandLine({"torvane", "a.inf", "-platform", "offscreen", "dir/b.h"});
  EXPECT_EQ(r.action, Action::Run);
  EXPECT_EQ(r.files, (QStringList{"a.inf", "dir/b.h"}));
  r = ParseCommandLine({"torvane", "a.inf", "-"});
  EXPECT_EQ(r.action, Action::Error);
  EXPECT_TRUE(r.text.contains("standard input")) << r.text.toStdString();
  r = ParseCommandLine({"torvane", "--frobnicate"});
  EXPECT_EQ(r.action, Action::Error);
  EXPECT_EQ(r.text, "torvane: Unknown option 'frobnicate'.\nTry 'torvane --help'.\n");
}

TEST(CommandLine, PrintAndPrintToPdfNameTheirFilesAndAreListedInTheHelp) {
  const QString help = ParseCommandLine({"torvane", "--help"}).text;
  EXPECT_TRUE(help.contains("  --print  ")) << help.toStdString();
  EXPECT_TRUE(help.contains("  --print-to-pdf <OUT.pdf>  ")) << help.toStdString();
  CommandLineRequest r = ParseCommandLine({"torvane", "--print", "a.inf", "b.h"});
  EXPECT_EQ(r.action, Action::PrintFiles);
  EXPECT_EQ(r.files, (QStringList{"a.inf", "b.h"}));
  EXPECT_EQ(r.pdfPath, "");
  r = ParseCommandLine({"torvane", "--print-to-pdf", "out.pdf", "a.inf"});
  EXPECT_EQ(r.action, Action::PrintFiles);
  EXPECT_EQ(r.files, QStringList{"a.inf"});
  EXPECT_EQ(r.pdfPath, "out.pdf");
  const std::pair<QStringList, const char*> errors[] = {
      {{"t", "--print"}, "--print needs a file to print."},
      {{"t", "--print-to-pdf", "o.pdf"}, "--print-to-pdf needs a file to print."},
      {{"t", "--print-to-pdf", "o.pdf", "a.inf", "b.inf"},
       "--print-to-pdf prints one file into the PDF; 2 were given."},
      {{"t", "--print-to-pdf=", "a.inf"}, "--print-to-pdf needs the name of the PDF to write."},
      {{"t", "--print", "--print-to-pdf", "o.pdf", "a.inf"},
       "--print and --print-to-pdf exclude each other."}};
  for (const auto& [arguments, why] : errors) {
    r = ParseCommandLine(arguments);
    EXPECT_EQ(r.action, Action::Error) << why;
    EXPECT_EQ(r.text, QStringLiteral("t: %1\nTry 't --help'.\n").arg(why));
  }
}

TEST_F(Ide, WithoutArgumentsOneEmptyUntitled1IsOpenAndShown) {
  ASSERT_TRUE(Start());
  EXPECT_TRUE(app->MainFrame()->isVisible());
  ASSERT_EQ(app->DocManager()->Documents().size(), 1u);
  EXPECT_EQ(ActiveDoc()->GetTitle(), "Untitled1");
  EXPECT_EQ(ActiveDoc()->Buffer().LineCount(), 1);
  EXPECT_EQ(app->MainFrame()->windowTitle(), "Torvane (Inform Mode) - Untitled1[*]");
  EXPECT_EQ(app->MainFrame()->CurrentMenuId(), 129);
  EXPECT_EQ(ActiveView()->GetViewFont().faceName, "Courier New");
}

TEST_F(Ide, NamedFilesOpenAMissingOneIsCreatedBySaveAndAnUnreadableOneEndsTheStart) {
  ASSERT_TRUE(Start({QString(TORVANE_TEST_DATA) + "/lantern.inf", Path("new.inf")}));
  ASSERT_EQ(app->DocManager()->Documents().size(), 2u);
  EXPECT_EQ(static_cast<CTorvaneDoc*>(app->DocManager()->Documents()[0])->Records().ObjectMap().size(),
            3u);
  EXPECT_EQ(ActiveDoc()->GetTitle(), "new.inf");
  EXPECT_TRUE(messages.isEmpty());
  QTest::keyClicks(ActiveView(), "Include \"Parser\";");
  ASSERT_TRUE(Choose(Cmd::FILE_SAVE));
  EXPECT_EQ(apptest::ReadFile(Path("new.inf")), "Include \"Parser\";");
  EXPECT_TRUE(dialogTitles.isEmpty()); // saved under its name, no Save As
  ASSERT_TRUE(CloseFrame());

  ASSERT_TRUE(QDir(dir.path()).mkdir("folder.inf"));
  EXPECT_FALSE(Start({Path("folder.inf")}));
  EXPECT_EQ(messages, QStringList{"Cannot open " + Path("folder.inf") + ":\nis a directory."});
  EXPECT_FALSE(app->MainFrame()->isVisible());
}

} // namespace
