#pragma once
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

#include "cmd_target.h"
#include "completion.h"
#include "completion_popup.h"
#include "torvane_view.h"

class CLanguageService;

// Completion of the word at the caret from the language index: Complete Word (Ctrl+Space)
// opens the list, and so does typing "##", "." after a name, "-->", or has, hasnt, ofclass,
// provides, with and a space. While it is open the view keeps the keyboard: typed characters
// go into the text and narrow the list, Up, Down, Page Up and Page Down move in it, Tab and
// Enter put the chosen name in place of the typed part (joining the typing's undo group),
// Escape closes it, and a caret that leaves the word closes it too.
class CCompletionController : public QObject, public CCmdTarget {
  Q_OBJECT

public:
  using ActiveView = std::function<CTorvaneView*()>;
  CCompletionController(CLanguageService& service, ActiveView activeView, QObject* parent = nullptr);
  ~CCompletionController() override;

  // Follows the typing in view, to open the list by itself.
  void Watch(CTorvaneView* view);
  // Opens the list for the word at the caret of view; false when nothing fits there (the list
  // stays closed). automatic: opened by typing, so only a place that asks for a kind of name.
  bool Open(CTorvaneView* view, bool automatic);
  void Close();
  bool IsOpen() const;
  // The list of the view it was last opened in (tests).
  CCompletionPopup* Popup() const { return m_popup; }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void OnCharacterTyped(CTorvaneView* view, unsigned char c);
  void Refilter();
  void Accept();
  bool HandleKey(int key);
  bool StartsInString(CTorvaneView* view, int line) const;
  void Place();
  // Brings the names up to the index as it stands after the open documents' edits.
  void UpdateCatalogue();

  CLanguageService& m_service;
  ActiveView m_activeView;
  QPointer<CTorvaneView> m_view;
  QPointer<CCompletionPopup> m_popup;
  CCompletionCatalogue m_catalogue;
  uint64_t m_catalogueVersion = 0;
  bool m_catalogueBuilt = false;
  // The names are brought up to date once the list is shown: gathering them again after an
  // edit costs more than showing them.
  QTimer m_refresh;
  // The word being completed while the list is open.
  int m_line = 0;
  int m_wordStart = 0;
  ECompletionContext m_context = ECompletionContext::None;
};
