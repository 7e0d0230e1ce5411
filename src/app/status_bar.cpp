#include "status_bar.h"

#include <QLabel>
#include <QResizeEvent>

#include "command_binder.h"
#include "command_ids.h"
#include "string_table.h"

namespace {
// Room a pane needs beyond its text: the frame and the gap between panes.
constexpr int PANE_PADDING = 12;
} // namespace

const std::vector<CMainStatusBar::Indicator>& CMainStatusBar::Indicators() {
  static const std::vector<Indicator> indicators = {
      {Cmd::INDICATOR_POSITION, "Ln 0000 Col 000", ""},
      {Cmd::INDICATOR_CRLF, "CRLF", ""},
      {Cmd::INDICATOR_ENCODING, "ISO 8859-1", "", true},
      {Cmd::INDICATOR_OVR, "OVR", "OVR"},
      {Cmd::INDICATOR_CAPS, "CAP", "CAP"},
      {Cmd::INDICATOR_LIBRARY, "Standard library 6.12.6", "", true},
  };
  return indicators;
}

CMainStatusBar::CMainStatusBar(QWidget* parent) : QStatusBar(parent) {
  setObjectName(QString::number(Cmd::VIEW_STATUS_BAR));
  m_prompt = new QLabel(QString::fromLatin1(LoadStringResource(StringId::IDLE_MESSAGE)), this);
  m_prompt->setMinimumWidth(0);
  m_prompt->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  addWidget(m_prompt, 1);
  for (const Indicator& indicator : Indicators()) {
    auto* pane = new QLabel(this);
    pane->setAlignment(Qt::AlignCenter);
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    const int width =
        pane->fontMetrics().horizontalAdvance(QString::fromLatin1(indicator.sizingText)) +
        PANE_PADDING;
    pane->setFixedWidth(width);
    addPermanentWidget(pane);
    m_panes.push_back(pane);
    m_paneWidths.push_back(width);
  }
}

void CMainStatusBar::BindPanes(CCommandBinder& binder) {
  for (std::size_t i = 0; i < m_panes.size(); ++i) {
    QLabel* pane = m_panes[i];
    binder.BindPane(Indicators()[i].id, QString::fromLatin1(Indicators()[i].litText),
                    [this, pane](const QString& text) {
                      if (pane->text() == text) return;
                      const bool emptinessChanges = pane->text().isEmpty() != text.isEmpty();
                      pane->setText(text);
                      if (emptinessChanges) FitPanes();
                    });
  }
}

QString CMainStatusBar::PaneText(int id) const {
  if (id == 0) return currentMessage().isEmpty() ? m_prompt->text() : currentMessage();
  for (std::size_t i = 0; i < m_panes.size(); ++i)
    if (Indicators()[i].id == id) return m_panes[i]->text();
  return QString();
}

bool CMainStatusBar::IsPaneShown(int id) const {
  for (std::size_t i = 0; i < m_panes.size(); ++i)
    if (Indicators()[i].id == id) return !m_panes[i]->isHidden();
  return false;
}

QLabel* CMainStatusBar::PaneWidget(int index) const {
  if (index == 0) return m_prompt;
  if (index > 0 && static_cast<std::size_t>(index) <= m_panes.size())
    return m_panes[static_cast<std::size_t>(index - 1)];
  return nullptr;
}

QSize CMainStatusBar::minimumSizeHint() const {
  return QSize(0, QStatusBar::minimumSizeHint().height());
}

void CMainStatusBar::resizeEvent(QResizeEvent* event) {
  QStatusBar::resizeEvent(event);
  FitPanes();
}

void CMainStatusBar::FitPanes() {
  // Pane 0 gives way first (it may shrink to nothing); then panes hide from the right.
  int room = width() - PANE_PADDING;
  bool fits = true;
  for (std::size_t i = 0; i < m_panes.size(); ++i) {
    if (Indicators()[i].roomOnlyWithText && m_panes[i]->text().isEmpty()) {
      m_panes[i]->setVisible(false);
      continue;
    }
    fits = fits && m_paneWidths[i] + PANE_PADDING / 2 <= room;
    if (fits) room -= m_paneWidths[i] + PANE_PADDING / 2;
    if (m_panes[i]->isHidden() == fits) m_panes[i]->setVisible(fits);
  }
}
