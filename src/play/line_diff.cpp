#include "line_diff.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <utility>

namespace {

// Lines become numbers first: equal lines, equal numbers, so the search compares ints.
class CDiffer {
public:
  CDiffer(std::vector<int> a, std::vector<int> b) : m_a(std::move(a)), m_b(std::move(b)) {}

  std::vector<DiffRun> Run() {
    Compare(0, static_cast<int>(m_a.size()), 0, static_cast<int>(m_b.size()));
    return std::move(m_runs);
  }

private:
  void Add(DiffRun::Kind kind, int aStart, int bStart, int count) {
    if (count <= 0) return;
    if (!m_runs.empty() && m_runs.back().kind == kind) {
      m_runs.back().count += count;
      return;
    }
    // Keep a Delete before the Insert beside it, whichever the search found first.
    if (kind == DiffRun::Delete && !m_runs.empty() && m_runs.back().kind == DiffRun::Insert) {
      const DiffRun insert = m_runs.back();
      m_runs.pop_back();
      Add(DiffRun::Delete, aStart, insert.bStart, count);
      m_runs.push_back({DiffRun::Insert, aStart + count, insert.bStart, insert.count});
      return;
    }
    m_runs.push_back({kind, aStart, bStart, count});
  }

  void Compare(int aLo, int aHi, int bLo, int bHi) {
    int prefix = 0;
    while (aLo + prefix < aHi && bLo + prefix < bHi && m_a[aLo + prefix] == m_b[bLo + prefix]) ++prefix;
    Add(DiffRun::Equal, aLo, bLo, prefix);
    aLo += prefix, bLo += prefix;
    int suffix = 0;
    while (aHi - suffix > aLo && bHi - suffix > bLo && m_a[aHi - suffix - 1] == m_b[bHi - suffix - 1]) ++suffix;
    aHi -= suffix, bHi -= suffix;
    if (aLo == aHi || bLo == bHi) {
      Add(DiffRun::Delete, aLo, bLo, aHi - aLo);
      Add(DiffRun::Insert, aHi, bLo, bHi - bLo);
    } else if (const auto split = Bisect(aLo, aHi, bLo, bHi)) {
      Compare(aLo, split->first, bLo, split->second);
      Compare(split->first, aHi, split->second, bHi);
    } else {
      Add(DiffRun::Delete, aLo, bLo, aHi - aLo);
      Add(DiffRun::Insert, aHi, bLo, bHi - bLo);
    }
    Add(DiffRun::Equal, aHi, bHi, suffix);
  }

  // The point where the forward and the backward search meet on a shortest path; nothing
  // when the sides share no line. Both ends are trimmed of equal lines by the caller, which
  // keeps the point strictly inside, so both halves are smaller.
  std::optional<std::pair<int, int>> Bisect(int aLo, int aHi, int bLo, int bHi) {
    const int n = aHi - aLo, m = bHi - bLo;
    const int maxD = (n + m + 1) / 2;
    const int offset = maxD;
    const int length = 2 * maxD + 2;
    m_forward.assign(length, -1);
    m_backward.assign(length, -1);
    m_forward[offset + 1] = 0;
    m_backward[offset + 1] = 0;
    const int delta = n - m;
    const bool front = (delta % 2) != 0;
    int k1Start = 0, k1End = 0, k2Start = 0, k2End = 0;
    for (int d = 0; d < maxD; ++d) {
      for (int k1 = -d + k1Start; k1 <= d - k1End; k1 += 2) {
        const int k1Offset = offset + k1;
        int x1 = (k1 == -d || (k1 != d && m_forward[k1Offset - 1] < m_forward[k1Offset + 1]))
                     ? m_forward[k1Offset + 1] : m_forward[k1Offset - 1] + 1;
        int y1 = x1 - k1;
        while (x1 < n && y1 < m && m_a[aLo + x1] == m_b[bLo + y1]) ++x1, ++y1;
        m_forward[k1Offset] = x1;
        if (x1 > n) {
          k1End += 2;
        } else if (y1 > m) {
          k1Start += 2;
        } else if (front) {
          const int k2Offset = offset + delta - k1;
          if (k2Offset >= 0 && k2Offset < length && m_backward[k2Offset] != -1 &&
              x1 >= n - m_backward[k2Offset])
            return std::make_pair(aLo + x1, bLo + y1);
        }
      }
      for (int k2 = -d + k2Start; k2 <= d - k2End; k2 += 2) {
        const int k2Offset = offset + k2;
        int x2 = (k2 == -d || (k2 != d && m_backward[k2Offset - 1] < m_backward[k2Offset + 1]))
                     ? m_backward[k2Offset + 1] : m_backward[k2Offset - 1] + 1;
        int y2 = x2 - k2;
        while (x2 < n && y2 < m && m_a[aHi - x2 - 1] == m_b[bHi - y2 - 1]) ++x2, ++y2;
        m_backward[k2Offset] = x2;
        if (x2 > n) {
          k2End += 2;
        } else if (y2 > m) {
          k2Start += 2;
        } else if (!front) {
          const int k1Offset = offset + delta - k2;
          if (k1Offset >= 0 && k1Offset < length && m_forward[k1Offset] != -1) {
            const int x1 = m_forward[k1Offset];
            const int y1 = offset + x1 - k1Offset;
            if (x1 >= n - x2) return std::make_pair(aLo + x1, bLo + y1);
          }
        }
      }
    }
    return std::nullopt;
  }

  std::vector<int> m_a, m_b;
  std::vector<int> m_forward, m_backward;
  std::vector<DiffRun> m_runs;
};

} // namespace

std::vector<DiffRun> DiffLines(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  std::unordered_map<std::string_view, int> numbers;
  numbers.reserve(a.size() + b.size());
  auto number = [&numbers](const std::vector<std::string>& lines) {
    std::vector<int> result;
    result.reserve(lines.size());
    for (const std::string& line : lines)
      result.push_back(numbers.emplace(line, static_cast<int>(numbers.size())).first->second);
    return result;
  };
  std::vector<int> aNumbers = number(a);
  std::vector<int> bNumbers = number(b);
  return CDiffer(std::move(aNumbers), std::move(bNumbers)).Run();
}

std::vector<DiffHunk> GroupHunks(const std::vector<DiffRun>& runs, int context) {
  std::vector<DiffHunk> hunks;
  int aEnd = 0; // where the last change ended in a
  for (size_t i = 0; i < runs.size(); ++i) {
    const DiffRun& run = runs[i];
    if (run.kind == DiffRun::Equal) continue;
    const int aChangeEnd = run.aStart + (run.kind == DiffRun::Delete ? run.count : 0);
    const int bChangeEnd = run.bStart + (run.kind == DiffRun::Insert ? run.count : 0);
    if (!hunks.empty() && run.aStart - aEnd <= 2 * context) {
      hunks.back().aCount = aChangeEnd - hunks.back().aStart;
      hunks.back().bCount = bChangeEnd - hunks.back().bStart;
    } else {
      const int before = std::min({context, run.aStart, run.bStart});
      hunks.push_back({run.aStart - before, aChangeEnd - run.aStart + before, run.bStart - before,
                       bChangeEnd - run.bStart + before});
    }
    aEnd = aChangeEnd;
  }
  // Trailing context, as far as both sides have lines.
  int aSize = 0, bSize = 0;
  if (!runs.empty()) {
    const DiffRun& last = runs.back();
    aSize = last.aStart + (last.kind != DiffRun::Insert ? last.count : 0);
    bSize = last.bStart + (last.kind != DiffRun::Delete ? last.count : 0);
  }
  for (DiffHunk& hunk : hunks) {
    const int after = std::min({context, aSize - (hunk.aStart + hunk.aCount),
                                bSize - (hunk.bStart + hunk.bCount)});
    hunk.aCount += after, hunk.bCount += after;
  }
  return hunks;
}

namespace {

std::string HunkRange(int start, int count) {
  return std::to_string(count == 0 ? start : start + 1) + ',' + std::to_string(count);
}

} // namespace

std::string UnifiedDiff(const std::vector<std::string>& a, const std::vector<std::string>& b,
                        const std::vector<DiffRun>& runs, const std::string& aName,
                        const std::string& bName, int context) {
  const std::vector<DiffHunk> hunks = GroupHunks(runs, context);
  if (hunks.empty()) return std::string();
  std::string text = "--- " + aName + "\n+++ " + bName + "\n";
  for (const DiffHunk& hunk : hunks) {
    text += "@@ -" + HunkRange(hunk.aStart, hunk.aCount) + " +" + HunkRange(hunk.bStart, hunk.bCount) + " @@\n";
    const int aEnd = hunk.aStart + hunk.aCount, bEnd = hunk.bStart + hunk.bCount;
    for (const DiffRun& run : runs) {
      if (run.kind == DiffRun::Equal) {
        for (int i = std::max(run.aStart, hunk.aStart); i < std::min(run.aStart + run.count, aEnd); ++i)
          (text += ' ' + a[i]) += '\n';
      } else if (run.kind == DiffRun::Delete) {
        if (run.aStart < hunk.aStart || run.aStart >= aEnd) continue;
        for (int i = run.aStart; i < run.aStart + run.count; ++i) (text += '-' + a[i]) += '\n';
      } else if (run.bStart >= hunk.bStart && run.bStart < bEnd) {
        for (int j = run.bStart; j < run.bStart + run.count; ++j) (text += '+' + b[j]) += '\n';
      }
    }
  }
  return text;
}
