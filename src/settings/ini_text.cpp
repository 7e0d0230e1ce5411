#include "ini_text.h"

#include "file_name.h"

namespace {

const char HEX_DIGITS[] = "0123456789ABCDEF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsHexDigit(char32_t c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  return (c | 0x20) - 'a' + 10;
}

// The character of a one-letter escape ("\n"), or 0 for a letter that is none.
char EscapedCharacter(char letter) {
  static const char CODES[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'}, {'r', '\r'},
                                  {'t', '\t'}, {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''},
                                  {'\\', '\\'}};
  for (const auto& code : CODES)
    if (code[0] == letter) return code[1];
  return 0;
}

// One character written as QSettings writes it; escapeNextIfDigit carries from one to the next
// so that "\x1" followed by "a" is not read back as "\x1a".
void AppendEscaped(QByteArray& out, char32_t c, bool keepHigh, bool& escapeNextIfDigit) {
  if (escapeNextIfDigit && IsHexDigit(c)) {
    out += "\\x" + QByteArray::number(static_cast<uint>(c), 16);
    return;
  }
  escapeNextIfDigit = false;
  switch (c) {
  case 0: out += "\\0"; escapeNextIfDigit = true; return;
  case '\a': out += "\\a"; return;
  case '\b': out += "\\b"; return;
  case '\f': out += "\\f"; return;
  case '\n': out += "\\n"; return;
  case '\r': out += "\\r"; return;
  case '\t': out += "\\t"; return;
  case '\v': out += "\\v"; return;
  case '"': out += "\\\""; return;
  case '\\': out += "\\\\"; return;
  default: break;
  }
  if (c <= 0x1F || (c >= 0x7F && !keepHigh)) {
    out += "\\x" + QByteArray::number(static_cast<uint>(c), 16);
    escapeNextIfDigit = true;
  } else if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (QChar::requiresSurrogates(c)) {
    const char16_t pair[] = {QChar::highSurrogate(c), QChar::lowSurrogate(c)};
    out += QStringView(pair, 2).toUtf8();
  } else {
    const char16_t unit = static_cast<char16_t>(c);
    out += EncodeKeepingBytes(QStringView(&unit, 1));
  }
}

// Quotes the text when it holds ";", "," or "=", or a blank at either end.
void QuoteWhereNeeded(QByteArray& out, bool needsQuotes) {
  if (needsQuotes || (!out.isEmpty() && (out.front() == ' ' || out.back() == ' '))) {
    out.prepend('"');
    out += '"';
  }
}

// A backslash escape starting after the backslash at i; appends what it stands for and
// returns the index after it.
qsizetype ReadEscape(QByteArrayView text, qsizetype i, QString& out) {
  const char letter = text[i++];
  if (const char c = EscapedCharacter(letter)) {
    out += QLatin1Char(c);
  } else if (letter == 'x' || (letter >= '0' && letter <= '7')) {
    const int base = letter == 'x' ? 16 : 8;
    char16_t value = letter == 'x' ? 0 : static_cast<char16_t>(letter - '0');
    while (i < text.size() && (base == 16 ? IsHexDigit(static_cast<unsigned char>(text[i]))
                                          : (text[i] >= '0' && text[i] <= '7')))
      value = static_cast<char16_t>(value * base + HexValue(text[i++]));
    out += QChar(value);
  } // any other letter is dropped, as QSettings drops it
  return i;
}

} // namespace

QString IniKeyFromText(QByteArrayView text) {
  QString key;
  qsizetype run = 0;
  auto take = [&](qsizetype end, QChar c, qsizetype next) {
    key += DecodeKeepingBytes(text.sliced(run, end - run));
    key += c;
    run = next;
  };
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == '\\') {
      take(i, QChar(u'/'), i + 1);
    } else if (text[i] == '%') {
      const bool wide = i + 1 < text.size() && text[i + 1] == 'U';
      const qsizetype first = i + (wide ? 2 : 1);
      const qsizetype end = first + (wide ? 4 : 2);
      char16_t value = 0;
      bool hex = end <= text.size();
      for (qsizetype d = first; hex && d < end; ++d) {
        hex = IsHexDigit(static_cast<unsigned char>(text[d]));
        value = static_cast<char16_t>(value * 16 + (hex ? HexValue(text[d]) : 0));
      }
      if (hex) { // else the "%" is taken as it stands
        take(i, QChar(value), end);
        i = end - 1;
      }
    }
  }
  key += DecodeKeepingBytes(text.sliced(run));
  return key;
}

QByteArray IniKeyText(QStringView key) {
  QByteArray out;
  for (QChar ch : key) {
    const char16_t c = ch.unicode();
    if (c == '/') {
      out += '\\';
    } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '-' || c == '.') {
      out += static_cast<char>(c);
    } else if (c <= 0xFF) {
      out += '%';
      out += HEX_DIGITS[c / 16];
      out += HEX_DIGITS[c % 16];
    } else {
      out += "%U";
      for (int shift = 12; shift >= 0; shift -= 4) out += HEX_DIGITS[(c >> shift) & 0xF];
    }
  }
  return out;
}

QString IniValueFromText(QByteArrayView text) {
  QString value;
  qsizetype i = 0;
  qsizetype chopLimit = 0; // blanks before this index are the value's own
  bool inQuotes = false;
  bool quoted = false; // the current list element had quotes: its blanks are its own
  auto skipBlanks = [&] {
    while (i < text.size() && IsBlank(text[i])) ++i;
  };
  auto chopBlanks = [&] {
    while (!quoted && value.size() > chopLimit && (value.back() == u' ' || value.back() == u'\t'))
      value.chop(1);
  };
  skipBlanks();
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\\') {
      if (i + 1 == text.size()) break; // a lone backslash at the end stands for nothing
      i = ReadEscape(text, i + 1, value);
      chopLimit = value.size();
    } else if (c == '"') {
      ++i;
      quoted = true;
      inQuotes = !inQuotes;
      if (!inQuotes) skipBlanks();
      chopLimit = value.size();
    } else if (!inQuotes && c == ';') {
      break;
    } else if (!inQuotes && c == ',') {
      chopBlanks();
      value += QLatin1Char(',');
      chopLimit = value.size();
      quoted = false;
      ++i;
      skipBlanks();
    } else {
      qsizetype j = i + 1;
      while (j < text.size() && !QByteArrayView("\\\",;").contains(text[j])) ++j;
      value += DecodeKeepingBytes(text.sliced(i, j - i));
      i = j;
    }
  }
  chopBlanks();
  return value;
}

QByteArray IniStringText(QStringView value) {
  QByteArray out;
  if (value.startsWith(QLatin1Char('@'))) out += '@';
  bool needsQuotes = false;
  bool escapeNextIfDigit = false;
  for (qsizetype i = 0; i < value.size(); ++i) {
    char32_t c = value[i].unicode();
    // A pair of surrogates is one character.
    if (QChar::isHighSurrogate(c) && i + 1 < value.size() && value[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(value[i].unicode(), value[i + 1].unicode());
      ++i;
    }
    if (c == ';' || c == ',' || c == '=') needsQuotes = true;
    AppendEscaped(out, c, true, escapeNextIfDigit);
  }
  QuoteWhereNeeded(out, needsQuotes);
  return out;
}

QByteArray IniBytesText(const QByteArray& bytes) {
  QByteArray out = "@ByteArray(";
  bool needsQuotes = false;
  bool escapeNextIfDigit = false;
  for (char b : bytes) {
    const auto c = static_cast<unsigned char>(b);
    if (c == ';' || c == ',' || c == '=') needsQuotes = true;
    AppendEscaped(out, c, false, escapeNextIfDigit);
  }
  out += ')';
  QuoteWhereNeeded(out, needsQuotes);
  return out;
}

qsizetype IniValueEnd(QByteArrayView text, qsizetype from) {
  bool inQuotes = false;
  for (qsizetype i = from; i < text.size(); ++i) {
    if (text[i] == '\\') ++i;
    else if (text[i] == '"') inQuotes = !inQuotes;
    else if (text[i] == ';' && !inQuotes) return i;
  }
  return text.size();
}
