#pragma once
#include <QMainWindow>
#include <QString>
#include <array>

#include "command_ids.h"
#include "text_buffer.h"

class QLabel;
class CTorvaneView;

// A plain main window around one CTorvaneView on one file: the status bar shows the view's
// five indicators and Ctrl+S saves. It stands in for the multiple-document frame.
class CSingleFileWindow : public QMainWindow {
  Q_OBJECT

public:
  // The status bar panes, left to right, with the text each shows while it is lit.
  static constexpr std::array<int, 5> INDICATORS = {Cmd::INDICATOR_POSITION, Cmd::INDICATOR_CRLF,
                                                    Cmd::INDICATOR_OVR, Cmd::INDICATOR_READ,
                                                    Cmd::INDICATOR_COL};

  explicit CSingleFileWindow(QWidget* parent = nullptr);
  ~CSingleFileWindow() override;

  // Opens path. A file that does not exist yet becomes an empty text that Save creates. A
  // file that exists but cannot be read is reported, and the window shows an empty,
  // read-only text that is never saved over the file. Returns whether the file was read.
  bool OpenFile(const QString& path);

  // Saves to the file (asking for a name when there is none). A failure is reported in a
  // message box and the text stays as it is, still modified.
  bool Save();

  CTorvaneView* View() const { return m_view; }
  CCrystalTextBuffer& Buffer() { return m_buffer; }
  const QString& FilePath() const { return m_path; }
  // The text a status pane shows now (empty while it is not lit).
  QString PaneText(int indicatorId) const;

public slots:
  // Reads every indicator from the view and the title from the modified state.
  void UpdateIndicators();

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  QString DisplayName() const;

  CCrystalTextBuffer m_buffer;
  CTorvaneView* m_view = nullptr;
  QString m_path;
  // The file exists but could not be read: saving would destroy it.
  bool m_saveRefused = false;
  std::array<QLabel*, 5> m_panes{};
};
