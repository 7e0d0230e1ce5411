// The About box: its texts, picture and mail link; the application icon.
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "about_dialog.h"
#include "application_icon.h"

namespace {

// Receives the mail links the dialog opens instead of a mail program.
class CUrlCatcher : public QObject {
  Q_OBJECT

public:
  QList<QUrl> opened;

public slots:
  void Open(const QUrl& url) { opened << url; }
};

TEST(AboutBox, ShowsPictureVersionAndAMailLinkThatOpensANewMessage) {
  CAboutDlg dialog;
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QStringList texts{dialog.windowTitle()};
  for (const QLabel* label : dialog.findChildren<QLabel*>()) {
    const QSize size = label->pixmap().size();
    texts << (size.isEmpty() ? label->text() : QString("picture %1x%2").arg(size.width()).arg(size.height()));
  }
  texts.sort();
  EXPECT_EQ(texts, QStringList({"(Inform Mode only)",
                                "<a href=\"mailto:torvane@quenmark.example\">torvane@quenmark.example</a>",
                                "About Torvane", "An editor for Inform 6 interactive fiction.",
                                "Torvane Version 0.60a", "picture 96x96"}));

  auto* link = dialog.findChild<QLabel*>("1044");
  ASSERT_NE(link, nullptr);
  CUrlCatcher catcher;
  QDesktopServices::setUrlHandler("mailto", &catcher, "Open");
  QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(link->fontMetrics().averageCharWidth() * 3, link->height() / 2));
  QDesktopServices::unsetUrlHandler("mailto");
  EXPECT_EQ(catcher.opened, QList<QUrl>({QUrl("mailto:torvane@quenmark.example")}));

  QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(ApplicationIcon, EverySizeIsThereAndTheWindowsBelongToTheMenuEntry) {
  const QIcon icon = ApplicationIcon();
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const QImage image = icon.pixmap(QSize(size, size)).toImage();
    EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255) << size; // drawn, not a hole
  }
  InstallApplicationIcon();
  EXPECT_EQ(QGuiApplication::desktopFileName(), "torvane");
  EXPECT_EQ(QGuiApplication::windowIcon().availableSizes().size(), 6);
}

} // namespace

#include "about_dialog_test.moc"
