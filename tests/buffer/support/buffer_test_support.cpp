#include "buffer_test_support.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/torvane-buffer-XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  m_path = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  // Make every folder writable again first (tests take permissions away).
  for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) chmod(it->path().c_str(), 0700);
  }
  chmod(m_path.c_str(), 0700);
  std::filesystem::remove_all(m_path, ec);
}

std::vector<std::string> TempDir::Entries() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(m_path))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void RunAs(uid_t uid, gid_t gid, const std::vector<gid_t>& groups, const std::function<void()>& fn) {
  if (setgroups(groups.size(), groups.data()) != 0 || setegid(gid) != 0 || seteuid(uid) != 0)
    throw std::runtime_error("cannot switch user");
  fn();
  if (seteuid(0) != 0 || setegid(0) != 0 || setgroups(0, nullptr) != 0)
    throw std::runtime_error("cannot switch back to root");
}

void RunAsOrdinaryUser(const std::function<void()>& fn) {
  if (geteuid() == 0)
    RunAs(65534, 65534, {}, fn);
  else
    fn();
}

std::vector<std::string> Lines(const CCrystalTextBuffer& buffer) {
  std::vector<std::string> lines;
  for (int i = 0; i < buffer.LineCount(); ++i)
    lines.emplace_back(buffer.LineChars(i), static_cast<size_t>(buffer.LineLength(i)));
  return lines;
}

std::string AllText(const CCrystalTextBuffer& buffer, std::string_view sep) {
  const int last = buffer.LineCount() - 1;
  return last < 0 ? std::string() : buffer.GetText(0, 0, last, buffer.LineLength(last), sep);
}

bool LoadBytes(CCrystalTextBuffer& buffer, const TempDir& dir, std::string_view bytes,
               LineEndStyle style) {
  const std::string path = dir.File("load.txt");
  WriteFile(path, bytes);
  return buffer.Load(path, style);
}

void RecordingView::OnBufferChanged(CBufferView* source, const UpdateContext* context,
                                    uint32_t hints, int line) {
  changes.push_back({source, context ? *context : UpdateContext{}, hints, line});
  if (context) {
    for (TextPosition& pos : positions) context->AdjustPosition(pos);
  }
  if (onChange) onChange();
}

void RecordingView::OnEditPerformed(UndoAction action, std::string_view text) {
  edits.push_back({action, std::string(text), m_buffer ? m_buffer->IsUndoGroupOpen() : false});
  if (onEdit) onEdit(action, text);
}

void RecordingView::OnBufferDestroyed() {
  if (onDestroyed) onDestroyed();
  m_buffer = nullptr;
  bufferGone = true;
}
