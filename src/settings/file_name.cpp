#include "file_name.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr char16_t KEPT_BYTE_BASE = 0xEF00;

bool IsKeptByte(QChar c) { return c.unicode() >= 0xEF80 && c.unicode() <= 0xEFFF; }

// The length of the UTF-8 sequence a lead byte starts (1 for a byte that starts none).
qsizetype SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  return lead >= 0xC0 ? 2 : 1;
}

} // namespace

QString DecodeKeepingBytes(QByteArrayView bytes) {
  if (bytes.isValidUtf8()) return QString::fromUtf8(bytes);
  QString text;
  text.reserve(bytes.size());
  qsizetype run = 0; // start of the valid bytes not yet decoded
  for (qsizetype i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const qsizetype length = lead < 0x80 ? 1 : SequenceLength(lead);
    if (lead < 0x80 || (i + length <= bytes.size() && bytes.sliced(i, length).isValidUtf8())) {
      i += length;
      continue;
    }
    text += QString::fromUtf8(bytes.sliced(run, i - run));
    text += QChar(static_cast<char16_t>(KEPT_BYTE_BASE + lead));
    run = ++i;
  }
  text += QString::fromUtf8(bytes.sliced(run));
  return text;
}

QByteArray EncodeKeepingBytes(QStringView text) {
  QByteArray bytes;
  bytes.reserve(text.size());
  qsizetype run = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (!IsKeptByte(text[i])) continue;
    bytes += text.sliced(run, i - run).toUtf8();
    bytes += static_cast<char>(text[i].unicode() - KEPT_BYTE_BASE);
    run = i + 1;
  }
  bytes += text.sliced(run).toUtf8();
  return bytes;
}

bool HoldsKeptBytes(QStringView text) {
  for (QChar c : text)
    if (IsKeptByte(c)) return true;
  return false;
}

QString FileNameFromBytes(const QByteArray& bytes) {
  const QString name = QFile::decodeName(bytes);
  return QFile::encodeName(name) == bytes ? name : DecodeKeepingBytes(bytes);
}

bool FileNameExists(const QString& name) {
  struct stat st;
  return stat(FileNameToBytes(name).constData(), &st) == 0;
}

QString AbsoluteCleanPath(const QString& name) { return QDir::cleanPath(QFileInfo(name).absoluteFilePath()); }

bool SameFileName(const QString& a, const QString& b) {
  if (QDir::cleanPath(a) == QDir::cleanPath(b)) return true;
  struct stat sa, sb;
  return stat(FileNameToBytes(a).constData(), &sa) == 0 &&
         stat(FileNameToBytes(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

QByteArray FileNameToBytes(const QString& name) {
  return HoldsKeptBytes(name) ? EncodeKeepingBytes(name) : QFile::encodeName(name);
}
