// The shared cookies: kept across edits as chains that a recomputed cookie can join again.
#include "cookie_cache.h"

#include <algorithm>

#include "debug_assert.h"

void CCookieCache::Clear() {
  m_cookies.clear();
  m_cookies.shrink_to_fit();
  m_allocated = false;
  m_known = 0;
  m_chains.clear();
  m_checkedLine = m_checkedAnswer = -1;
}

std::size_t CCookieCache::MemoryBytes() const {
  return m_cookies.capacity() * sizeof(uint32_t) + m_chains.capacity() * sizeof(Chain);
}

bool CCookieCache::EnsureCookies(const CCookieSource& source) {
  const int count = source.CookieLineCount();
  // The buffer moves the cookies along with every change, so a size that differs from the
  // text's is a change that passed unseen: start afresh rather than trust them.
  TORVANE_ASSERT(!m_allocated || static_cast<int>(m_cookies.size()) == count);
  if (!m_allocated || static_cast<int>(m_cookies.size()) != count) {
    m_cookies.assign(static_cast<std::size_t>(std::max(count, 0)), 0);
    m_allocated = true;
    m_known = 0;
    m_chains.clear();
  }
  return count > 0;
}

uint32_t CCookieCache::Cookie(CCookieSource& source, int line) {
  if (line < 0 || !EnsureCookies(source) || line >= static_cast<int>(m_cookies.size())) return 0;
  while (m_known <= line) {
    const int k = m_known;
    const uint32_t above = k == 0 ? 0u : m_cookies[static_cast<std::size_t>(k - 1)];
    DropChainsEndingBy(k);
    // Up to the next kept chain the cookies come in one call; within a chain one by one,
    // until one meets the kept cookie.
    const int end = m_chains.empty() ? line + 1 : std::min(line + 1, m_chains.front().begin);
    if (end > k) {
      source.CookieColourLines(above, k, end - k, m_cookies.data() + k);
      m_known = end;
    } else {
      AcceptCookie(source.CookieColourLine(above, k));
    }
  }
  return m_cookies[static_cast<std::size_t>(line)];
}

void CCookieCache::DropChainsEndingBy(int line) {
  while (!m_chains.empty() && m_chains.front().end <= line) m_chains.erase(m_chains.begin());
}

void CCookieCache::AcceptCookie(uint32_t cookie) {
  const int k = m_known;
  TORVANE_ASSERT(k >= 0 && k < static_cast<int>(m_cookies.size()));
  DropChainsEndingBy(k);
  if (!m_chains.empty() && m_chains.front().begin <= k) {
    Chain& chain = m_chains.front();
    if (m_cookies[static_cast<std::size_t>(k)] == cookie) {
      // The same cookie from here: the rest of the chain follows from it as before.
      m_known = chain.end;
      m_chains.erase(m_chains.begin());
      return;
    }
    chain.begin = k + 1;
    if (chain.begin >= chain.end) m_chains.erase(m_chains.begin());
  }
  m_cookies[static_cast<std::size_t>(k)] = cookie;
  m_known = k + 1;
}

void CCookieCache::OfferCookie(CCookieSource& source, int line, uint32_t cookie) {
  if (line != m_known || !EnsureCookies(source) || line >= static_cast<int>(m_cookies.size()))
    return;
  AcceptCookie(cookie);
}

bool CCookieCache::LineKeepsItsCookie(CCookieSource& source, int line) {
  if (line == m_checkedLine && m_checkedAnswer >= 0) return m_checkedAnswer == 1;
  if (!m_allocated || line != m_known || m_chains.empty() || m_chains.front().begin != line ||
      static_cast<int>(m_cookies.size()) != source.CookieLineCount())
    return false;
  const uint32_t before = m_cookies[static_cast<std::size_t>(line)];
  const uint32_t above = line == 0 ? 0u : m_cookies[static_cast<std::size_t>(line - 1)];
  const uint32_t now = source.CookieColourLine(above, line);
  AcceptCookie(now);
  if (line == m_checkedLine) m_checkedAnswer = now == before ? 1 : 0;
  return now == before;
}

void CCookieCache::TrimChains() {
  std::vector<Chain> kept;
  for (Chain chain : m_chains) {
    chain.begin = std::max(chain.begin, m_known);
    if (chain.begin < chain.end && kept.size() < MAX_CHAINS) kept.push_back(chain);
  }
  m_chains.swap(kept);
}

bool CCookieCache::TextChanged(int line, int added, int removed, int lineCount) {
  m_checkedLine = line;
  m_checkedAnswer = -1;
  if (!m_allocated) return true;
  const int oldCount = static_cast<int>(m_cookies.size());
  if (line < 0 || added < 0 || removed < 0 || line + removed >= oldCount ||
      oldCount + added - removed != lineCount) {
    Clear();
    return false;
  }
  // The right prefix is itself a chain; each chain keeps what lies above the change, and its
  // part from the changed line on when the changed line's old cookie is in it: that cookie
  // becomes the candidate for the line that now ends with that old line's tail.
  std::vector<Chain> chains;
  if (m_known > 0) chains.push_back({0, m_known});
  chains.insert(chains.end(), m_chains.begin(), m_chains.end());
  const int anchor = line + removed; // old line whose tail ends the changed text
  const int shift = added - removed;
  std::vector<Chain> moved;
  for (const Chain& chain : chains) {
    if (chain.begin < line) moved.push_back({chain.begin, std::min(chain.end, line)});
    if (chain.begin <= anchor && anchor < chain.end)
      moved.push_back({line + added, chain.end + shift});
    else if (chain.begin > anchor)
      moved.push_back({chain.begin + shift, chain.end + shift});
  }
  const auto at = m_cookies.begin() + line;
  if (removed > 0) {
    *at = at[removed];
    m_cookies.erase(at + 1, at + 1 + removed);
  } else if (added > 0) {
    const uint32_t tail = *at;
    m_cookies.insert(at + 1, static_cast<std::size_t>(added), 0u);
    m_cookies[static_cast<std::size_t>(line + added)] = tail;
  }
  m_known = std::min(m_known, line);
  m_chains.swap(moved);
  TrimChains();
  return true;
}
