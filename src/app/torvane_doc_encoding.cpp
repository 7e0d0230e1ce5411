// CTorvaneDoc: the encoding its text is read in, Reopen with Encoding and Convert Encoding.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "command_ids.h"
#include "compile_command.h"
#include "message_box.h"
#include "profile_store.h"
#include "project_file.h"
#include "source_encoding.h"
#include "torvane_doc.h"

namespace {

// The "!%" lines at the top of the text, as the compiler would read them from the file.
IclHeader BufferHeader(const CTextBuffer& buffer, const std::string& fileName) {
  std::string text;
  for (int line = 0; line < buffer.LineCount(); ++line) {
    const std::string_view bytes(buffer.LineChars(line), static_cast<size_t>(buffer.LineLength(line)));
    if (bytes.substr(0, 2) != "!%") break;
    text.append(bytes).push_back('\n');
  }
  return ParseIclHeader(text, fileName);
}

QString EncodingText(TextEncoding encoding) { return QString::fromLatin1(EncodingName(encoding)); }

// Every character set the compiler reads, with its Reopen and Convert commands, in the
// menus' order.
struct EncodingCommands {
  TextEncoding encoding;
  int reopen;
  int convert;
};
constexpr EncodingCommands ENCODING_COMMANDS[] = {
    {TextEncoding::Utf8, Cmd::FILE_REOPEN_UTF8, Cmd::FILE_CONVERT_TO_UTF8},
    {TextEncoding::Iso8859_1, Cmd::FILE_REOPEN_LATIN1, Cmd::FILE_CONVERT_TO_LATIN1},
    {TextEncoding::Iso8859_2, Cmd::FILE_REOPEN_8859_2, Cmd::FILE_CONVERT_TO_8859_2},
    {TextEncoding::Iso8859_3, Cmd::FILE_REOPEN_8859_2 + 1, Cmd::FILE_CONVERT_TO_8859_2 + 1},
    {TextEncoding::Iso8859_4, Cmd::FILE_REOPEN_8859_2 + 2, Cmd::FILE_CONVERT_TO_8859_2 + 2},
    {TextEncoding::Iso8859_5, Cmd::FILE_REOPEN_8859_2 + 3, Cmd::FILE_CONVERT_TO_8859_2 + 3},
    {TextEncoding::Iso8859_6, Cmd::FILE_REOPEN_8859_2 + 4, Cmd::FILE_CONVERT_TO_8859_2 + 4},
    {TextEncoding::Iso8859_7, Cmd::FILE_REOPEN_8859_2 + 5, Cmd::FILE_CONVERT_TO_8859_2 + 5},
    {TextEncoding::Iso8859_8, Cmd::FILE_REOPEN_8859_2 + 6, Cmd::FILE_CONVERT_TO_8859_2 + 6},
    {TextEncoding::Iso8859_9, Cmd::FILE_REOPEN_8859_2 + 7, Cmd::FILE_CONVERT_TO_8859_2 + 7},
    {TextEncoding::Ascii, Cmd::FILE_REOPEN_ASCII, Cmd::FILE_CONVERT_TO_ASCII},
};

} // namespace

void CTorvaneDoc::DeclareEncodingCommands() {
  const CCommandTable::Rule always = CCommandTable::ALWAYS;
  for (const EncodingCommands& entry : ENCODING_COMMANDS) {
    const TextEncoding encoding = entry.encoding;
    m_commands.Add(entry.reopen, [this, encoding] { ReopenWithEncoding(encoding); }, always,
                   [this, encoding] { return Encoding() == encoding; });
    m_commands.Add(entry.convert, [this, encoding] { ConvertEncoding(encoding); },
                   [this, encoding] { return Encoding() != encoding && !m_buffer.IsReadOnly(); });
  }
  m_commands.Add(Cmd::FILE_REOPEN_AS_FILE_SAYS, [this] { ReopenWithEncoding(std::nullopt); }, always,
                 [this] { return !m_chosenEncoding; });
  m_commands.AddIndicator(Cmd::INDICATOR_ENCODING, always,
                          [this](const CCmdUIState&) -> std::optional<std::string> {
                            return std::string(EncodingName(Encoding()));
                          });
}

TextEncoding CTorvaneDoc::EncodingAsFileSays() const {
  const QString path = GetPathName();
  const ProjectFile* project = m_build ? m_build->OpenProject() : nullptr;
  const std::string native = QFile::encodeName(QFileInfo(path).absoluteFilePath()).toStdString();
  const bool member = !path.isEmpty() && project && project->Contains(native);
  const auto commandLine = CommandLineEncoding(
      member ? project : nullptr, ReadCompileSettings(CProfileStore()).userDefOptions);
  return ChooseSourceEncoding(BufferHeader(m_buffer, native), commandLine, m_buffer.ScanUtf8());
}

void CTorvaneDoc::ApplyEncoding() {
  m_buffer.SetEncoding(m_chosenEncoding ? *m_chosenEncoding : EncodingAsFileSays());
}

bool CTorvaneDoc::ReopenWithEncoding(std::optional<TextEncoding> encoding) {
  if (GetPathName().isEmpty()) {
    // Nothing to read again: the text as it stands is read in the encoding.
    m_chosenEncoding = encoding;
    ApplyEncoding();
    return true;
  }
  if (IsModified() &&
      TorvaneMessageBox(QStringLiteral("Reopening reads %1 again: the changes made since it was "
                                       "saved are lost.\n\nReopen it anyway?")
                            .arg(QDir::toNativeSeparators(GetPathName())),
                        MB_YESNO | MB_ICONQUESTION) != IDYES)
    return false;
  const std::optional<TextEncoding> before = m_chosenEncoding;
  m_chosenEncoding = encoding;
  if (Reload()) return true;
  m_chosenEncoding = before;
  return false;
}

void CTorvaneBuffer::EncodingReplayed() { m_document.EncodingChanged(); }

void CTorvaneDoc::EncodingChanged() {
  // An undo step does not know whether the encoding was chosen or the file's: one the file
  // names anyway counts as the file's, after a conversion, its Undo and its Redo alike.
  const TextEncoding encoding = Encoding();
  if (encoding == EncodingAsFileSays())
    m_chosenEncoding.reset();
  else
    m_chosenEncoding = encoding;
}

bool CTorvaneDoc::ConvertEncoding(TextEncoding encoding) {
  const TextEncoding from = Encoding();
  if (from == encoding || m_buffer.IsReadOnly()) return false;
  std::vector<std::pair<int, std::string>> changed;
  int lost = 0;
  std::vector<int> lossLines;
  for (int line = 0; line < m_buffer.LineCount(); ++line) {
    const std::string_view bytes(m_buffer.LineChars(line), static_cast<size_t>(m_buffer.LineLength(line)));
    if (IsAscii(bytes)) continue;
    const int before = lost;
    std::string converted = ConvertLine(bytes, from, encoding, lost);
    if (lost > before && lossLines.size() < 5) lossLines.push_back(line + 1);
    if (converted != bytes) changed.emplace_back(line, std::move(converted));
  }
  if (lost > 0) {
    QStringList lines;
    for (int line : lossLines) lines.append(QString::number(line));
    if (TorvaneMessageBox(QStringLiteral("%1 character(s) cannot be stored in %2 (on line %3%4); "
                                         "converting writes '?' in their place.\n\nConvert anyway?")
                              .arg(lost)
                              .arg(EncodingText(encoding), lines.join(QStringLiteral(", ")),
                                   lost > static_cast<int>(lossLines.size()) ? QStringLiteral(", ...") : QString()),
                          MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
      return false;
  }
  // One undo group, the encoding its last step: Undo gives the old bytes back read in the old
  // encoding, Redo the new ones in the new.
  m_buffer.OpenUndoGroup(false);
  for (const auto& [line, bytes] : changed) {
    int endLine = 0, endChar = 0;
    m_buffer.DeleteText(nullptr, line, 0, line, m_buffer.LineLength(line), UndoAction::ConvertEncoding);
    m_buffer.InsertText(nullptr, line, 0, bytes, endLine, endChar, UndoAction::ConvertEncoding);
  }
  m_buffer.ChangeEncoding(encoding, UndoAction::ConvertEncoding);
  m_buffer.CloseUndoGroup();
  EncodingChanged();
  const auto header = HeaderEncoding(BufferHeader(m_buffer, GetPathName().toStdString()));
  if (header && *header != encoding)
    emit note(QStringLiteral("The header of %1 still says %2: the compiler will read it as %3 until "
                             "that line is changed.")
                  .arg(GetTitle(), QString::fromStdString(EncodingSwitch(*header)), EncodingText(*header)));
  return true;
}
