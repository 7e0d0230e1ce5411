#pragma once
// Temporary folders, whole files, switching user, a recording view, and the buffer's text.
#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "text_buffer.h"

// A fresh directory under $TMPDIR (or /tmp), removed with its contents on destruction.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return m_path; }
  std::string File(const std::string& name) const { return m_path + "/" + name; }
  std::vector<std::string> Entries() const; // names in it, sorted

private:
  std::string m_path;
};

void WriteFile(const std::string& path, std::string_view bytes);
std::string ReadFile(const std::string& path); // throws std::runtime_error when unreadable

// Runs fn as uid, gid and groups, then as root again (root only: then permissions are real).
void RunAs(uid_t uid, gid_t gid, const std::vector<gid_t>& groups, const std::function<void()>& fn);
// As root, fn runs as nobody (65534), for whom permissions count.
void RunAsOrdinaryUser(const std::function<void()>& fn);

std::vector<std::string> Lines(const CCrystalTextBuffer& buffer);
std::string AllText(const CCrystalTextBuffer& buffer, std::string_view sep = "\n");

bool LoadBytes(CCrystalTextBuffer& buffer, const TempDir& dir, std::string_view bytes,
               LineEndStyle style = LineEndStyle::Automatic);

// Records notifications and OnEditPerformed calls and moves positions through each update
// context, as a view moves its caret; leaves its buffer when it goes, as views do.
class RecordingView : public CBufferView {
public:
  struct Change {
    CBufferView* source;
    UpdateContext context; // default (an empty insertion) when none was given
    uint32_t hints;
    int line;
  };
  struct Edit {
    UndoAction action;
    std::string text;
    bool groupOpen; // the buffer's undo group at the time of the call
  };

  explicit RecordingView(CCrystalTextBuffer* buffer = nullptr) : m_buffer(buffer) {}
  ~RecordingView() override {
    if (m_buffer) m_buffer->DetachView(this);
  }
  void OnBufferChanged(CBufferView* source, const UpdateContext* context, uint32_t hints,
                       int line) override;
  void OnEditPerformed(UndoAction action, std::string_view text) override;
  void OnBufferDestroyed() override;

  std::vector<Change> changes;
  std::vector<Edit> edits;
  std::vector<TextPosition> positions;                     // moved by every context
  bool bufferGone = false;                                 // OnBufferDestroyed was called
  std::function<void(UndoAction, std::string_view)> onEdit; // run inside OnEditPerformed
  std::function<void()> onChange;                          // run inside OnBufferChanged
  std::function<void()> onDestroyed;                       // run inside OnBufferDestroyed

private:
  CCrystalTextBuffer* m_buffer;
};
