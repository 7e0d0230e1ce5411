#pragma once
#include <QDialog>

class QLabel;

// The About box (command 57664): the program's picture, version and the author's mail link.
class CAboutDlg : public QDialog {
  Q_OBJECT

public:
  static constexpr int IDD_ABOUTBOX = 100;
  static constexpr int IDC_MAIL_LINK = 1044;

  explicit CAboutDlg(QWidget* parent = nullptr);

  // The address the link shows and writes to.
  static QString MailAddress();

private:
  // Makes the link control show address and open a new mail message to it when clicked.
  void SetURL(const QString& address);

  QLabel* m_mailLink;
};
