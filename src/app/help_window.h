#pragma once
#include <QWidget>

class CHelpReference;
class QTextBrowser;
class QUrl;
struct HelpEntry;

// The help window: a small window of its own beside the main frame that shows the user guide
// or one entry of the Inform reference. Links between them stay inside it; links to the web
// go to the desktop's browser.
class CHelpWindow : public QWidget {
  Q_OBJECT

public:
  static constexpr const char* GUIDE_URL = "qrc:/help/guide.html";
  static constexpr const char* REFERENCE_SCHEME = "reference";

  explicit CHelpWindow(const CHelpReference& reference, QWidget* parent = nullptr);

  // The user guide, at its top or at anchor.
  void ShowGuide(const QString& anchor = QString());
  // The entry of word; when the reference has none, the list of every entry under a line
  // saying so. An empty word shows the list alone.
  void ShowWord(const QString& word);

  QTextBrowser* Browser() const { return m_browser; }

private:
  void ShowEntry(const HelpEntry& entry);
  void ShowIndex(const QString& missingWord);
  void FollowLink(const QUrl& url);
  void Present();

  const CHelpReference& m_reference;
  QTextBrowser* m_browser;
};
