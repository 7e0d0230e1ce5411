#pragma once
// The parse cookies of one text: the colouring state in force at the end of each line. They
// depend only on the text and on the colouring, so the buffer keeps them once for every view
// that colours it the same way and moves them along with each change itself; a view keeps
// only what depends on its own width and font. Plain C++ (no Qt).
#include <cstddef>
#include <cstdint>
#include <vector>

// What the cookies are computed from: the text's lines and a colouring.
class CCookieSource {
public:
  virtual ~CCookieSource() = default;
  virtual int CookieLineCount() const = 0; // 0 without a text
  // The cookie at the end of line, coloured from cookie (that of the line above, 0 for line 0).
  virtual uint32_t CookieColourLine(uint32_t cookie, int line) = 0;
  // The end cookies of count lines from first, each coloured from the one above (the first
  // from cookie), as CookieColourLine gives them one by one.
  virtual void CookieColourLines(uint32_t cookie, int first, int count, uint32_t* cookies) {
    for (int i = 0; i < count; ++i) cookies[i] = cookie = CookieColourLine(cookie, first + i);
  }
};

class CCookieCache {
public:
  // Forgets every cookie (another text).
  void Clear();

  // The cookie in force at the end of line (0 for a negative line or one past the text),
  // computed downwards from the nearest line known above.
  uint32_t Cookie(CCookieSource& source, int line);
  bool IsCookieKnown(int line) const { return line >= 0 && line < m_known; }
  // A painter that coloured line with the cookie of the line above hands its end cookie
  // back, which saves colouring the line again for Cookie.
  void OfferCookie(CCookieSource& source, int line, uint32_t cookie);
  // After a change inside line: colours it once more and tells whether its end cookie is the
  // one it had before the change, in which case every line below keeps its colours. Every
  // view asks after the same change; the line is coloured for the first only.
  bool LineKeepsItsCookie(CCookieSource& source, int line);

  // The text changed at line: `added` lines were inserted after it (a line split), or the
  // `removed` lines after it were joined to it, or (both 0) only line itself changed;
  // lineCount is the text's line count after it. Everything above line is kept; cookies
  // below are kept as candidates (see m_chains). Returns false, with the cookies dropped,
  // when the change does not fit their size.
  bool TextChanged(int line, int added, int removed, int lineCount);

  // ---- For tests and benchmarks ----
  int CookiesKnown() const { return m_known; }
  int ChainCount() const { return static_cast<int>(m_chains.size()); }
  std::size_t MemoryBytes() const;

private:
  // Cookies [begin, end) that were computed from the lines above them and still follow one
  // from the other (the cookie of each line after begin is what colouring that line from the
  // cookie above gives), but whose start may be wrong because a line above changed. Once a
  // recomputed cookie equals the stored one at some line of a chain, the rest of the chain
  // is right again without colouring it.
  struct Chain {
    int begin;
    int end;
  };
  static constexpr std::size_t MAX_CHAINS = 32;

  bool EnsureCookies(const CCookieSource& source);
  void AcceptCookie(uint32_t cookie); // the cookie of line m_known, just computed
  void DropChainsEndingBy(int line);  // the kept chains wholly above line
  void TrimChains();

  // Entries [0, m_known) are right; m_chains (ordered, disjoint, all at or after m_known)
  // hold the entries kept as candidates; any other entry means nothing.
  std::vector<uint32_t> m_cookies;
  bool m_allocated = false;
  int m_known = 0;
  std::vector<Chain> m_chains;
  // The answer of LineKeepsItsCookie since the last change: the line, and -1 (not asked
  // yet), 0 or 1.
  int m_checkedLine = -1;
  int m_checkedAnswer = -1;
};
