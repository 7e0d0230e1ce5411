// The Problems bar after a build with the real inform6: every error and warning, several on
// one line and a header's "!%" line among them, sorted and filtered, leading to their lines;
// the wavy marks under the lines they name.
#include <QCheckBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QTest>
#include <QTreeWidget>

#include "build_problems.h"
#include "ide_test_support.h"
#include "problems_bar.h"
#include "squiggle.h"
#include "text_buffer.h"

namespace {

class Problems : public apptest::Ide {
protected:
  bool Build(const QString& source) {
    CProfileStore store;
    store.WriteProfileString("Editor\\Paths", "Compiler", "/usr/bin/inform6");
    store.WriteProfileString("Editor\\Paths", "Library", "");
    store.WriteProfileInt("Editor\\Options", "StandardOptions", 0);
    return (app || Start({source})) && Choose(Cmd::BUILD_COMPILE);
  }
  CProblemsBar* Bar() { return app->BuildProblems()->Bar(); }
  // The rows shown, each "severity file line text", one a line.
  std::string Rows() {
    std::string rows;
    QTreeWidget* list = Bar()->List();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
      const QTreeWidgetItem* item = list->topLevelItem(i);
      for (int c = 0; c < CProblemsBar::COLUMN_COUNT; ++c)
        rows += item->text(c).toStdString() + (c + 1 < CProblemsBar::COLUMN_COUNT ? " " : "\n");
    }
    return rows;
  }
  // Lines (from 0) carrying flag in buffer.
  static std::vector<int> Marked(const CTextBuffer& buffer, uint32_t flag) {
    std::vector<int> lines;
    for (int line = 0; line < buffer.LineCount(); ++line)
      if (buffer.LineFlags(line) & flag) lines.push_back(line);
    return lines;
  }
};

TEST_F(Problems, EveryProblemIsListedSortedFilteredAndMarked) {
  ASSERT_TRUE(WriteFile(Path("part.h"), "[ Part;\n  q = 1;\n];\n"));
  const QString source = Path("adv.inf");
  ASSERT_TRUE(WriteFile(source, "Constant Story \"x\";\nInclude \">part.h\";\n[ Main x;\n\tx = 1 +;  x = ;\n];\n"));
  ASSERT_TRUE(Build(source));
  EXPECT_FALSE(app->BuildProblems()->Dock()->isHidden());
  EXPECT_EQ(Rows(), "Error part.h 2 '=' applied to undeclared variable\n"
                    "Error part.h 2 Expected expression with side-effects but found <constant>\n"
                    "Error adv.inf 4 Missing operand for \"+\"\n"
                    "Error adv.inf 4 Missing operand for \"=\"\n"
                    "Warning adv.inf 1 Defined constant \"Story\" declared but not used\n"
                    "Warning part.h 1 Routine \"Part\" declared but not used\n");
  // Errors only; by line going down (equal lines in the opposite order of the output); by text.
  Bar()->findChild<QCheckBox*>()->click();
  EXPECT_EQ(Bar()->ShownRows(), (std::vector<int>{0, 1, 2, 3}));
  Bar()->findChild<QCheckBox*>()->click();
  Bar()->List()->header()->setSortIndicator(CProblemsBar::COLUMN_LINE, Qt::DescendingOrder);
  EXPECT_EQ(Bar()->ShownRows(), (std::vector<int>{3, 2, 1, 0, 5, 4}));
  Bar()->List()->sortByColumn(CProblemsBar::COLUMN_TEXT, Qt::AscendingOrder);
  EXPECT_EQ(Bar()->ShownRows(), (std::vector<int>{0, 4, 1, 2, 3, 5}));

  // The open document is marked; the header is marked when it opens from its row.
  CTextBuffer& adv = ActiveDoc()->Buffer();
  EXPECT_EQ(Marked(adv, LF_PROBLEM_ERROR), std::vector<int>{3});
  EXPECT_EQ(Marked(adv, LF_PROBLEM_WARNING), std::vector<int>{0});
  // The wave lies under the text of its line only: red in the bottom rows of line 3's cell
  // from the tab's end on, none under line 2.
  const QImage shot = ActiveView()->viewport()->grab().toImage();
  const int h = ActiveView()->GetLineHeight();
  const int cell = ActiveView()->GetCharWidth();
  const auto redIn = [&](int x0, int x1, int y0, int y1) {
    int red = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < std::min(x1, shot.width()); ++x) red += shot.pixelColor(x, y) == QColor(255, 0, 0);
    return red;
  };
  EXPECT_GT(redIn(20 + 4 * cell, 20 + 12 * cell, 4 * h - 3, 4 * h), 4);
  EXPECT_EQ(redIn(20, 20 + 4 * cell - 1, 4 * h - 3, 4 * h), 0);
  EXPECT_EQ(redIn(20, shot.width(), 2 * h, 3 * h), 0);
  QTreeWidgetItem* headerRow = Bar()->List()->topLevelItem(0); // part.h 2, text sorted first
  emit Bar()->List()->itemActivated(headerRow, 0);
  QApplication::processEvents();
  EXPECT_EQ(Where(), "part.h:1");
  EXPECT_EQ(Marked(ActiveDoc()->Buffer(), LF_PROBLEM_ERROR), std::vector<int>{1});
  EXPECT_EQ(Marked(ActiveDoc()->Buffer(), LF_PROBLEM_WARNING), std::vector<int>{0});

  // The next build starts afresh.
  ASSERT_TRUE(WriteFile(Path("part.h"), "[ Part;\n];\n"));
  ASSERT_TRUE(app->DocManager()->OpenDocumentFile(source));
  ASSERT_TRUE(ActiveDoc()->Buffer().DeleteText(nullptr, 3, 0, 4, 0));
  ASSERT_TRUE(Choose(Cmd::BUILD_COMPILE));
  EXPECT_EQ(Rows(), "Warning adv.inf 1 Defined constant \"Story\" declared but not used\n" // still by text
                    "Warning adv.inf 3 Local variable \"x\" declared but not used\n"
                    "Warning part.h 1 Routine \"Part\" declared but not used\n");
  EXPECT_TRUE(Marked(adv, LF_PROBLEM_ERROR).empty());
  EXPECT_EQ(Marked(adv, LF_PROBLEM_WARNING), (std::vector<int>{0, 2}));
  // View > Problems Bar hides and shows it.
  ASSERT_TRUE(Choose(Cmd::VIEW_PROBLEMS_BAR));
  EXPECT_TRUE(app->BuildProblems()->Dock()->isHidden());
}

TEST_F(Problems, AHeaderLineErrorLeadsToItsLine) {
  const QString source = Path("head.inf");
  ASSERT_TRUE(WriteFile(source, "!% -~S\r\n!% (abc\r\n[ Main;\r\n];\r\n"));
  ASSERT_TRUE(Build(source));
  EXPECT_EQ(Rows(), "Error head.inf 2 Expected command or comment but found '(abc'\n");
  EXPECT_EQ(Marked(ActiveDoc()->Buffer(), LF_PROBLEM_ERROR), std::vector<int>{1});
  ActiveView()->MoveCaretTo(TextPosition(0, 3));
  Bar()->List()->setCurrentItem(Bar()->List()->topLevelItem(0));
  QTest::keyClick(Bar()->List(), Qt::Key_Return);
  EXPECT_EQ(Where(), "head.inf:1");
}

} // namespace
