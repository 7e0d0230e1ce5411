#pragma once
#include <string>
#include <vector>

// A run of lines that the two texts share (Equal), or that only the first (Delete) or only
// the second (Insert) holds.
struct DiffRun {
  enum Kind { Equal, Delete, Insert };
  Kind kind;
  int aStart; // first line in a (for Insert: where the lines go in a)
  int bStart; // first line in b (for Delete: where the lines were in b)
  int count;
};

// The shortest line difference of a and b (Myers' O(ND) algorithm, in linear space: the
// middle snake splits the problem in two). Runs come in order, neighbours of one kind merged,
// and a Delete comes before the Insert beside it.
std::vector<DiffRun> DiffLines(const std::vector<std::string>& a, const std::vector<std::string>& b);

// A group of changes with their context: what the difference view shows as one block and
// what a unified diff shows as one hunk.
struct DiffHunk {
  int aStart, aCount, bStart, bCount; // lines [start, start + count) of each side
};
// Changes at most 2 * context lines apart join one hunk.
std::vector<DiffHunk> GroupHunks(const std::vector<DiffRun>& runs, int context);

// A unified diff ("--- aName", "+++ bName", "@@ -1,3 +1,4 @@" hunks with context lines);
// empty when the texts are the same.
std::string UnifiedDiff(const std::vector<std::string>& a, const std::vector<std::string>& b,
                        const std::vector<DiffRun>& runs, const std::string& aName,
                        const std::string& bName, int context = 3);
