#pragma once
#include <sys/types.h>

#include <QByteArray>

class QProcess;

// Everything a build child starts is ended with it. Three marks make that possible:
//  - the child leads a process group of its own, so one kill reaches the helpers that stay in
//    it, and a terminal's Ctrl+C reaches only us (we then decide);
//  - the child and everything it starts carry a token in their environment, so a helper that
//    leaves the group (setsid, a daemon's double fork) is still found, by walking /proc;
//  - the child gets SIGKILL when we die, even by SIGKILL, which nothing can catch. Its own
//    helpers are then out of reach: they are only ended when we live to end them.
// A helper that both leaves the group and clears its environment escapes the first two; a
// program that makes itself a subreaper (torvane-cli build) also ends what it adopts.
class CChildProcessTree {
public:
  // Marks process (not yet started) as the head of a new tree with a fresh token.
  CChildProcessTree();
  void Prepare(QProcess& process);
  // After the start: remember the group, so that a signal handler can end it too.
  void Started(pid_t group);
  // Ends the group and every process that carries the token, until none is left (a helper
  // may fork while we look). Safe to call more than once; the child itself is not waited for.
  void EndAll();
  ~CChildProcessTree();

  CChildProcessTree(const CChildProcessTree&) = delete;
  CChildProcessTree& operator=(const CChildProcessTree&) = delete;

  const QByteArray& Token() const { return m_token; }

  // SIGKILL to the group of every tree that is running now. Async-signal-safe: for a
  // handler of a signal that ends the program.
  static void KillRunningGroups() noexcept;

private:
  QByteArray m_token;
  pid_t m_group = 0;
};

// The name of the environment variable that carries the token.
inline constexpr const char* CHILD_TREE_VARIABLE = "TORVANE_BUILD";

// For a program that has made itself a child subreaper (prctl PR_SET_CHILD_SUBREAPER): kills
// and reaps every child it has now, and the children those leave to it, until none is left.
// Only for a program whose every child belongs to its builds. Returns how many were ended.
int EndAdoptedChildren();
