// Loading a file into lines: large blocks, line ends found with memchr, line texts packed
// into the store's chunks (no allocation per line).
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "text_file_io.h"

namespace {

constexpr size_t DETECT_BYTES = 32768;     // the block line ends are detected in
constexpr size_t READ_BLOCK = 1024 * 1024; // what one read asks for

// Reads up to size bytes; fewer only at the end of the file. -1 on error.
ssize_t ReadFully(int fd, char* out, size_t size) {
  size_t done = 0;
  while (done < size) {
    ssize_t n = read(fd, out + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(done);
}

struct FileCloser {
  int fd;
  ~FileCloser() {
    if (fd >= 0) close(fd);
  }
};

struct FreeDeleter {
  void operator()(char* p) const { std::free(p); }
};

// Appends one line; 0, or why it could not be held (an errno value).
int Append(CLineStore& lines, const char* chars, int64_t length) {
  if (length > lines.MaxLineLength()) return EFBIG;
  if (lines.Count() == INT32_MAX) return EOVERFLOW;
  return lines.AppendLine(chars, length) ? 0 : ENOMEM;
}

// The input window: [lineStart, dataEnd) is not yet stored; scanned up to scanPos.
class BlockReader {
public:
  BlockReader(int fd, int64_t maxLineLength) : m_fd(fd), m_maxLineLength(maxLineLength) {}

  // 0, or an errno value.
  int Start(size_t expectedSize) {
    m_capacity = std::max(READ_BLOCK, std::min<size_t>(expectedSize + 1, 2 * READ_BLOCK));
    m_buffer.reset(static_cast<char*>(std::malloc(m_capacity)));
    return m_buffer ? Fill() : ENOMEM;
  }

  // Moves the unstored part to the front and reads the next block after it. 0, or an errno
  // value; EFBIG as soon as the unstored part is a line too long to hold, however much of the
  // file remains (of its last byte, only the start of a line end may be missing).
  int Fill() {
    char* buf = m_buffer.get();
    if (m_lineStart > 0) {
      size_t keep = m_dataEnd - m_lineStart;
      std::memmove(buf, buf + m_lineStart, keep);
      m_scanPos -= m_lineStart;
      m_dataEnd = keep;
      m_lineStart = 0;
    }
    if (m_dataEnd > 0 && static_cast<int64_t>(m_dataEnd - 1) > m_maxLineLength) return EFBIG;
    if (m_capacity - m_dataEnd < READ_BLOCK) {
      // One line longer than the window: double it (a realloc of a mapping does not copy).
      size_t grown = std::max(m_capacity * 2, m_dataEnd + READ_BLOCK);
      char* bigger = static_cast<char*>(std::realloc(m_buffer.get(), grown));
      if (!bigger) return ENOMEM;
      m_buffer.release();
      m_buffer.reset(bigger);
      m_capacity = grown;
    }
    ssize_t n = ReadFully(m_fd, m_buffer.get() + m_dataEnd, READ_BLOCK);
    if (n < 0) return errno;
    m_dataEnd += static_cast<size_t>(n);
    m_eof = static_cast<size_t>(n) < READ_BLOCK;
    return 0;
  }

  char* Data() const { return m_buffer.get(); }
  size_t m_lineStart = 0;
  size_t m_scanPos = 0;
  size_t m_dataEnd = 0;
  bool m_eof = false;

private:
  int m_fd;
  int64_t m_maxLineLength;
  std::unique_ptr<char, FreeDeleter> m_buffer;
  size_t m_capacity = 0;
};

// Splits at every occurrence of the style's sequence, left to right. 0, or an errno value.
template <LineEndStyle Style>
int SplitLines(BlockReader& in, CLineStore& lines, const std::function<bool()>& pump) {
  for (;;) {
    char* buf = in.Data();
    size_t end = in.m_dataEnd;
    size_t pos = in.m_scanPos;
    size_t start = in.m_lineStart;
    while (pos < end) {
      auto* lf = static_cast<char*>(std::memchr(buf + pos, '\n', end - pos));
      if (!lf) {
        pos = end;
        break;
      }
      size_t i = static_cast<size_t>(lf - buf);
      if constexpr (Style == LineEndStyle::Mac) {
        if (int failed = Append(lines, buf + start, static_cast<int64_t>(i - start))) return failed;
        start = pos = i + 1;
      } else if constexpr (Style == LineEndStyle::Dos) {
        if (i > start && buf[i - 1] == '\r') {
          if (int failed = Append(lines, buf + start, static_cast<int64_t>(i - 1 - start)))
            return failed;
          start = pos = i + 1;
        } else {
          pos = i + 1;
        }
      } else { // Unix: LF CR
        if (i + 1 < end) {
          if (buf[i + 1] == '\r') {
            if (int failed = Append(lines, buf + start, static_cast<int64_t>(i - start)))
              return failed;
            start = pos = i + 2;
          } else {
            pos = i + 1;
          }
        } else if (in.m_eof) {
          pos = end;
        } else {
          pos = i; // the byte after this LF is in the next block
          break;
        }
      }
    }
    in.m_scanPos = pos;
    in.m_lineStart = start;
    if (in.m_eof) {
      // What is left is the last line, even when empty.
      return Append(lines, buf + start, static_cast<int64_t>(end - start));
    }
    if (pump && !pump()) return ECANCELED;
    if (int failed = in.Fill()) return failed;
  }
}

// Not a file that can be read to its end: the reason, or nullptr for a regular file.
const char* NotAFile(mode_t mode) {
  if (S_ISREG(mode)) return nullptr;
  if (S_ISDIR(mode)) return "is a directory";
  if (S_ISFIFO(mode)) return "is a named pipe, not a file";
  if (S_ISCHR(mode)) return "is a character device, not a file";
  if (S_ISBLK(mode)) return "is a block device, not a file";
  if (S_ISSOCK(mode)) return "is a socket, not a file";
  return "is not a regular file";
}

bool Fail(FileError* error, int code, std::string text) {
  if (error) *error = FileError{code, std::move(text)};
  return false;
}

bool FailWithErrno(FileError* error, int code) { return Fail(error, code, std::strerror(code)); }

} // namespace

std::string_view LineEndSequence(LineEndStyle style) {
  switch (style) {
  case LineEndStyle::Unix:
    return "\n\r";
  case LineEndStyle::Mac:
    return "\n";
  default:
    return "\r\n";
  }
}

LineEndStyle DetectLineEndStyle(const char* data, size_t size) {
  size = std::min(size, DETECT_BYTES);
  auto* lf = static_cast<const char*>(std::memchr(data, '\n', size));
  if (!lf) return LineEndStyle::Dos;
  size_t i = static_cast<size_t>(lf - data);
  if (i > 0 && data[i - 1] == '\r') return LineEndStyle::Dos;
  if (i + 1 < size && data[i + 1] == '\r') return LineEndStyle::Unix;
  return LineEndStyle::Mac;
}

// Opens path for reading, without waiting, and only when it is a regular file: the one way
// texts and settings are opened. False with the reason in error otherwise.
static bool OpenRegularFile(const std::string& path, FileCloser& file, struct stat& st,
                            FileError* error) {
  // Without O_NONBLOCK, opening a named pipe waits for a writer, for ever if none comes.
  file.fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (file.fd < 0) return FailWithErrno(error, errno);
  if (fstat(file.fd, &st) != 0) return FailWithErrno(error, errno);
  // Devices and pipes never end, or end when someone else decides: only files are read.
  if (const char* reason = NotAFile(st.st_mode))
    return Fail(error, S_ISDIR(st.st_mode) ? EISDIR : EINVAL, reason);
  return true;
}

bool ReadTextFile(const std::string& path, LineEndStyle requested, CLineStore& lines,
                  LineEndStyle& style, bool& readOnly, FileError* error,
                  const std::function<bool()>& pump) {
  FileCloser file{-1};
  struct stat st;
  if (!OpenRegularFile(path, file, st, error)) return false;
  posix_fadvise(file.fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  const size_t expected = static_cast<size_t>(st.st_size);

  BlockReader in(file.fd, lines.MaxLineLength());
  int failed = in.Start(expected);
  if (!failed) {
    style = requested;
    if (!IsConcreteLineEndStyle(style)) style = DetectLineEndStyle(in.Data(), in.m_dataEnd);
    lines.ExpectAppending(expected);
    // A first guess at the line count, so that the record array rarely has to grow.
    if (!lines.ReserveSlots(static_cast<int>(std::min<size_t>(expected / 40 + 16, 1u << 26))))
      failed = ENOMEM;
  }
  if (!failed) {
    switch (style) {
    case LineEndStyle::Unix: failed = SplitLines<LineEndStyle::Unix>(in, lines, pump); break;
    case LineEndStyle::Mac: failed = SplitLines<LineEndStyle::Mac>(in, lines, pump); break;
    default: failed = SplitLines<LineEndStyle::Dos>(in, lines, pump); break;
    }
    lines.FinishAppending();
  }
  if (failed == EFBIG) {
    return Fail(error, EFBIG,
                "line " + std::to_string(int64_t{lines.Count()} + 1) + " is longer than " +
                    std::to_string(lines.MaxLineLength()) + " bytes, the most a line can hold");
  }
  if (failed == ECANCELED) return Fail(error, ECANCELED, "the load was stopped");
  if (failed == EOVERFLOW)
    return Fail(error, EOVERFLOW, "has more lines than the 2147483647 a text can hold");
  if (failed) return FailWithErrno(error, failed);
  readOnly = faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
  if (error) *error = FileError{};
  return true;
}

bool ReadFileBytes(const std::string& path, std::string& bytes, size_t maxSize,
                   FileError* error) {
  FileCloser file{-1};
  struct stat st;
  if (!OpenRegularFile(path, file, st, error)) return false;
  if (static_cast<size_t>(st.st_size) > maxSize) return FailWithErrno(error, EFBIG);
  // Read to the end, whatever fstat said: the file may be growing.
  bytes.clear();
  size_t used = 0;
  for (;;) {
    bytes.resize(std::min(maxSize + 1, std::max<size_t>(used * 2, static_cast<size_t>(st.st_size) + 1)));
    const ssize_t n = ReadFully(file.fd, bytes.data() + used, bytes.size() - used);
    if (n < 0) return FailWithErrno(error, errno);
    used += static_cast<size_t>(n);
    if (used > maxSize) return FailWithErrno(error, EFBIG);
    if (used < bytes.size()) break;
  }
  bytes.resize(used);
  if (error) *error = FileError{};
  return true;
}
