#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Bytes that are not UTF-8 (a Latin-1 path in a hand-edited settings file, a file name made on
// another system) carried through QString without loss: each byte that does not belong to a
// valid UTF-8 sequence becomes the private-use character U+EF00 + byte (U+EF80 to U+EFFF) and
// turns back into that byte. Not lone surrogates: Qt's path functions (QDir::cleanPath,
// QFileInfo) garble those, and keep these. A valid name that itself holds one of those 128
// private-use characters, which nothing gives out, would be written back as the byte.
QString DecodeKeepingBytes(QByteArrayView bytes);
QByteArray EncodeKeepingBytes(QStringView text);

// True when text holds such a kept byte.
bool HoldsKeptBytes(QStringView text);

// A file name from the system (argv, a stored path) as the program keeps it: as Qt decodes
// names when that gives back the same bytes, else with its odd bytes kept.
QString FileNameFromBytes(const QByteArray& bytes);

// True when something is there under name (links followed), found by the name's bytes.
bool FileNameExists(const QString& name);

// name made absolute (from the current folder) with "." and ".." taken out, links kept: the
// one spelling by which the IDE compares and keys the files it knows.
QString AbsoluteCleanPath(const QString& name);

// True when two absolute names name the same file: the same after cleaning, or the same file
// reached another way (a link, ".."). By the names' bytes; Qt's QFileInfo cannot reach a name
// with kept bytes, and takes any two files it cannot find for the same.
bool SameFileName(const QString& a, const QString& b);

// The bytes that name the file on the system: kept bytes as they were, the rest as Qt encodes
// names. Qt's own file classes cannot reach a name with kept bytes; open it by these bytes.
QByteArray FileNameToBytes(const QString& name);
