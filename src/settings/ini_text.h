#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Keys and values as they stand in the INI text Qt's QSettings reads and writes, so that a
// file written by either is read by both. Bytes that are not UTF-8 are kept (file_name.h).

// A key or section name: "%XX" and "%UXXXX" escapes undone, "\" read as "/".
QString IniKeyFromText(QByteArrayView text);
// The reverse: letters, digits, "_", "-" and "." as they are, "/" as "\", the rest escaped.
QByteArray IniKeyText(QStringView key);

// A value's text after "=": blanks around it dropped, quotes and backslash escapes undone, an
// unquoted ";" ending it; commas outside quotes are kept (without the blanks around them),
// as the store has always read them.
QString IniValueFromText(QByteArrayView text);

// The text of a stored string: escaped, quoted where a ";", "," or "=" or a blank at either
// end needs it; a leading "@" doubled, so that it is not taken for a typed value.
QByteArray IniStringText(QStringView value);

// The text of stored bytes: "@ByteArray(...)" with every byte outside printable ASCII escaped.
QByteArray IniBytesText(const QByteArray& bytes);

// The end of a value's text that starts at from: an unquoted ";" or the end of text.
qsizetype IniValueEnd(QByteArrayView text, qsizetype from);
