#pragma once
#include <QString>
#include <QStringList>
#include <QStringView>

class CProfileStore;

// How a compiler counts a CR LF pair when it numbers source lines.
enum class CrLfCount { Unknown, One, Two };

// What an Inform compiler says about itself when asked (its "-h2" page and the line it
// names in a two-line CR LF source).
struct CompilerFacts {
  enum class Outcome {
    Answered,   // it named its version: the fields below hold
    NotInform,  // it ran but did not say it is Inform
    NotStarted, // it could not be found or started
    TimedOut,   // it did not answer in time and was ended
  };
  Outcome outcome = Outcome::NotStarted;
  QString problem;      // for the user when nothing is known: what went wrong
  QString versionText;  // "6.41"
  int version = 0;      // major * 100 + minor: 641
  QStringList switches; // as its help names them: "a", "a2", "Cn", "Cu", "d2", "v5", "Wn" ...
  CrLfCount crlf = CrLfCount::Unknown;

  bool IsKnown() const { return outcome == Outcome::Answered; }
  // Whether it accepts one switch as written after "-" ("U", "d2", "~S", "Cu", "W6", "es").
  // With nothing known, everything is accepted: only what the compiler itself denies is
  // held back.
  bool AcceptsSwitch(QStringView text) const;
  // "Inform 6.41", or the problem when nothing is known.
  QString Describe() const;
};

// How long one question to the compiler may take before it is ended.
inline constexpr int PROBE_TIMEOUT_MS = 3000;

// Asks the compiler now (two short runs in a temporary folder; every process it starts is
// ended with it). program: a path, or a name looked up on the PATH.
CompilerFacts ProbeCompiler(const QString& program, int timeoutMs = PROBE_TIMEOUT_MS);

// The facts of program, asked once per program file: cached by its full path, modification
// time and size, in memory and (with a store) in the settings store, where the answer of the
// last compiler probed is kept for the next start. Failures to start or answer are kept in
// memory only, so a compiler installed later, or a busy moment, is asked again next time.
CompilerFacts CompilerFactsFor(const QString& program, CProfileStore* store = nullptr,
                               int timeoutMs = PROBE_TIMEOUT_MS);

// Forgets what memory holds (tests; a changed PATH).
void ForgetCompilerFacts();
