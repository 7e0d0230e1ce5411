#include "single_file_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>

#include "command_ids.h"
#include "message_box.h"
#include "torvane_view.h"

namespace {

// What an indicator pane shows while it is lit, when its handler gives no text of its own.
QString IndicatorName(int id) {
  switch (id) {
  case Cmd::INDICATOR_OVR: return QStringLiteral("OVR");
  case Cmd::INDICATOR_READ: return QStringLiteral("Read");
  case Cmd::INDICATOR_COL: return QStringLiteral("COL");
  default: return QString();
  }
}

// The widest text of a pane, so that the bar does not jump as the texts change.
QString IndicatorWidthText(int id) {
  switch (id) {
  case Cmd::INDICATOR_POSITION: return QStringLiteral("Ln 00000, Col 000");
  case Cmd::INDICATOR_CRLF: return QStringLiteral("UNIX");
  default: return IndicatorName(id);
  }
}

} // namespace

CSingleFileWindow::CSingleFileWindow(QWidget* parent) : QMainWindow(parent) {
  m_view = new CTorvaneView(this);
  m_view->SetDocumentBuffer(&m_buffer);
  setCentralWidget(m_view);

  for (std::size_t i = 0; i < INDICATORS.size(); ++i) {
    auto* pane = new QLabel(this);
    pane->setAlignment(Qt::AlignCenter);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(IndicatorWidthText(INDICATORS[i])) + 12);
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addPermanentWidget(pane);
    m_panes[i] = pane;
  }

  auto* save = new QAction(tr("&Save"), this);
  save->setShortcut(QKeySequence::Save);
  save->setShortcutContext(Qt::WindowShortcut);
  connect(save, &QAction::triggered, this, [this] { Save(); });
  addAction(save);

  connect(m_view, &CCrystalTextView::cursorChanged, this, &CSingleFileWindow::UpdateIndicators);

  m_buffer.CreateEmpty(LineEndStyle::Dos);
  m_view->OnInitialUpdate();
  resize(900, 700);
  UpdateIndicators();
  m_view->setFocus();
}

CSingleFileWindow::~CSingleFileWindow() {
  // The view leaves the buffer before the buffer (a member) goes.
  m_view->DetachBuffer();
}

bool CSingleFileWindow::OpenFile(const QString& path) {
  m_path = path;
  m_saveRefused = false;
  const QFileInfo info(path);
  bool read = false;
  if (!info.exists()) {
    m_buffer.Clear();
    m_buffer.CreateEmpty(LineEndStyle::Dos);
    TorvaneMessageBox(QStringLiteral("%1 does not exist.\nIt will be created when you save.")
                          .arg(QDir::toNativeSeparators(path)),
                      MB_OK | MB_ICONINFORMATION);
  } else if (m_buffer.Load(path.toStdString(), LineEndStyle::Automatic)) {
    read = true;
  } else {
    // Whatever part of the file was read is dropped: half a file must not be saved over the
    // whole one.
    m_buffer.Clear();
    m_buffer.CreateEmpty(LineEndStyle::Dos);
    m_buffer.SetReadOnly(true);
    m_saveRefused = true;
    TorvaneMessageBox(QStringLiteral("Cannot open %1.\nThe window shows an empty, read-only "
                                     "text and will not save over the file.")
                          .arg(QDir::toNativeSeparators(path)),
                      MB_OK | MB_ICONEXCLAMATION);
  }
  m_view->OnInitialUpdate();
  UpdateIndicators();
  return read;
}

bool CSingleFileWindow::Save() {
  if (m_saveRefused) {
    TorvaneMessageBox(QStringLiteral("%1 could not be read, so it is not saved over.")
                          .arg(QDir::toNativeSeparators(m_path)),
                      MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  QString path = m_path;
  if (path.isEmpty()) {
    path = QFileDialog::getSaveFileName(this, tr("Save As"), QString(),
                                        tr("Inform Files (*.inf);;Inform Header Files (*.h);;"
                                           "All Files (*)"));
    if (path.isEmpty()) return false;
  }
  if (!m_buffer.Save(path.toStdString(), LineEndStyle::Automatic, true)) {
    TorvaneMessageBox(QStringLiteral("Cannot save %1.\nThe text is kept; save it elsewhere.")
                          .arg(QDir::toNativeSeparators(path)),
                      MB_OK | MB_ICONEXCLAMATION);
    UpdateIndicators();
    return false;
  }
  m_path = path;
  UpdateIndicators();
  return true;
}

QString CSingleFileWindow::PaneText(int indicatorId) const {
  for (std::size_t i = 0; i < INDICATORS.size(); ++i)
    if (INDICATORS[i] == indicatorId) return m_panes[i]->text();
  return QString();
}

void CSingleFileWindow::UpdateIndicators() {
  for (std::size_t i = 0; i < INDICATORS.size(); ++i) {
    CCmdUIState state;
    state.id = INDICATORS[i];
    QString text;
    if (m_view->OnUpdateCmdUI(INDICATORS[i], state) && state.enabled)
      text = state.text ? QString::fromLatin1(state.text->c_str()) : IndicatorName(INDICATORS[i]);
    if (m_panes[i]->text() != text) m_panes[i]->setText(text);
  }
  const QString title =
      QStringLiteral("%1%2 - Torvane").arg(DisplayName(), m_buffer.IsModified() ? "*" : "");
  if (windowTitle() != title) setWindowTitle(title);
}

QString CSingleFileWindow::DisplayName() const {
  return m_path.isEmpty() ? QStringLiteral("Untitled1") : QFileInfo(m_path).fileName();
}

void CSingleFileWindow::closeEvent(QCloseEvent* event) {
  if (m_buffer.IsModified() && !m_saveRefused) {
    const int answer = TorvaneMessageBox(QStringLiteral("Save changes to %1?").arg(DisplayName()),
                                         MB_YESNOCANCEL | MB_ICONEXCLAMATION);
    if (answer == IDCANCEL || (answer == IDYES && !Save())) {
      event->ignore();
      return;
    }
  }
  event->accept();
}
