#include "child_process_tree.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>

namespace {

// Groups of the trees running now, for the signal handler: fixed slots of lock-free atomics,
// since a handler may neither allocate nor lock. Builds nest only a few deep.
constexpr int MAX_RUNNING_GROUPS = 32;
std::atomic<pid_t> g_runningGroups[MAX_RUNNING_GROUPS];
static_assert(std::atomic<pid_t>::is_always_lock_free);

void RememberGroup(pid_t group) {
  for (auto& slot : g_runningGroups) {
    pid_t empty = 0;
    if (slot.compare_exchange_strong(empty, group)) return;
  }
}

void ForgetGroup(pid_t group) {
  for (auto& slot : g_runningGroups) {
    pid_t expected = group;
    if (slot.compare_exchange_strong(expected, 0)) return;
  }
}

// The whole content of a small /proc file; empty when it cannot be read (gone, not ours).
std::string ReadProcFile(const std::string& path) {
  std::string text;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return text;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return text;
}

// Every process id in /proc, except our own.
std::vector<pid_t> OtherProcesses() {
  std::vector<pid_t> pids;
  DIR* proc = ::opendir("/proc");
  if (!proc) return pids;
  const pid_t self = ::getpid();
  while (const dirent* entry = ::readdir(proc)) {
    char* end = nullptr;
    const long pid = std::strtol(entry->d_name, &end, 10);
    if (pid > 0 && *end == '\0' && pid != self) pids.push_back(static_cast<pid_t>(pid));
  }
  ::closedir(proc);
  return pids;
}

// Whether process pid belongs to our user and has the entry in its environment.
bool CarriesEntry(pid_t pid, const std::string& entry) {
  const std::string dir = "/proc/" + std::to_string(pid);
  struct stat info {};
  if (::stat(dir.c_str(), &info) != 0 || info.st_uid != ::getuid()) return false;
  const std::string environment = ReadProcFile(dir + "/environ");
  for (size_t start = 0; start < environment.size();) {
    size_t end = environment.find('\0', start);
    if (end == std::string::npos) end = environment.size();
    if (environment.compare(start, end - start, entry) == 0) return true;
    start = end + 1;
  }
  return false;
}

// The parent of pid from /proc/pid/stat; 0 when unknown. The name in brackets may hold
// blanks and brackets, so the fields are counted from the last ")".
pid_t ParentOf(pid_t pid) {
  const std::string stat = ReadProcFile("/proc/" + std::to_string(pid) + "/stat");
  const size_t close = stat.rfind(')');
  if (close == std::string::npos || close + 4 > stat.size()) return 0;
  return static_cast<pid_t>(std::strtol(stat.c_str() + close + 4, nullptr, 10));
}

} // namespace

CChildProcessTree::CChildProcessTree() {
  static std::atomic<unsigned> counter{0};
  m_token = QByteArray::number(::getpid()) + '.' + QByteArray::number(++counter) + '.' +
            QByteArray::number(QRandomGenerator::global()->generate64(), 16);
}

CChildProcessTree::~CChildProcessTree() {
  if (m_group > 0) ForgetGroup(m_group);
}

void CChildProcessTree::Prepare(QProcess& process) {
  QProcessEnvironment environment = process.processEnvironment();
  if (environment.isEmpty()) environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QLatin1String(CHILD_TREE_VARIABLE), QString::fromLatin1(m_token));
  process.setProcessEnvironment(environment);
  const pid_t parent = ::getpid();
  process.setChildProcessModifier([parent] {
    // Only async-signal-safe calls here: this runs between fork and exec.
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127); // we died before the line above took effect
  });
}

void CChildProcessTree::Started(pid_t group) {
  if (group <= 0 || m_group > 0) return;
  m_group = group;
  RememberGroup(group);
}

void CChildProcessTree::EndAll() {
  const std::string entry = std::string(CHILD_TREE_VARIABLE) + '=' + m_token.toStdString();
  // A helper may start another between our looks; a few rounds see the last of them.
  for (int round = 0; round < 20; ++round) {
    if (m_group > 0) ::kill(-m_group, SIGKILL); // ESRCH: nothing of the group is left
    int found = 0;
    for (const pid_t pid : OtherProcesses()) {
      if (CarriesEntry(pid, entry) && ::kill(pid, SIGKILL) == 0) ++found;
    }
    if (found == 0) break;
  }
}

void CChildProcessTree::KillRunningGroups() noexcept {
  for (auto& slot : g_runningGroups) {
    const pid_t group = slot.load();
    if (group > 0) ::kill(-group, SIGKILL);
  }
}

int EndAdoptedChildren() {
  int ended = 0;
  const pid_t self = ::getpid();
  for (int round = 0; round < 20; ++round) {
    std::vector<pid_t> children;
    for (const pid_t pid : OtherProcesses())
      if (ParentOf(pid) == self) children.push_back(pid);
    if (children.empty()) break;
    for (const pid_t pid : children) {
      ::kill(pid, SIGKILL);
      // Its own children come to us as it dies; the next round finds them.
      while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
      }
      ++ended;
    }
  }
  return ended;
}
