#pragma once
// Temporary folders, whole files, switching user, a recording view, and the buffer's text.
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>

#include "text_buffer.h"

class TempDir {
public:
  TempDir() : m_path((std::filesystem::temp_directory_path() / "torvane-buffer-XXXXXX").string()) {
    if (!mkdtemp(m_path.data())) throw std::runtime_error("mkdtemp failed");
  }
  ~TempDir() {
    chmod(m_path.c_str(), 0700); // tests take permissions away
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  const std::string& Path() const { return m_path; }
  std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
  std::string m_path;
};

inline void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
    throw std::runtime_error("cannot write " + path);
}

inline std::string ReadFile(const std::string& path) { // throws when unreadable
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs fn as uid, gid and groups, then as root again (root only: then permissions are real).
inline void RunAs(uid_t uid, gid_t gid, const std::vector<gid_t>& groups, const std::function<void()>& fn) {
  if (setgroups(groups.size(), groups.data()) != 0 || setegid(gid) != 0 || seteuid(uid) != 0)
    throw std::runtime_error("cannot switch user");
  fn();
  if (seteuid(0) != 0 || setegid(0) != 0 || setgroups(0, nullptr) != 0)
    throw std::runtime_error("cannot switch back to root");
}

// As root, fn runs as nobody (65534), for whom permissions count.
inline void RunAsOrdinaryUser(const std::function<void()>& fn) {
  geteuid() == 0 ? RunAs(65534, 65534, {}, fn) : fn();
}

inline std::vector<std::string> Lines(const CTextBuffer& buffer) {
  std::vector<std::string> lines;
  for (int i = 0; i < buffer.LineCount(); ++i)
    lines.emplace_back(buffer.LineChars(i), static_cast<size_t>(buffer.LineLength(i)));
  return lines;
}

inline std::string AllText(const CTextBuffer& buffer, std::string_view sep = "\n") {
  const int last = buffer.LineCount() - 1;
  return last < 0 ? std::string() : buffer.GetText(0, 0, last, buffer.LineLength(last), sep);
}

inline bool LoadBytes(CTextBuffer& buffer, const TempDir& dir, std::string_view bytes,
                      LineEndStyle style = LineEndStyle::Automatic) {
  WriteFile(dir.File("load.txt"), bytes);
  return buffer.Load(dir.File("load.txt"), style);
}

inline bool Insert(CTextBuffer& buffer, int line, int pos, std::string_view text,
                   UndoAction action = UndoAction::Unknown, CBufferView* view = nullptr,
                   TextPosition* end = nullptr) {
  int el, ec;
  const bool inserted = buffer.InsertText(view, line, pos, text, el, ec, action);
  if (end) *end = TextPosition(ec, el);
  return inserted;
}

// Records notifications and OnEditPerformed calls and moves positions through each update
// context, as a view moves its caret; attached to its buffer (when given) from construction
// until it goes, as views are.
class RecordingView : public CBufferView {
public:
  struct Change { CBufferView* source; uint32_t hints; int line; };
  struct Edit { UndoAction action; std::string text; bool groupOpen; }; // the group then

  explicit RecordingView(CTextBuffer* buffer = nullptr) : m_buffer(buffer) {
    if (buffer) buffer->AttachView(this);
  }
  ~RecordingView() override {
    if (m_buffer) m_buffer->DetachView(this);
  }
  void OnBufferChanged(CBufferView* source, const UpdateContext* context, uint32_t hints,
                       int line) override {
    changes.push_back({source, hints, line});
    if (context)
      for (TextPosition& pos : positions) context->AdjustPosition(pos);
    if (onChange) onChange();
  }
  void OnEditPerformed(UndoAction action, std::string_view text) override {
    edits.push_back({action, std::string(text), m_buffer->IsUndoGroupOpen()});
    if (onEdit) onEdit(action, text);
  }
  void OnBufferDestroyed() override {
    if (onDestroyed) onDestroyed();
    m_buffer = nullptr;
  }

  std::vector<Change> changes;
  std::vector<Edit> edits;
  std::vector<TextPosition> positions;                     // moved by every context
  std::function<void(UndoAction, std::string_view)> onEdit; // run inside OnEditPerformed
  std::function<void()> onChange;                          // run inside OnBufferChanged
  std::function<void()> onDestroyed;                       // run inside OnBufferDestroyed

private:
  CTextBuffer* m_buffer;
};
