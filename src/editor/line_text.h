#pragma once
#include <QString>
#include <string_view>

#include "text_buffer.h"
#include "text_encoding.h"

// A buffer line as characters, and the mapping between its byte positions (what text
// positions hold) and offsets in that QString. Escapes (bytes that are no character of the
// buffer's encoding) stand in the text as "\xHH" per byte, as the view shows them; an offset
// inside a character or an escape maps to the byte where it starts.
inline std::string_view LineBytes(const CTextBuffer& buffer, int line) {
  if (line < 0 || line >= buffer.LineCount()) return {};
  return {buffer.LineChars(line), static_cast<size_t>(buffer.LineLength(line))};
}

// Bytes of a text in encoding (a name, a string or a line the scanners took from a document)
// as the characters a user is shown: the one conversion every display of scanned text goes
// through, so that a name reads the same in the trees, the hover and the messages.
inline QString DecodedQString(std::string_view bytes, TextEncoding encoding) {
  if (IsAscii(bytes)) return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  const std::u16string text = DecodeToUtf16(bytes, encoding);
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

inline QString LineQString(const CTextBuffer& buffer, int line) {
  return DecodedQString(LineBytes(buffer, line), buffer.Encoding());
}

inline int LineOffsetOfByte(const CTextBuffer& buffer, int line, int pos) {
  return Utf16OffsetOfByte(LineBytes(buffer, line), pos, buffer.Encoding());
}

inline int LineByteOfOffset(const CTextBuffer& buffer, int line, int offset) {
  return ByteOfUtf16Offset(LineBytes(buffer, line), offset, buffer.Encoding());
}

// Text from outside (typed, pasted, dropped) as bytes of the buffer's encoding; characters
// the encoding has no byte for become '?' and are listed in unconvertible.
inline bool EncodeForBuffer(const CTextBuffer& buffer, const QString& text, std::string& bytes,
                            QString* unconvertible = nullptr) {
  std::u16string lost;
  const bool all = EncodeUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                   static_cast<size_t>(text.size())),
                               buffer.Encoding(), bytes, &lost);
  if (unconvertible)
    *unconvertible = QString(reinterpret_cast<const QChar*>(lost.data()), static_cast<qsizetype>(lost.size()));
  return all;
}
