#pragma once
#include <functional>
#include <optional>
#include <string>

#include <QString>

#include "object_bar_document.h"

// A member of the open project that no window holds, as the object-bar trees see it: the
// records of a read-only scan of the file on the disk, under the file's tree name. A jump
// from one of its items opens the file (through the opener) and continues in its view.
class CProjectFileDocument : public CObjectBarDocument {
public:
  // Opens path in a window and returns its first view; null when it could not be opened.
  // The entry may be gone when it returns (the open document takes its place).
  using COpener = std::function<CTextView*(QString path)>;

  // commandLine: the character set the project's switches name, if any; the file's own
  // header and bytes decide otherwise, as they do for a file opened in a window.
  CProjectFileDocument(QString path, COpener opener, std::optional<TextEncoding> commandLine = std::nullopt);

  // Reads the file, finds its encoding and scans it; false (the records left empty) when it
  // cannot be read.
  bool Scan();

  const QString& Path() const { return m_path; }

  std::string GetTreeName() const override;
  const CObjectMap& GetObjectMap() const override { return m_records.ObjectMap(); }
  const CFunctionMap& GetFunctionMap() const override { return m_records.FunctionMap(); }
  const CClassMap& GetClassMap() const override { return m_records.ClassMap(); }
  int GetScannerValue() const override { return m_records.ScannerValue(); }
  TextEncoding GetEncoding() const override { return m_encoding; }
  CTextView* ActivateFirstView() override;

private:
  QString m_path;
  COpener m_opener;
  std::optional<TextEncoding> m_commandLine;
  TextEncoding m_encoding = ENC_DEFAULT; // of the bytes last scanned
  CObjectScanner m_records;
};

// The label of a file's root items: its name without folder and extension ("a/rooms.h" ->
// "rooms"; a "." in a folder's name is no extension).
std::string TreeNameOfPath(const QString& path);
