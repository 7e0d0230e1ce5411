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

// The input window: [lineStart, dataEnd) is not yet stored; scanned up to scanPos.
class BlockReader {
public:
  explicit BlockReader(int fd) : m_fd(fd) {}

  bool Start(size_t expectedSize) {
    m_capacity = std::max(READ_BLOCK, std::min<size_t>(expectedSize + 1, 2 * READ_BLOCK));
    m_buffer.reset(static_cast<char*>(std::malloc(m_capacity)));
    return m_buffer && Fill();
  }

  // Moves the unstored part to the front and reads the next block after it.
  bool Fill() {
    char* buf = m_buffer.get();
    if (m_lineStart > 0) {
      size_t keep = m_dataEnd - m_lineStart;
      std::memmove(buf, buf + m_lineStart, keep);
      m_scanPos -= m_lineStart;
      m_dataEnd = keep;
      m_lineStart = 0;
    }
    if (m_capacity - m_dataEnd < READ_BLOCK) {
      // One line longer than the window: double it (a realloc of a mapping does not copy).
      size_t grown = std::max(m_capacity * 2, m_dataEnd + READ_BLOCK);
      char* bigger = static_cast<char*>(std::realloc(m_buffer.get(), grown));
      if (!bigger) return false;
      m_buffer.release();
      m_buffer.reset(bigger);
      m_capacity = grown;
    }
    ssize_t n = ReadFully(m_fd, m_buffer.get() + m_dataEnd, READ_BLOCK);
    if (n < 0) return false;
    m_dataEnd += static_cast<size_t>(n);
    m_eof = static_cast<size_t>(n) < READ_BLOCK;
    return true;
  }

  char* Data() const { return m_buffer.get(); }
  size_t m_lineStart = 0;
  size_t m_scanPos = 0;
  size_t m_dataEnd = 0;
  bool m_eof = false;

private:
  int m_fd;
  std::unique_ptr<char, FreeDeleter> m_buffer;
  size_t m_capacity = 0;
};

// Splits at every occurrence of the style's sequence, left to right.
template <LineEndStyle Style>
bool SplitLines(BlockReader& in, LineStore& lines) {
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
        if (!lines.AppendLine(buf + start, static_cast<int64_t>(i - start))) return false;
        start = pos = i + 1;
      } else if constexpr (Style == LineEndStyle::Dos) {
        if (i > start && buf[i - 1] == '\r') {
          if (!lines.AppendLine(buf + start, static_cast<int64_t>(i - 1 - start))) return false;
          start = pos = i + 1;
        } else {
          pos = i + 1;
        }
      } else { // Unix: LF CR
        if (i + 1 < end) {
          if (buf[i + 1] == '\r') {
            if (!lines.AppendLine(buf + start, static_cast<int64_t>(i - start))) return false;
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
      return lines.AppendLine(buf + start, static_cast<int64_t>(end - start));
    }
    if (!in.Fill()) return false;
  }
}

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

bool ReadTextFile(const std::string& path, LineEndStyle requested, LineStore& lines,
                  LineEndStyle& style, bool& readOnly) {
  FileCloser file{open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) return false;
  struct stat st;
  if (fstat(file.fd, &st) != 0 || S_ISDIR(st.st_mode)) return false;
  posix_fadvise(file.fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  const size_t expected = S_ISREG(st.st_mode) ? static_cast<size_t>(st.st_size) : 0;

  BlockReader in(file.fd);
  if (!in.Start(expected)) return false;
  style = requested;
  if (!IsConcreteLineEndStyle(style)) style = DetectLineEndStyle(in.Data(), in.m_dataEnd);

  lines.ExpectAppending(expected);
  // A first guess at the line count, so that the record array rarely has to grow.
  if (!lines.ReserveSlots(static_cast<int>(std::min<size_t>(expected / 40 + 16, 1u << 26))))
    return false;
  bool ok;
  switch (style) {
  case LineEndStyle::Unix:
    ok = SplitLines<LineEndStyle::Unix>(in, lines);
    break;
  case LineEndStyle::Mac:
    ok = SplitLines<LineEndStyle::Mac>(in, lines);
    break;
  default:
    ok = SplitLines<LineEndStyle::Dos>(in, lines);
    break;
  }
  lines.FinishAppending();
  if (!ok) return false;
  readOnly = faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
  return true;
}
