// Printing a text view into PDF files read back with pdftotext, and the print commands with
// their dialogs answered by the test.
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "../support/pdf_reader.h"
#include "command_ids.h"
#include "message_box.h"
#include "print_dialogs.h"
#include "printer_choice.h"
#include "profile_store.h"
#include "view_test_support.h"

namespace {

class Printing : public viewtest::TextViewTest<> {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    CProfileStore::SetUserConfigDirectory(dir.path());
    SetTorvaneMessageBoxHandler([this](const QString& text, unsigned) {
      messages << text;
      return IDOK;
    });
  }
  void TearDown() override {
    SetPrintDialogHandler({});
    SetTorvaneMessageBoxHandler({});
  }
  // A 20-pixel screen font prints 7.5 points high: cells 4.5 points wide, lines 8.52 apart.
  void Use(std::string_view text) {
    Load(text);
    view.SetViewFont({"Courier New", -20, 400, false, 0});
  }
  void ToPdf(QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setOutputFileName(path);
  }
  pdftest::Pdf Print(int fromPage = 0, int toPage = 0) {
    QPrinter printer(QPrinter::HighResolution);
    ToPdf(printer);
    if (fromPage > 0) printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(fromPage, toPage);
    QString error;
    EXPECT_TRUE(view.PrintTo(printer, &error)) << error.toStdString();
    return pdftest::Read(path);
  }

  QTemporaryDir dir;
  QString path = dir.filePath(QStringLiteral("out.pdf"));
  QStringList messages;
};

std::string NumberedLines(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += "line " + std::to_string(i) + (i < count ? "\n" : "");
  return text;
}

// With 10 mm margins 90 lines fill the text area of an A4 page above the footer band; line
// 91 would end below it. An empty text is one page with only its footer.
TEST_F(Printing, ThreeHundredLinesBreakIntoPagesOfNinetyLinesAndNoLinesIntoOnePage) {
  Use("");
  pdftest::Pdf pdf = Print();
  EXPECT_EQ(pdf.pages, 1);
  EXPECT_EQ(pdf.Lines(1), QStringList("Page 1/1"));
  Use(NumberedLines(300));
  pdf = Print();
  ASSERT_EQ(pdf.pages, 4);
  const int first[] = {1, 91, 181, 271, 301};
  for (int page = 1; page <= 4; ++page) {
    const QStringList lines = pdf.Lines(page);
    ASSERT_EQ(lines.size(), first[page] - first[page - 1] + 1) << page;
    EXPECT_EQ(lines.first(), QStringLiteral("line %1").arg(first[page - 1]));
    EXPECT_EQ(lines.at(lines.size() - 2), QStringLiteral("line %1").arg(first[page] - 1));
    EXPECT_EQ(lines.last(), QStringLiteral("Page %1/4").arg(page));
  }
  const pdftest::Pdf range = Print(2, 3);
  ASSERT_EQ(range.pages, 2);
  EXPECT_EQ(range.Lines(1).first(), "line 91");
  EXPECT_EQ(range.Lines(2).last(), "Page 3/4");
}

TEST_F(Printing, TextStartsInsideTenMillimetreMarginsInHalfSizeCellsWithTabStopsOfFour) {
  Use("ab\tX\nabc X\n\n\tX\nabcd\tX");
  const std::vector<pdftest::Word> w = Print().words; // ab X abc X X abcd X Page 1/1
  ASSERT_EQ(w.size(), 9u);
  EXPECT_NEAR(w[0].x, 28.35, 0.1); // 10 mm
  EXPECT_NEAR(w[0].y, 28.35, 0.1);
  for (int i : {1, 3, 4}) EXPECT_NEAR(w[i].x, 28.32 + 4 * 4.5, 0.05) << i;
  EXPECT_NEAR(w[6].x, 28.32 + 8 * 4.5, 0.05);
  EXPECT_NEAR(w[2].y - w[0].y, 8.52, 0.05);
  EXPECT_NEAR(w[4].y - w[2].y, 2 * 8.52, 0.05); // an empty line between
  EXPECT_NEAR((w[7].x + w[8].right) / 2, 595.28 / 2, 0.5); // footer centred
  EXPECT_NEAR(w[8].bottom, 841.89 - 28.35, 0.5);           // on the bottom margin
}

// 45 lines of two printed lines each fill a page as 90 short lines do.
TEST_F(Printing, LongLinesWrapAtWordsAndCountAsTheLinesTheyTake) {
  std::string line;
  for (int i = 1; i <= 30; ++i) line += (i < 10 ? "word0" : "word") + std::to_string(i) + " ";
  std::string text;
  for (int i = 0; i < 45; ++i) text += line + "\n";
  Use(text + "next");
  const pdftest::Pdf pdf = Print();
  ASSERT_EQ(pdf.pages, 2);
  const QStringList lines = pdf.Lines(1);
  ASSERT_EQ(lines.size(), 91);
  EXPECT_EQ(lines[88], "word01 word02 word03 word04 word05 word06 word07 word08 word09 word10 "
                       "word11 word12 word13 word14 word15 word16 word17");
  EXPECT_EQ(lines[89], "word18 word19 word20 word21 word22 word23 word24 word25 word26 word27 "
                       "word28 word29 word30");
  EXPECT_EQ(pdf.Lines(2), QStringList({"next", "Page 2/2"}));
}

TEST_F(Printing, MarginsThatLeaveNoRoomPrintNothing) {
  CProfileStore store;
  store.WriteProfileInt("Editor\\PageSetup", "LeftMargin", 11000);
  store.WriteProfileInt("Editor\\PageSetup", "RightMargin", 10000); // 21 cm of a 21 cm page
  Use("text");
  QPrinter printer(QPrinter::HighResolution);
  ToPdf(printer);
  QString error;
  EXPECT_FALSE(view.PrintTo(printer, &error));
  EXPECT_EQ(error, "The page margins of Page Setup leave no room for text on the page. Nothing "
                   "was printed.");
  EXPECT_FALSE(QFile::exists(path));
}

// Upper-case letters are blue on the screen, the painter's black on paper.
TEST_F(Printing, TextPrintsWithoutSyntaxColours) {
  Use("HELLO WORLD\nQUITE BLUE");
  ASSERT_EQ(view.GetStyleColor(viewtest::UPPER_INDEX), RgbRef(0, 0, 255));
  QImage page(794, 1123, QImage::Format_RGB32);
  page.fill(Qt::white);
  QPainter painter(&page);
  view.OnBeginPrinting(painter);
  view.OnPrint(painter, page.rect(), 1);
  view.OnEndPrinting();
  painter.end();
  int ink = 0, coloured = 0;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x) {
      const QColor c = page.pixelColor(x, y);
      ink += c != Qt::white;
      coloured += std::max({c.red(), c.green(), c.blue()}) -
                      std::min({c.red(), c.green(), c.blue()}) > 8;
    }
  EXPECT_GT(ink, 200);
  EXPECT_EQ(coloured, 0);
}

// The preview shows as many pages as a print has.
TEST_F(Printing, PrintCommandsPrintWhereTheDialogSaysPreviewOrTellWhyNot) {
  Use(NumberedLines(200));
  int answer = QDialog::Rejected, previewPages = -1;
  SetPrintDialogHandler([&](QDialog& dialog) {
    if (auto* print = qobject_cast<QPrintDialog*>(&dialog)) ToPdf(*print->printer());
    if (auto* preview = dialog.findChild<QPrintPreviewWidget*>()) {
      dialog.show();
      QApplication::processEvents();
      previewPages = preview->pageCount();
    }
    return answer;
  });
  EXPECT_TRUE(view.OnCmdMsg(Cmd::FILE_PRINT_PREVIEW));
  EXPECT_EQ(previewPages, 3);
  EXPECT_TRUE(view.OnCmdMsg(Cmd::FILE_PRINT));
  EXPECT_FALSE(QFile::exists(path));
  answer = QDialog::Accepted;
  EXPECT_TRUE(view.OnCmdMsg(Cmd::FILE_PRINT));
  EXPECT_EQ(pdftest::Read(path).pages, 3);
  EXPECT_TRUE(messages.isEmpty());

  if (!QPrinterInfo::defaultPrinter().isNull()) return; // Print Direct would really print
  EXPECT_TRUE(view.OnCmdMsg(Cmd::FILE_PRINT_DIRECT));
  EXPECT_EQ(messages, QStringList("No default printer is set up. Use Print to choose a printer "
                                  "or to print to a file."));
}

// Print Setup's paper and orientation hold for later prints; a cancelled setup keeps them.
TEST_F(Printing, PrintSetupChoosesThePaperOfLaterPrints) {
  Use("text");
  QPageSize::PageSizeId size = QPageSize::Custom;
  QPageLayout::Orientation orientation = QPageLayout::Portrait;
  int answer = QDialog::Accepted;
  QStringList titles;
  SetPrintDialogHandler([&](QDialog& dialog) {
    titles << dialog.windowTitle();
    QPrinter* printer = qobject_cast<QPrintDialog*>(&dialog)->printer();
    if (dialog.windowTitle() != "Print Setup") {
      size = printer->pageLayout().pageSize().id();
      orientation = printer->pageLayout().orientation();
      return int(QDialog::Rejected);
    }
    printer->setPageSize(QPageSize(answer == QDialog::Accepted ? QPageSize::A5 : QPageSize::B5));
    printer->setPageOrientation(answer == QDialog::Accepted ? QPageLayout::Landscape : QPageLayout::Portrait);
    return answer;
  });
  EXPECT_TRUE(RunPrintSetup(&view));
  EXPECT_TRUE(view.OnCmdMsg(Cmd::FILE_PRINT));
  EXPECT_EQ(size, QPageSize::A5);
  EXPECT_EQ(orientation, QPageLayout::Landscape);
  answer = QDialog::Rejected;
  EXPECT_FALSE(RunPrintSetup(&view));
  size = QPageSize::Custom;
  EXPECT_TRUE(view.OnCmdMsg(Cmd::FILE_PRINT));
  EXPECT_EQ(size, QPageSize::A5);
  EXPECT_EQ(orientation, QPageLayout::Landscape);
  EXPECT_EQ(titles, (QStringList{"Print Setup", "Print", "Print Setup", "Print"}));
}

} // namespace
