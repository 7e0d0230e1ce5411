// Page geometry and pagination in printer units; printing a text view into PDF files read back
// with pdftotext; the print commands and Page Setup with their dialogs answered by the test.
#include <QApplication>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <tuple>

#include "../support/pdf_reader.h"
#include "command_ids.h"
#include "message_box.h"
#include "page_setup.h"
#include "print_dialogs.h"
#include "print_layout.h"
#include "printer_choice.h"
#include "profile_store.h"
#include "view_test_support.h"

namespace {

TEST(PrintLayout, UnitsAreRoundedAndTheTextAreaIsThePageLessMarginsAndTheFooterBand) {
  // 472.44; one half; just below a half; no overflow on the way.
  for (auto [hundredths, dpi, units] : {std::tuple{1000, 1200, 472}, {127, 10, 1}, {126, 10, 0}, {2000000, 2400, 1889764}})
    EXPECT_EQ(HundredthsMmToUnits(hundredths, dpi), units) << hundredths;
  const PrintRect margins{10, 20, 30, 40}; // bands of 11 + 5
  EXPECT_EQ(TextAreaFor({0, 0, 1000, 2000}, margins, 11, false, true), (PrintRect{10, 20, 970, 1944}));
  EXPECT_EQ(TextAreaFor({1000, 2000, 0, 0}, margins, 11, true, true), (PrintRect{10, 36, 970, 1944}));
  EXPECT_EQ(FooterBandFor({10, 20, 970, 1944}, 11), (PrintRect{10, 1944, 970, 1960}));
}

std::vector<int> Paginate(const std::vector<int>& heights, int top, int bottom) {
  return PaginateLines(static_cast<int>(heights.size()), top, bottom,
                       [&](int line) { return heights.at(static_cast<std::size_t>(line)); });
}

TEST(PrintLayout, PagesBreakBeforeTheFirstLineThatEndsBelowTheAreaAndRunToTheNext) {
  EXPECT_EQ(Paginate({100, 100, 100, 100, 100, 100, 100}, 50, 350), (std::vector<int>{0, 3, 6}));
  EXPECT_EQ(Paginate({100, 100, 101}, 50, 350), (std::vector<int>{0, 2}));
  EXPECT_EQ(Paginate({50, 400, 50}, 0, 300), (std::vector<int>{0, 1, 2})); // too tall: alone
  EXPECT_EQ(Paginate({400, 50, 50}, 0, 300), (std::vector<int>{0, 1}));
  EXPECT_EQ(Paginate({}, 0, 300), (std::vector<int>{0}));
  const std::vector<int> many = Paginate(std::vector<int>(100, 300), 0, 300);
  ASSERT_EQ(many.size(), 100u);
  EXPECT_EQ(many[99], 99);
  // Pages 0 and 4: nothing, and no reading past the start table.
  for (auto [page, first, end] : {std::tuple{2, 3, 6}, {3, 6, 8}, {0, 8, 8}, {4, 8, 8}}) {
    EXPECT_EQ(LinesOfPage({0, 3, 6}, page, 8).first, first) << page;
    EXPECT_EQ(LinesOfPage({0, 3, 6}, page, 8).end, end) << page;
  }
}

class Printing : public viewtest::TextViewTest<> {
protected:
  void SetUp() override {
    CProfileStore::SetUserConfigDirectory(dir.path());
    SetTorvaneMessageBoxHandler([this](const QString& text, unsigned) { return messages << text, IDOK; });
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

TEST_F(Printing, TextStartsInsideTenMillimetreMarginsInHalfSizeCellsWithTabStopsOfFourAndWrapsAtWords) {
  Use(""); // an empty text is one page with only its footer
  const pdftest::Pdf empty = Print();
  EXPECT_EQ(empty.Lines(1) << QString::number(empty.pages), QStringList({"Page 1/1", "1"}));
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
  // 45 lines of two printed lines each fill a page as 90 short lines do.
  QByteArray line;
  for (int i = 1; i <= 30; ++i) line += QByteArray(i < 10 ? "word0" : "word") + QByteArray::number(i) + " ";
  Use((line + "\n").repeated(45).toStdString() + "next");
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
    for (int x = 0; x < page.width(); ++x)
      ink += page.pixelColor(x, y) != Qt::white, coloured += page.pixelColor(x, y).hsvSaturation() > 8;
  EXPECT_GT(ink, 200);
  EXPECT_EQ(coloured, 0);
}

// With 10 mm margins 90 lines fill the text area of an A4 page above the footer band; line
// 91 would end below it. The preview shows as many pages as a print has.
TEST_F(Printing, PrintCommandsPrintPagesOfNinetyLinesWhereTheDialogsSayPreviewOrTellWhyNot) {
  std::string text = "line 1";
  for (int i = 2; i <= 300; ++i) text += "\nline " + std::to_string(i);
  Use(text);
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
  EXPECT_EQ(previewPages, 4);
  EXPECT_TRUE(view.OnCmdMsg(Cmd::FILE_PRINT));
  EXPECT_FALSE(QFile::exists(path));
  answer = QDialog::Accepted;
  EXPECT_TRUE(view.OnCmdMsg(Cmd::FILE_PRINT));
  const pdftest::Pdf pdf = pdftest::Read(path);
  ASSERT_EQ(pdf.pages, 4);
  const int first[] = {1, 91, 181, 271, 301};
  for (int page = 1; page <= 4; ++page) {
    QStringList lines;
    for (int line = first[page - 1]; line < first[page]; ++line) lines << QStringLiteral("line %1").arg(line);
    EXPECT_EQ(pdf.Lines(page), lines << QStringLiteral("Page %1/4").arg(page)) << page;
  }
  const pdftest::Pdf range = Print(2, 3);
  ASSERT_EQ(range.pages, 2);
  EXPECT_EQ(range.Lines(1).first(), "line 91");
  EXPECT_EQ(range.Lines(2).last(), "Page 3/4");
  EXPECT_TRUE(messages.isEmpty());
  if (QPrinterInfo::defaultPrinter().isNull()) { // else Print Direct would really print
    EXPECT_TRUE(view.OnCmdMsg(Cmd::FILE_PRINT_DIRECT));
    EXPECT_EQ(messages, QStringList("No default printer is set up. Use Print to choose a printer "
                                    "or to print to a file."));
  }
  CProfileStore().WriteProfileInt("Editor\\PageSetup", "LeftMargin", 11000);
  CProfileStore().WriteProfileInt("Editor\\PageSetup", "RightMargin", 10000); // 21 cm of a 21 cm page
  ASSERT_TRUE(QFile::remove(path));
  messages.clear();
  EXPECT_TRUE(view.OnCmdMsg(Cmd::FILE_PRINT));
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_EQ(messages, QStringList("The page margins of Page Setup leave no room for text on the page. "
                                  "Nothing was printed."));
  // Print Setup's paper and orientation hold for later prints; a cancelled setup keeps them.
  answer = QDialog::Accepted;
  QStringList seen; // the dialogs' titles, and the paper each Print dialog opened with
  SetPrintDialogHandler([&](QDialog& dialog) {
    seen << dialog.windowTitle();
    QPrinter* printer = qobject_cast<QPrintDialog*>(&dialog)->printer();
    if (dialog.windowTitle() != "Print Setup") {
      const bool landscape = printer->pageLayout().orientation() == QPageLayout::Landscape;
      return seen << printer->pageLayout().pageSize().name() + (landscape ? " landscape" : " portrait"),
             int(QDialog::Rejected);
    }
    printer->setPageSize(QPageSize(answer == QDialog::Accepted ? QPageSize::A5 : QPageSize::B5));
    printer->setPageOrientation(answer == QDialog::Accepted ? QPageLayout::Landscape : QPageLayout::Portrait);
    return answer;
  });
  EXPECT_TRUE(RunPrintSetup(&view));
  EXPECT_TRUE(view.OnCmdMsg(Cmd::FILE_PRINT));
  answer = QDialog::Rejected;
  EXPECT_FALSE(RunPrintSetup(&view));
  EXPECT_TRUE(view.OnCmdMsg(Cmd::FILE_PRINT));
  EXPECT_EQ(seen, QStringList({"Print Setup", "Print", "A5 landscape", "Print Setup", "Print", "A5 landscape"}));
}

// Presets from "Editor\PageSetup" (a margin below 0 shown as 0); only the margins can change.
TEST_F(Printing, PageSetupStoresTheMarginsInHundredthsOfAMillimetreOnOkOnlyOrSaysWhyNot) {
  std::vector<double> shown; // left, right, top, bottom
  // The dialog's margins go to shown, the typed millimetres (if any) replace them, button closes it.
  const auto run = [&](std::vector<double> typed, QDialogButtonBox::StandardButton button) {
    SetPrintDialogHandler([&](QDialog& dialog) {
      QTimer::singleShot(0, &dialog, [&] {
        shown.clear();
        for (const char* name : {"leftMargin", "rightMargin", "topMargin", "bottomMargin"}) {
          auto* box = dialog.findChild<QDoubleSpinBox*>(QLatin1String(name));
          ASSERT_TRUE(box && box->isEnabled()) << name;
          shown.push_back(box->value());
          if (!typed.empty()) box->setValue(typed[shown.size() - 1]);
        }
        for (const char* other : {"pageSizeCombo", "portrait", "landscape", "pagesPerSheetCombo"})
          EXPECT_FALSE(dialog.findChild<QWidget*>(QLatin1String(other))->isEnabled()) << other;
        dialog.findChild<QDialogButtonBox*>()->button(button)->click();
      });
      return dialog.exec();
    });
    EXPECT_TRUE(view.OnCmdMsg(Cmd::FILE_PAGE_SETUP));
  };
  const auto stored = [] {
    QStringList values;
    for (const char* key : {"LeftMargin", "RightMargin", "TopMargin", "BottomMargin"})
      values << CProfileStore().GetProfileString("Editor\\PageSetup", key, "none");
    return values;
  };
  CProfileStore().WriteProfileInt("Editor\\PageSetup", "RightMargin", 2000);
  CProfileStore().WriteProfileInt("Editor\\PageSetup", "BottomMargin", -3);
  run({5, 6, 7, 8}, QDialogButtonBox::Cancel);
  EXPECT_EQ(shown, std::vector<double>({10, 20, 10, 0}));
  EXPECT_EQ(stored(), QStringList({"none", "2000", "none", "-3"}));
  run({12.34, 1.15, 0.29, 0}, QDialogButtonBox::Ok);
  EXPECT_EQ(stored(), QStringList({"1234", "115", "29", "0"}));
  run({}, QDialogButtonBox::Cancel);
  EXPECT_EQ(shown, std::vector<double>({12.34, 1.15, 0.29, 0}));
  SetPrintDialogHandler([](QDialog&) { return int(QDialog::Accepted); });
  CProfileStore folder(dir.path()); // a folder is no settings file
  EXPECT_TRUE(RunPageSetup(folder, nullptr));
  EXPECT_EQ(messages, QStringList("The page margins could not be saved to " + dir.path() + "."));
}

} // namespace
