// The hover text of a name: what the index knows of its definition.
#include <QFileInfo>

#include "hover_info.h"
#include "line_text.h"
#include "language_service.h"
#include "string_table.h"
#include "torvane_doc.h"

QString CLanguageService::HoverText(CDocument* document, int line, int col) {
  while (StepDocuments()) {
  }
  auto* inform = dynamic_cast<CTorvaneDoc*>(document);
  const std::optional<int> file = inform ? m_index.FindFile(KeyOf(inform).toStdString()) : std::nullopt;
  if (!file) return {};
  CReadFiles files;
  // The comments are read from the definition's file alone: its encoding is theirs.
  TextEncoding encoding = ENC_DEFAULT;
  const std::optional<CHoverInfo> info = HoverAt(m_index, *file, line, col, [&](int f, int l, std::string& text) {
    if (l < 0) return false;
    encoding = LineBytes(f, l, files, text);
    return true;
  });
  if (!info) return {};
  const QStringList relations = QString::fromLatin1(LoadStringResource(StringId::HOVER_RELATIONS)).split(QLatin1Char('\n'));
  const auto escaped = [&encoding](const std::string& text) { return DecodedQString(text, encoding).toHtmlEscaped(); };
  QStringList lines;
  lines << QStringLiteral("<b>%1</b> %2").arg(QString::fromLatin1(IndexKindName(info->kind)), escaped(info->name));
  lines << QString::fromLatin1(LoadStringResource(StringId::HOVER_DEFINED_AT))
               .arg(QFileInfo(QString::fromStdString(m_index.FilePath(info->file))).fileName().toHtmlEscaped())
               .arg(info->line + 1);
  if (!info->parent.empty()) lines << relations.value(0).arg(escaped(info->parent));
  if (!info->ofClass.empty()) lines << relations.value(1).arg(escaped(info->ofClass));
  if (info->definitions > 1) lines << relations.value(2).arg(info->definitions);
  if (!info->comments.empty()) {
    QStringList comments;
    for (const std::string& comment : info->comments) comments << escaped(comment);
    lines << QStringLiteral("<i>%1</i>").arg(comments.join(QStringLiteral("<br>")));
  }
  return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(lines.join(QStringLiteral("<br>")));
}
