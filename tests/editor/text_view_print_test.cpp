// Page geometry and pagination in printer units; printing a text view into PDF files read back
// with pdftotext; the print commands and Page Setup with their dialogs answered by the test.
#include <map>
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <climits>
#include <tuple>

#include "../support/pdf_reader.h"
#include "command_ids.h"
#include "message_box.h"
#include "page_setup.h"
#include "print_dialogs.h"
#include "print_layout.h"
#include "printer_choice.h"
#include "profile_store.h"
#include "text_printer.h"
#include "view_test_support.h"

namespace {

TEST(PrintLayout, UnitsAreRoundedAndTheTextAreaIsThePageLessMarginsAndTheFooterBand) {
  for (auto [hundredths, dpi, units] : {std::tuple{1000, 1200, 472}, {127, 10, 1}, {126, 10, 0}, {2000000, 2400, 1889764}})
    EXPECT_EQ(HundredthsMmToUnits(hundredths, dpi), units) << hundredths;
  const PrintRect margins{10, 20, 30, 40}; // bands of 11 + 5
  EXPECT_EQ(TextAreaFor({0, 0, 1000, 2000}, margins, 11, false, true), (PrintRect{10, 20, 970, 1944}));
  EXPECT_EQ(TextAreaFor({1000, 2000, 0, 0}, margins, 11, true, true), (PrintRect{10, 36, 970, 1944}));
  EXPECT_EQ(FooterBandFor({10, 20, 970, 1944}, 11), (PrintRect{10, 1944, 970, 1960}));
}

TEST(PrintLayout, MarginsStayOnThePaperAndTheFontIsTheScreenSizeUnlessChosen) {
  EXPECT_EQ(ClampMargins({INT_MAX, -5, 3000, INT_MAX}, 21000, 29700), (PrintMargins{21000, 0, 3000, 29700}));
  // 20 screen pixels at 96 dpi are 15 pt: 250 pixels at 1200 dpi, 125 at half size.
  for (auto [size, pixels] : {std::pair{PrintFontSize{0, false}, 250}, {{0, true}, 125}, {{100, false}, 167}, {{100, true}, 125}})
    EXPECT_EQ(PrintedFontPixels(size, 20, 96, 1200), pixels) << size.tenthsOfPoint << size.halfSize;
}

// A margin of 2^31 - 1 hundredths of a millimetre is 4 x 10^9 dots at 4800 dpi: no room, not a wrapped int.
TEST(TextPrinter, AMarginWiderThanThePaperLeavesNoRoomAtAnyResolution) {
  QImage page(2000, 2000, QImage::Format_Mono);
  page.setDotsPerMeterX(188976);
  page.setDotsPerMeterY(188976);
  CTextPrinter printer(nullptr);
  printer.SetPageSetup({{INT_MAX, 0, 0, 0}, {}});
  EXPECT_EQ(printer.Paginate(page, page.rect()).left(48), "The page margins of Page Setup leave no room for");
}

// Cells 10 units wide: rows of 100 hold ten.
CRowBreaker Cells(double width) {
  std::array<double, 256> advances;
  advances.fill(10);
  return CRowBreaker(advances, width, 4);
}
const CRowBreaker TEN_CELLS = Cells(100);

// A row's pieces as "column:bytes", blank-separated.
std::string Pieces(std::string_view text, int from, int to, int column, TextEncoding encoding = ENC_DEFAULT) {
  std::string out;
  for (const PrintPiece& piece : RowPieces(text, from, to, column, 4, encoding))
    out += (out.empty() ? "" : " ") + std::to_string(piece.column) + ":" + piece.bytes;
  return out;
}

TEST(PrintLayout, RowsBreakAfterBlanksOrWhereAWordFillsTheRow) {
  for (auto [text, from, column, byte, nextColumn] : {
           std::tuple{"abc def", 0, 0, 7, 7}, {"aaaa bbbb cccc", 0, 0, 10, 10}, {"aaaa bbbb cccc", 10, 10, 14, 14},
           {"abcdefghijklmno", 0, 0, 10, 10}, {"\tab\tcdefghij", 0, 0, 4, 8}, {"ab\tcdefghij", 0, 0, 3, 4},
           {"abcdefgh      x", 0, 0, 14, 14}, {"abcdefghij      x", 0, 0, 16, 16}, {"ab", 1, 7, 2, 8}}) {
    const PrintPosition next = TEN_CELLS.NextRow(text, from, column);
    EXPECT_EQ(std::pair(next.byte, next.column), std::pair(byte, nextColumn)) << text << " from " << from;
  }
  EXPECT_EQ(Cells(5).NextRow("ab", 0, 0).byte, 1); // a row holds a character at least
  EXPECT_EQ(Pieces("x\tab\tc  \t", 0, 9, 0), "0:x 4:ab 8:c");
  EXPECT_EQ(Pieces("x\tab\tc", 1, 6, 2), "4:ab 8:c");
  EXPECT_EQ(Pieces("a b  \t ", 0, 8, 0), "0:a b");
}

// Columns count characters as the view counts them: one cell for a letter of any script, two
// for a wide character, four for each byte shown as an escape; a row never ends inside one.
TEST(PrintLayout, TabStopsAndRowsCountCharactersInTheTextsEncoding) {
  constexpr TextEncoding U8 = TextEncoding::Utf8;
  const struct { TextEncoding encoding; std::string text; int from, column, byte, nextColumn; std::string pieces; } rows[] = {
      {U8, "\xC3\xA9\tX", 0, 0, 4, 5, "0:\xC3\xA9 4:X"},                               // é
      {U8, "\xCE\xB1\xCE\xB2\tX", 0, 0, 6, 5, "0:\xCE\xB1\xCE\xB2 4:X"},              // αβ
      {U8, "\xD0\xB4\xD0\xBE\xD0\xBC\tX", 0, 0, 8, 5, "0:\xD0\xB4\xD0\xBE\xD0\xBC 4:X"}, // дом
      {U8, "\xE4\xB8\xAD\tX", 0, 0, 5, 5, "0:\xE4\xB8\xAD 4:X"},                       // 中: two cells
      {U8, "\xE4\xB8\xAD\xE6\x96\x87\xE4\xB8\xAD\xE6\x96\x87\xE4\xB8\xAD\xE6\x96\x87", 0, 0, 15, 10,
       "0:\xE4\xB8\xAD 2:\xE6\x96\x87 4:\xE4\xB8\xAD 6:\xE6\x96\x87 8:\xE4\xB8\xAD"}, // five fill the row
      {U8, "ab\xE9\tX", 0, 0, 5, 9, "0:ab\xE9 8:X"},                                   // the escape \xE9: four
      {U8, "\xC3\xA9\xC3\xA9 \xC3\xA9\tX", 5, 2, 9, 5, "2:\xC3\xA9 4:X"},             // from the middle of a line
      {TextEncoding::Iso8859_1, "\xE9\tX", 0, 0, 3, 5, "0:\xE9 4:X"},
      {TextEncoding::Iso8859_7, "\xE1\xE2\tX", 0, 0, 4, 5, "0:\xE1\xE2 4:X"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    CRowBreaker breaker = Cells(100);
    breaker.SetEncoding(row.encoding);
    const PrintPosition next = breaker.NextRow(row.text, row.from, row.column);
    EXPECT_EQ(std::pair(next.byte, next.column), std::pair(row.byte, row.nextColumn));
    const int end = std::min(next.byte, static_cast<int>(row.text.size()));
    EXPECT_EQ(Pieces(row.text, row.from, end, row.column, row.encoding), row.pieces);
  }
  EXPECT_EQ(Pieces("\xE4\xB8\xAD" "a b", 0, 6, 0, U8), "0:\xE4\xB8\xAD 2:a b"); // what follows a wide one: at its column
  CRowBreaker narrow = Cells(5);
  narrow.SetEncoding(U8);
  EXPECT_EQ(narrow.NextRow("\xE4\xB8\xAD\xC3\xA9", 0, 0), (PrintPosition{0, 3, 2})); // alone, whole
  EXPECT_EQ(narrow.NextRow("\xE4\xB8\xAD\xC3\xA9", 3, 2), (PrintPosition{0, 5, 3}));
}

TEST(PrintLayout, PagesBreakBeforeALineThatDoesNotFitAndALongLineRunsOverPages) {
  const std::vector<std::string> lines{"a", "a", "12345678901234", "a", std::string(61, 'x'), "b", "c"};
  const CPrintRows rows(7, [&](int line) { return std::string_view(lines.at(std::size_t(line))); }, TEN_CELLS);
  std::vector<std::tuple<int, int, int>> starts;
  for (const PrintPosition& p : PaginateRows(rows, 3)) starts.emplace_back(p.line, p.byte, p.column);
  EXPECT_EQ(starts, (std::vector<std::tuple<int, int, int>>{{0, 0, 0}, {2, 0, 0}, {4, 0, 0}, {4, 30, 30}, {4, 60, 60}}));
  EXPECT_EQ(PaginateRows(CPrintRows(0, {}, TEN_CELLS), 3).size(), 1u);
}

class Printing : public viewtest::TextViewTest<> {
protected:
  void SetUp() override {
    CProfileStore::SetUserConfigDirectory(dir.path());
    CProfileStore().WriteProfileInt("Editor\\PageSetup", "PrintHalfSize", 1);
    SetTorvaneMessageBoxHandler([this](const QString& text, unsigned) { return messages << text, IDOK; });
  }
  void TearDown() override {
    SetPrintDialogHandler({});
    SetTorvaneMessageBoxHandler({});
  }
  // A 20-pixel screen font prints 7.5 points high at half size: cells 4.5 points wide, lines 8.52 apart.
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

// A tab after characters of several bytes prints at the stop the view shows it at.
TEST_F(Printing, TabStopsAfterCharactersOfSeveralBytesAreTheViews) {
  Use("\xC3\xA9\tX\n\xE4\xB8\xAD\tY\nab\xE9\tZ");
  buffer->SetEncoding(TextEncoding::Utf8);
  // 中 is found in whatever font has it, or in none: the words after the tabs tell.
  std::map<QString, double> x;
  for (const pdftest::Word& word : Print().words) x[word.text] = word.x;
  EXPECT_NEAR(x.at(QString::fromUtf8("\xC3\xA9")), 28.32, 0.05);
  EXPECT_NEAR(x.at("ab\\xE9"), 28.32, 0.05);
  EXPECT_NEAR(x.at("X"), 28.32 + 4 * 4.5, 0.05);
  EXPECT_NEAR(x.at("Y"), 28.32 + 4 * 4.5, 0.05);
  EXPECT_NEAR(x.at("Z"), 28.32 + 8 * 4.5, 0.05);
}

// 15 pt (cells of 9 pt) is the 20-pixel screen font's size; Page Setup's size replaces it unless
// half size is on. A line longer than a page runs on over the pages it needs.
TEST_F(Printing, TheFontIsTheScreenSizeOrPageSetupsAndALongLineRunsOverPages) {
  Use("ab\tX");
  for (auto [half, tenths, x] : {std::tuple{0, 0, 28.32 + 4 * 9.0}, {0, 100, 28.32 + 4 * 6.0}, {1, 100, 28.32 + 4 * 4.5}}) {
    CProfileStore().WriteProfileInt("Editor\\PageSetup", "PrintHalfSize", half);
    CProfileStore().WriteProfileInt("Editor\\PageSetup", "PrintFontSize", tenths);
    EXPECT_NEAR(Print().words.at(1).x, x, 0.05) << tenths;
  }
  std::string line; // 20 words a row, 90 rows a page
  for (int i = 1; i <= 4000; ++i) line += QStringLiteral("w%1 ").arg(i, 4, 10, QLatin1Char('0')).toStdString();
  Use(line + "\nnext");
  const pdftest::Pdf pdf = Print();
  ASSERT_EQ(pdf.pages, 3);
  EXPECT_EQ(pdf.Lines(1).at(89).right(11), "w1799 w1800");
  EXPECT_EQ(pdf.Lines(2).at(0).left(11), "w1801 w1802");
  const QStringList last = pdf.Lines(3);
  ASSERT_EQ(last.size(), 22);
  EXPECT_EQ(last.at(19).right(11), "w3999 w4000");
  EXPECT_EQ(last.mid(20), QStringList({"next", "Page 3/3"}));
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
  QList<double> previewed; // the top margin shown, then the pages before and after
  SetPrintDialogHandler([&](QDialog& dialog) {
    if (auto* top = dialog.findChild<QDoubleSpinBox*>("topMargin")) {
      QTimer::singleShot(0, &dialog, [&dialog, top, &previewed] {
        previewed << top->value();
        top->setValue(100);
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
      });
      return dialog.exec();
    }
    auto* preview = dialog.findChild<QPrintPreviewWidget*>();
    dialog.show();
    QApplication::processEvents();
    previewed << preview->pageCount();
    for (QAction* action : dialog.findChildren<QAction*>())
      if (action->text() == "Page setup") action->trigger();
    QApplication::processEvents();
    return previewed << preview->pageCount(), int(QDialog::Rejected);
  });
  EXPECT_TRUE(view.OnCmdMsg(Cmd::FILE_PRINT_PREVIEW));
  EXPECT_EQ(previewed, QList<double>({4, 10, 5})); // 60 lines a page below a 10 cm margin
  EXPECT_EQ(CProfileStore().GetProfileString("Editor\\PageSetup", "TopMargin", ""), "10000");
  SetPrintDialogHandler([&](QDialog& dialog) {
    ToPdf(*qobject_cast<QPrintDialog*>(&dialog)->printer());
    return int(QDialog::Accepted);
  });
  CProfileStore().WriteProfileInt("Editor\\PageSetup", "RightMargin", 10000);
  ASSERT_TRUE(QFile::remove(path));
  for (int left : {11000, INT_MAX}) { // 21 cm of a 21 cm page; more than any page
    CProfileStore().WriteProfileInt("Editor\\PageSetup", "LeftMargin", left);
    messages.clear();
    EXPECT_TRUE(view.OnCmdMsg(Cmd::FILE_PRINT));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(messages, QStringList("The page margins of Page Setup leave no room for text on the page. "
                                    "Nothing was printed."));
  }
  answer = QDialog::Accepted;
  QStringList seen; // the dialogs' titles, and the paper each Print dialog opened with
  SetPrintDialogHandler([&](QDialog& dialog) {
    seen << dialog.windowTitle();
    if (dialog.windowTitle() == "Print Setup") // it prints nothing: its button says so
      seen << dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->text();
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
  EXPECT_EQ(seen, QStringList({"Print Setup", "OK", "Print", "A5 landscape", "Print Setup", "OK", "Print", "A5 landscape"}));
}

// Presets from "Editor\PageSetup" (a margin below 0 shown as 0); only the margins can change.
TEST_F(Printing, PageSetupStoresTheMarginsInHundredthsOfAMillimetreOnOkOnlyOrSaysWhyNot) {
  Use("");
  std::vector<double> shown; // left, right, top, bottom
  QString fontShown;
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
        auto* size = dialog.findChild<QDoubleSpinBox*>("printFontSize");
        fontShown = size->text();
        if (!typed.empty()) size->setValue(10.5);
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
  EXPECT_EQ(fontShown, "Screen size (15.0 pt)");
  EXPECT_EQ(stored(), QStringList({"none", "2000", "none", "-3"}));
  run({12.34, 1.15, 0.29, 0}, QDialogButtonBox::Ok);
  EXPECT_EQ(stored(), QStringList({"1234", "115", "29", "0"}));
  run({}, QDialogButtonBox::Cancel);
  EXPECT_EQ(shown, std::vector<double>({12.34, 1.15, 0.29, 0}));
  EXPECT_EQ(fontShown, "10.5 pt");
  SetPrintDialogHandler([](QDialog&) { return int(QDialog::Accepted); });
  CProfileStore folder(dir.path()); // a folder is no settings file
  EXPECT_TRUE(RunPageSetup(folder, nullptr, 100));
  EXPECT_EQ(messages, QStringList("The page margins could not be saved to " + dir.path() + "."));
}

} // namespace
