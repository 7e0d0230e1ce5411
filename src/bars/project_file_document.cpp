#include "project_file_document.h"

#include <QFile>
#include <QFileInfo>

#include "source_encoding.h"

CProjectFileDocument::CProjectFileDocument(QString path, COpener opener,
                                           std::optional<TextEncoding> commandLine)
    : m_path(std::move(path)), m_opener(std::move(opener)), m_commandLine(commandLine) {}

bool CProjectFileDocument::Scan() {
  QFile file(m_path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = file.readAll();
  const std::string_view text(bytes.constData(), static_cast<size_t>(bytes.size()));
  m_encoding = BytesEncoding(text, m_commandLine);
  const CStringLineSource lines = CStringLineSource::FromText(text);
  return m_records.ScanObjects(lines);
}

std::string CProjectFileDocument::GetTreeName() const { return TreeNameOfPath(m_path); }

CTextView* CProjectFileDocument::ActivateFirstView() {
  // Copies: opening the file takes this entry out of the trees, and it may be freed before
  // the opener returns.
  const QString path = m_path;
  const COpener opener = m_opener;
  return opener ? opener(path) : nullptr;
}

std::string TreeNameOfPath(const QString& path) {
  const QString name = QFileInfo(path).fileName();
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return (dot > 0 ? name.left(dot) : name).toStdString();
}
