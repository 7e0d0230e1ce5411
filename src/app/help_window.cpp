#include "help_window.h"

#include <QDesktopServices>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "help_reference.h"

static void InitHelpWindowResources() { Q_INIT_RESOURCE(resources); }

namespace {

QString ReferenceLink(const QString& word) {
  return QStringLiteral("<a href=\"%1:%2\">%3</a>")
      .arg(QLatin1String(CHelpWindow::REFERENCE_SCHEME), word.toHtmlEscaped(), word.toHtmlEscaped());
}

const QString kFooter = QStringLiteral(
    "<p><a href=\"reference:\">All words of the reference</a> &middot; "
    "<a href=\"qrc:/help/guide.html\">User guide</a></p>");

} // namespace

CHelpWindow::CHelpWindow(const CHelpReference& reference, QWidget* parent)
    : QWidget(parent, Qt::Window), m_reference(reference) {
  InitHelpWindowResources();
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("Torvane Help"));
  m_browser = new QTextBrowser(this);
  // Every link passes FollowLink: reference words are not files, web pages not ours to show.
  m_browser->setOpenLinks(false);
  connect(m_browser, &QTextBrowser::anchorClicked, this, &CHelpWindow::FollowLink);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_browser);
  resize(560, 420);
}

void CHelpWindow::ShowGuide(const QString& anchor) {
  QUrl url(QString::fromLatin1(GUIDE_URL));
  if (!anchor.isEmpty()) url.setFragment(anchor);
  m_browser->setSource(url);
  Present();
}

void CHelpWindow::ShowWord(const QString& word) {
  if (const HelpEntry* entry = word.isEmpty() ? nullptr : m_reference.Find(word))
    ShowEntry(*entry);
  else
    ShowIndex(word);
  Present();
}

void CHelpWindow::ShowEntry(const HelpEntry& entry) {
  m_browser->setHtml(QStringLiteral("<h2>%1</h2><p><i>%2</i></p><pre>%3</pre><p>%4</p>")
                         .arg(entry.word.toHtmlEscaped(), entry.kind.toHtmlEscaped(),
                              entry.usage.toHtmlEscaped(), entry.text.toHtmlEscaped()) +
                     kFooter);
}

void CHelpWindow::ShowIndex(const QString& missingWord) {
  QString html = QStringLiteral("<h2>Inform reference</h2>");
  if (!missingWord.isEmpty())
    html += QStringLiteral("<p>The reference has no entry for \"%1\".</p>").arg(missingWord.toHtmlEscaped());
  QStringList links;
  for (const HelpEntry& entry : m_reference.Entries()) links << ReferenceLink(entry.word);
  html += QStringLiteral("<p>") + links.join(QStringLiteral(" &middot; ")) + QStringLiteral("</p>") + kFooter;
  m_browser->setHtml(html);
}

void CHelpWindow::FollowLink(const QUrl& url) {
  const QString scheme = url.scheme();
  if (scheme == QLatin1String(REFERENCE_SCHEME)) {
    ShowWord(url.path());
  } else if (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
             scheme == QLatin1String("mailto")) {
    QDesktopServices::openUrl(url);
  } else {
    m_browser->setSource(m_browser->source().resolved(url));
  }
}

void CHelpWindow::Present() {
  show();
  raise();
  activateWindow();
}
