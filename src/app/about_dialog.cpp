#include "about_dialog.h"

#include "application_icon.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

// The picture lives in the resources library; a static library's resources are registered
// by hand before the first look-up.
static void InitAboutResources() { Q_INIT_RESOURCE(resources); }

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), m_mailLink(new QLabel) {
  InitAboutResources();
  setWindowTitle(tr("About Torvane"));
  setObjectName(QString::number(IDD_ABOUTBOX));

  auto* picture = new QLabel;
  picture->setPixmap(AboutPicture(devicePixelRatioF()));
  picture->setAlignment(Qt::AlignTop);

  m_mailLink->setObjectName(QString::number(IDC_MAIL_LINK));
  m_mailLink->setTextFormat(Qt::RichText);
  m_mailLink->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                      Qt::LinksAccessibleByKeyboard);
  m_mailLink->setOpenExternalLinks(true);
  SetURL(MailAddress());

  auto* texts = new QVBoxLayout;
  texts->addWidget(new QLabel(tr("Torvane Version 0.60a")));
  texts->addWidget(new QLabel(tr("(Inform Mode only)")));
  texts->addWidget(new QLabel(tr("An editor for Inform 6 interactive fiction.")));
  texts->addWidget(m_mailLink);
  texts->addStretch();

  auto* top = new QHBoxLayout;
  top->addWidget(picture);
  top->addSpacing(12);
  top->addLayout(texts, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString CAboutDlg::MailAddress() { return QStringLiteral("torvane@quenmark.example"); }

void CAboutDlg::SetURL(const QString& address) {
  const QString escaped = address.toHtmlEscaped();
  m_mailLink->setText(QStringLiteral("<a href=\"mailto:%1\">%1</a>").arg(escaped));
}
