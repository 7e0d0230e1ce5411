// The program's own pictures on a screen of two device pixels per pixel: the toolbar buttons,
// the object-bar tree images, the About box picture and the application icon come from
// drawings made at that size, not from the small ones blown up.
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QToolBar>
#include <gtest/gtest.h>

#include <memory>

#include "application_icon.h"
#include "ide_test_support.h"
#include "tree_class_view.h"
#include "tree_function_view.h"
#include "tree_object_view.h"

namespace {

QImage Argb(const QPixmap& pixmap) { return pixmap.toImage().convertToFormat(QImage::Format_ARGB32); }

// Mean distance per channel (alpha included) between two images of one size.
double MeanDistance(const QImage& a, const QImage& b) {
  double sum = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
             std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
    }
  return sum / (4.0 * a.width() * a.height());
}

// The pixmap of `icon` at ratio 2 has twice the pixels of the one at ratio 1; it shows the
// same picture (brought down to the small size it is close to it) and is not the small one
// blown up. Returns whether it differs from the blown-up one.
bool DrawnAtTwice(const QIcon& icon, QSize size, QIcon::Mode mode, const std::string& what) {
  const QPixmap small = icon.pixmap(size, 1.0, mode);
  const QPixmap big = icon.pixmap(size, 2.0, mode);
  EXPECT_EQ(small.size(), size) << what;
  EXPECT_EQ(big.size(), size * 2) << what;
  EXPECT_EQ(big.devicePixelRatio(), 2.0) << what;
  if (big.size() != size * 2 || small.size() != size) return false;
  const QImage smallImage = Argb(small);
  const QImage bigImage = Argb(big);
  EXPECT_LT(MeanDistance(bigImage.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                         smallImage),
            12.0)
      << what << ": another picture";
  return bigImage != smallImage.scaled(size * 2);
}

TEST(DoubleSizeIcons, EveryToolbarButtonIsDrawnAtTwiceTheSize) {
  const std::vector<QIcon> icons = ToolbarButtonIcons();
  ASSERT_EQ(icons.size(), 16u);
  int redrawn = 0;
  for (std::size_t i = 0; i < icons.size(); ++i)
    redrawn += DrawnAtTwice(icons[i], QSize(16, 15), QIcon::Normal, "button " + std::to_string(i));
  // Curves and slanted edges at least (cut, undo, redo, find, compile, run, about, help).
  EXPECT_GE(redrawn, 8);
  for (std::size_t i : {3u, 6u, 7u, 8u, 11u, 12u, 14u, 15u})
    EXPECT_TRUE(DrawnAtTwice(icons[i], QSize(16, 15), QIcon::Normal, "")) << "button " << i;
}

// The frame's toolbar buttons carry those icons, in strip order past the separators: New
// first, the context help last.
using Toolbar = apptest::Ide;
TEST_F(Toolbar, TheButtonsShowTheDoubleSizeDrawings) {
  ASSERT_TRUE(Start());
  const std::vector<QIcon> icons = ToolbarButtonIcons();
  std::vector<QIcon> shown;
  for (QAction* action : app->MainFrame()->ToolBar()->actions())
    if (!action->isSeparator() && !action->icon().isNull()) shown.push_back(action->icon());
  ASSERT_GE(shown.size(), 16u);
  const QSize size(16, 15);
  for (const auto& [button, drawn] : {std::pair{shown.front(), 0}, std::pair{shown.back(), 15}}) {
    EXPECT_EQ(Argb(button.pixmap(size, 2.0)), Argb(icons[drawn].pixmap(size, 2.0))) << drawn;
    EXPECT_EQ(button.pixmap(size, 2.0).size(), QSize(32, 30)) << drawn;
  }
}

// The three trees' icons, the picture of a selected item too, at ratio 2.
TEST(DoubleSizeIcons, TreeImagesOfEveryTreeAreDrawnAtTwiceTheSize) {
  CTreeObjectView objects;
  CTreeClassView classes;
  CTreeFunctionView functions;
  // Per tree: an item's image and its selected image (open and closed box, gear and lit gear).
  const std::tuple<CMyTreeView*, int, int> rows[] = {
      {&objects, 0, 0}, {&objects, 1, 2}, {&classes, 1, 1}, {&classes, 2, 3}, {&functions, 1, 2}};
  for (const auto& [view, image, selected] : rows) {
    view->OnInitialUpdate();
    CTreeItem* item = view->Model().InsertItem(
        nullptr, std::make_unique<CTreeItem>("item", image, selected));
    const QIcon icon = view->Model().data(view->Model().IndexOf(item), Qt::DecorationRole).value<QIcon>();
    const std::string what = "image " + std::to_string(image) + "/" + std::to_string(selected);
    EXPECT_TRUE(DrawnAtTwice(icon, QSize(16, 16), QIcon::Normal, what)) << what;
    EXPECT_TRUE(DrawnAtTwice(icon, QSize(16, 16), QIcon::Selected, what + " selected")) << what;
    view->Model().DeleteItem(item);
  }
}

// Without a double-size strip, or with one of another count of images, the small images
// are used alone (blown up at ratio 2, but the right pictures).
TEST(DoubleSizeIcons, AMismatchedDoubleStripIsNotUsed) {
  CTreeObjectView view;
  view.OnInitialUpdate();
  std::vector<QPixmap> small = LoadImageStrip(":/icons/tree_objects_137.png");
  std::vector<QPixmap> doubled = LoadImageStrip(":/icons/tree_functions_142@2x.png", 2);
  ASSERT_EQ(small.size(), 4u);
  ASSERT_EQ(doubled.size(), 4u);
  EXPECT_EQ(doubled[1].size(), QSize(32, 32));
  EXPECT_EQ(doubled[1].devicePixelRatio(), 2.0);
  doubled.pop_back();
  view.Model().SetImages(small, doubled);
  CTreeItem* item = view.Model().InsertItem(nullptr, std::make_unique<CTreeItem>("box", 1, 1));
  const QIcon icon = view.Model().data(view.Model().IndexOf(item), Qt::DecorationRole).value<QIcon>();
  EXPECT_EQ(Argb(icon.pixmap(QSize(16, 16), 2.0)).scaled(16, 16), Argb(small[1]));
  EXPECT_EQ(DoubleSizeStripPath(":/icons/tree_objects_137.png"), ":/icons/tree_objects_137@2x.png");
  EXPECT_EQ(DoubleSizeStripPath("/a.b/strip"), "/a.b/strip@2x");
}

TEST(DoubleSizeIcons, AboutPictureAndApplicationIconAtRatioTwo) {
  const QPixmap small = AboutPicture(1.0);
  const QPixmap big = AboutPicture(2.0);
  EXPECT_EQ(small.size(), QSize(96, 96));
  EXPECT_EQ(small.devicePixelRatio(), 1.0);
  EXPECT_EQ(big.size(), QSize(192, 192));
  EXPECT_EQ(big.deviceIndependentSize(), QSizeF(96, 96));
  EXPECT_NE(Argb(big), Argb(small).scaled(192, 192));
  EXPECT_LT(MeanDistance(Argb(big).scaled(96, 96, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                         Argb(small)),
            12.0);
  EXPECT_EQ(AboutPicture(1.25).size(), QSize(96, 96)); // nearer 1 than 2: the small one
  EXPECT_EQ(AboutPicture(1.5).size(), QSize(192, 192));

  // The 16-pixel icon at ratio 2 is the 32-pixel drawing.
  const QIcon icon = ApplicationIcon();
  EXPECT_EQ(Argb(icon.pixmap(QSize(16, 16), 2.0)), Argb(QPixmap(":/icons/torvane_32.png")));
  EXPECT_EQ(Argb(icon.pixmap(QSize(32, 32), 2.0)), Argb(QPixmap(":/icons/torvane_64.png")));
}

} // namespace
