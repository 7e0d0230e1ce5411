// Page geometry and pagination in printer units, without a printer.
#include <gtest/gtest.h>
#include <vector>

#include "print_layout.h"

namespace {

TEST(PrintLayout, HundredthsOfAMillimetreBecomePrinterUnitsRounded) {
  EXPECT_EQ(HundredthsMmToUnits(1000, 1200), 472); // 472.44
  EXPECT_EQ(HundredthsMmToUnits(1000, 600), 236);
  EXPECT_EQ(HundredthsMmToUnits(127, 10), 1); // one half
  EXPECT_EQ(HundredthsMmToUnits(126, 10), 0);
  EXPECT_EQ(HundredthsMmToUnits(2000000, 2400), 1889764); // no overflow on the way
}

TEST(PrintLayout, TextAreaIsThePageLessMarginsAndTheFooterBand) {
  const PrintRect margins{10, 20, 30, 40};
  EXPECT_EQ(TextAreaFor({0, 0, 1000, 2000}, margins, 11, false, true),
            (PrintRect{10, 20, 970, 1944})); // band 11 + 5
  EXPECT_EQ(TextAreaFor({1000, 2000, 0, 0}, margins, 11, true, true),
            (PrintRect{10, 36, 970, 1944}));
  EXPECT_EQ(FooterBandFor({10, 20, 970, 1944}, 11), (PrintRect{10, 1944, 970, 1960}));
}

std::vector<int> Paginate(const std::vector<int>& heights, int top, int bottom) {
  return PaginateLines(static_cast<int>(heights.size()), top, bottom,
                       [&](int line) { return heights.at(static_cast<std::size_t>(line)); });
}

TEST(PrintLayout, PagesBreakBeforeTheFirstLineThatEndsBelowTheArea) {
  EXPECT_EQ(Paginate({100, 100, 100, 100, 100, 100, 100}, 50, 350), (std::vector<int>{0, 3, 6}));
  EXPECT_EQ(Paginate({100, 100, 101}, 50, 350), (std::vector<int>{0, 2}));
  EXPECT_EQ(Paginate({50, 400, 50}, 0, 300), (std::vector<int>{0, 1, 2})); // too tall: alone
  EXPECT_EQ(Paginate({400, 50, 50}, 0, 300), (std::vector<int>{0, 1}));
  EXPECT_EQ(Paginate({}, 0, 300), (std::vector<int>{0}));
  const std::vector<int> many = Paginate(std::vector<int>(100, 300), 0, 300);
  ASSERT_EQ(many.size(), 100u);
  EXPECT_EQ(many[99], 99);
}

TEST(PrintLayout, LinesOfAPageRunToTheNextPageOrTheEnd) {
  const std::vector<int> starts{0, 3, 6};
  EXPECT_EQ(LinesOfPage(starts, 2, 8).first, 3);
  EXPECT_EQ(LinesOfPage(starts, 2, 8).end, 6);
  EXPECT_EQ(LinesOfPage(starts, 3, 8).first, 6);
  EXPECT_EQ(LinesOfPage(starts, 3, 8).end, 8);
  for (int page : {0, 4}) // nothing, and no reading past the table
    EXPECT_EQ(LinesOfPage(starts, page, 8).first, LinesOfPage(starts, page, 8).end) << page;
}

} // namespace
