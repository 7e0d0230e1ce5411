// Saving lines to a file without ever putting the old file at risk: temporary file in the
// same directory, fsync, rename over the target in one step.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "text_file_io.h"

namespace {

constexpr size_t WRITE_BLOCK = 1024 * 1024;
constexpr int MAX_SYMLINKS = 40;

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Follows symbolic links from path to the file that is to be replaced (which need not exist
// yet). False, with errno set, for a loop or an unreadable link.
bool ResolveTarget(const std::string& path, std::string& target) {
  target = path;
  for (int i = 0; i < MAX_SYMLINKS; ++i) {
    struct stat st;
    if (lstat(target.c_str(), &st) != 0) return errno == ENOENT;
    if (!S_ISLNK(st.st_mode)) return true;
    std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4095) + 1, '\0');
    ssize_t n = readlink(target.c_str(), link.data(), link.size());
    if (n < 0) return false;
    if (n == 0 || static_cast<size_t>(n) >= link.size()) {
      errno = ENAMETOOLONG; // it changed under us, or is not a path
      return false;
    }
    link.resize(static_cast<size_t>(n));
    target = link.front() == '/' ? link : DirectoryOf(target) + "/" + link;
  }
  errno = ELOOP;
  return false;
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Collects small pieces into large writes; large pieces go straight through.
class BlockWriter {
public:
  explicit BlockWriter(int fd) : m_fd(fd), m_block(new char[WRITE_BLOCK]) {}
  bool Put(const char* data, size_t size) {
    if (size > WRITE_BLOCK - m_used) {
      if (!Flush()) return false;
      if (size >= WRITE_BLOCK) return WriteAll(m_fd, data, size);
    }
    std::memcpy(m_block.get() + m_used, data, size);
    m_used += size;
    return true;
  }
  bool Flush() {
    bool ok = WriteAll(m_fd, m_block.get(), m_used);
    m_used = 0;
    return ok;
  }

private:
  int m_fd;
  std::unique_ptr<char[]> m_block;
  size_t m_used = 0;
};

// A file made with mkostemp: removed again unless Keep() was called.
class TemporaryFile {
public:
  explicit TemporaryFile(const std::string& directory)
      : m_path(directory + "/CREXXXXXX") {
    m_fd = mkostemp(m_path.data(), O_CLOEXEC);
    m_created = m_fd >= 0;
  }
  ~TemporaryFile() {
    if (m_fd >= 0) close(m_fd);
    if (m_created && !m_kept) unlink(m_path.c_str());
  }
  bool IsOpen() const { return m_fd >= 0; }
  int Fd() const { return m_fd; }
  const std::string& Path() const { return m_path; }
  bool Close() { // flushes to disk first
    bool ok = fsync(m_fd) == 0;
    ok = close(m_fd) == 0 && ok;
    m_fd = -1;
    return ok;
  }
  void Keep() { m_kept = true; }

private:
  std::string m_path;
  int m_fd = -1;
  bool m_created = false;
  bool m_kept = false;
};

// Gives the new file the old one's owner and group (as far as allowed) and permission bits,
// or for a new file the bits that open(2) would have given it.
bool CopyAttributes(int fd, const struct stat* old) {
  if (old) {
    // Only the owner may be beyond us (a file of another user in a group we share): then the
    // group is still kept, so that the others in it can go on working on the file. What cannot
    // be kept falls to us, as with any new file.
    if (fchown(fd, old->st_uid, old->st_gid) != 0 &&
        fchown(fd, static_cast<uid_t>(-1), old->st_gid) != 0) {
      // Not even the group: the file becomes ours.
    }
    return fchmod(fd, old->st_mode & 07777) == 0;
  }
  mode_t mask = umask(0);
  umask(mask);
  return fchmod(fd, 0666 & ~mask) == 0;
}

// Makes backup hold the text of target: a hard link when possible, else a copy (written
// through a temporary file and renamed, so a failure leaves no half backup).
bool MakeBackup(const std::string& target, const struct stat& st, const std::string& backup) {
  if (unlink(backup.c_str()) != 0 && errno != ENOENT) return false;
  if (link(target.c_str(), backup.c_str()) == 0) return true;
  int in = open(target.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  TemporaryFile copy(DirectoryOf(backup));
  bool ok = copy.IsOpen();
  if (ok) {
    std::unique_ptr<char[]> block(new char[WRITE_BLOCK]);
    for (;;) {
      ssize_t n = read(in, block.get(), WRITE_BLOCK);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        ok = n == 0;
        break;
      }
      if (!WriteAll(copy.Fd(), block.get(), static_cast<size_t>(n))) {
        ok = false;
        break;
      }
    }
  }
  close(in);
  ok = ok && CopyAttributes(copy.Fd(), &st) && copy.Close() &&
       rename(copy.Path().c_str(), backup.c_str()) == 0;
  if (ok) copy.Keep();
  return ok;
}

void SyncDirectory(const std::string& directory) {
  int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
}

} // namespace

namespace {

bool Fail(FileError* error, int code, std::string text) {
  if (error) *error = FileError{code, std::move(text)};
  return false;
}

// The failure of the step just taken, from errno, with what was being done before it.
bool FailStep(FileError* error, const std::string& doing = {}) {
  const int code = errno;
  return Fail(error, code, (doing.empty() ? "" : doing + ": ") + std::strerror(code));
}

} // namespace

namespace {

// The one way a file is replaced: links followed to a regular file we could write ourselves
// (or to where one is to be made), a temporary file beside it filled by fill, flushed, given
// the old file's attributes and renamed over it.
bool ReplaceFile(const std::string& path, bool createBackup, FileError* error,
                 const std::function<bool(BlockWriter&)>& fill) {
  if (path.empty()) return Fail(error, ENOENT, "no file name");
  std::string target;
  if (!ResolveTarget(path, target)) return FailStep(error);
  struct stat st;
  bool exists = stat(target.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) return FailStep(error);
  // Only a regular file is replaced; and not one we could not have written to ourselves.
  if (exists && S_ISDIR(st.st_mode)) return Fail(error, EISDIR, "is a directory");
  if (exists && !S_ISREG(st.st_mode)) return Fail(error, EINVAL, "is not a regular file");
  if (exists && faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
    return FailStep(error);

  const std::string directory = DirectoryOf(target);
  TemporaryFile temp(directory);
  if (!temp.IsOpen()) return FailStep(error, "cannot create a file in '" + directory + "'");
  BlockWriter out(temp.Fd());
  if (!fill(out)) return FailStep(error);
  if (!out.Flush() || !CopyAttributes(temp.Fd(), exists ? &st : nullptr) || !temp.Close())
    return FailStep(error);

  if (createBackup && exists && !MakeBackup(target, st, path + ".bak"))
    return FailStep(error, "cannot make the backup '" + path + ".bak'");
  if (rename(temp.Path().c_str(), target.c_str()) != 0) return FailStep(error);
  temp.Keep();
  SyncDirectory(directory);
  if (error) *error = FileError{};
  return true;
}

} // namespace

bool WriteTextFile(const std::string& path, const CLineStore& lines, std::string_view lineEnd,
                   bool createBackup, FileError* error) {
  return ReplaceFile(path, createBackup, error, [&](BlockWriter& out) {
    const int count = lines.Count();
    for (int i = 0; i < count; ++i) {
      const LineRecord& rec = lines.At(i);
      if (rec.length > 0 && !out.Put(rec.text, static_cast<size_t>(rec.length))) return false;
      if (i + 1 < count && !out.Put(lineEnd.data(), lineEnd.size())) return false;
    }
    return true;
  });
}

bool WriteFileBytes(const std::string& path, std::string_view bytes, FileError* error) {
  return ReplaceFile(path, false, error,
                     [&](BlockWriter& out) { return out.Put(bytes.data(), bytes.size()); });
}
