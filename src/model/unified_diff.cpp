#include "model/unified_diff.h"

#include <unordered_map>
#include <vector>

namespace tarnwick {

namespace {

// The lines of a text, each with its LF when it has one, so that a last line without
// LF differs from the same line with it.
std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string_view::npos ? text.size() : end + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

enum Op : char { Equal = 'e', Delete = 'd', Insert = 'i' };

// The shortest edit script between two sequences of line numbers (Myers' O(ND)
// algorithm, splitting at the middle snake). Work beyond a budget makes the rest of
// a subproblem a plain delete and insert: still a correct diff, only a longer one.
class Differ {
 public:
  Differ(const std::vector<int>& a, const std::vector<int>& b) : a_(a), b_(b) {}

  std::vector<char> run() {
    struct Task {
      bool equal;
      std::size_t aLo, aHi, bLo, bHi;
    };
    std::vector<Task> tasks{{false, 0, a_.size(), 0, b_.size()}};
    while (!tasks.empty()) {
      Task t = tasks.back();
      tasks.pop_back();
      if (t.equal) {
        ops_.insert(ops_.end(), t.aHi - t.aLo, Equal);
        continue;
      }
      while (t.aLo < t.aHi && t.bLo < t.bHi && a_[t.aLo] == b_[t.bLo]) {
        ops_.push_back(Equal);
        ++t.aLo;
        ++t.bLo;
      }
      std::size_t suffix = 0;
      while (t.aHi - suffix > t.aLo && t.bHi - suffix > t.bLo && a_[t.aHi - suffix - 1] == b_[t.bHi - suffix - 1])
        ++suffix;
      t.aHi -= suffix;
      t.bHi -= suffix;
      if (suffix) tasks.push_back({true, t.aHi, t.aHi + suffix, 0, 0});
      std::size_t x = 0, y = 0;
      if (t.aLo == t.aHi || t.bLo == t.bHi || !bisect(t.aLo, t.aHi, t.bLo, t.bHi, x, y)) {
        ops_.insert(ops_.end(), t.aHi - t.aLo, Delete);
        ops_.insert(ops_.end(), t.bHi - t.bLo, Insert);
        continue;
      }
      tasks.push_back({false, x, t.aHi, y, t.bHi});
      tasks.push_back({false, t.aLo, x, t.bLo, y});
    }
    return std::move(ops_);
  }

 private:
  // Finds a point (x, y) on an optimal path strictly inside the box, both ends
  // already differing. False when the budget is spent.
  bool bisect(std::size_t aLo, std::size_t aHi, std::size_t bLo, std::size_t bHi, std::size_t& x, std::size_t& y) {
    const long n = static_cast<long>(aHi - aLo), m = static_cast<long>(bHi - bLo);
    const long maxD = (n + m + 1) / 2, offset = maxD, length = 2 * maxD + 2;
    std::vector<long> v1(static_cast<std::size_t>(length), -1), v2(static_cast<std::size_t>(length), -1);
    v1[static_cast<std::size_t>(offset + 1)] = 0;
    v2[static_cast<std::size_t>(offset + 1)] = 0;
    const long delta = n - m;
    const bool front = delta % 2 != 0;
    long k1start = 0, k1end = 0, k2start = 0, k2end = 0;
    auto A = [&](long i) { return a_[aLo + static_cast<std::size_t>(i)]; };
    auto B = [&](long j) { return b_[bLo + static_cast<std::size_t>(j)]; };
    auto at = [](std::vector<long>& v, long i) -> long& { return v[static_cast<std::size_t>(i)]; };
    for (long d = 0; d < maxD; ++d) {
      if ((budget_ -= 2 * d + 2) < 0) return false;
      for (long k1 = -d + k1start; k1 <= d - k1end; k1 += 2) {
        const long k1o = offset + k1;
        long x1 = (k1 == -d || (k1 != d && at(v1, k1o - 1) < at(v1, k1o + 1))) ? at(v1, k1o + 1) : at(v1, k1o - 1) + 1;
        long y1 = x1 - k1;
        while (x1 < n && y1 < m && A(x1) == B(y1)) {
          ++x1;
          ++y1;
          --budget_;
        }
        at(v1, k1o) = x1;
        if (x1 > n) {
          k1end += 2;
        } else if (y1 > m) {
          k1start += 2;
        } else if (front) {
          const long k2o = offset + delta - k1;
          if (k2o >= 0 && k2o < length && at(v2, k2o) != -1 && x1 >= n - at(v2, k2o)) {
            x = aLo + static_cast<std::size_t>(x1);
            y = bLo + static_cast<std::size_t>(y1);
            return true;
          }
        }
      }
      for (long k2 = -d + k2start; k2 <= d - k2end; k2 += 2) {
        const long k2o = offset + k2;
        long x2 = (k2 == -d || (k2 != d && at(v2, k2o - 1) < at(v2, k2o + 1))) ? at(v2, k2o + 1) : at(v2, k2o - 1) + 1;
        long y2 = x2 - k2;
        while (x2 < n && y2 < m && A(n - x2 - 1) == B(m - y2 - 1)) {
          ++x2;
          ++y2;
          --budget_;
        }
        at(v2, k2o) = x2;
        if (x2 > n) {
          k2end += 2;
        } else if (y2 > m) {
          k2start += 2;
        } else if (!front) {
          const long k1o = offset + delta - k2;
          if (k1o >= 0 && k1o < length && at(v1, k1o) != -1) {
            const long x1 = at(v1, k1o);
            const long y1 = offset + x1 - k1o;
            if (x1 >= n - x2) {
              x = aLo + static_cast<std::size_t>(x1);
              y = bLo + static_cast<std::size_t>(y1);
              return true;
            }
          }
        }
      }
    }
    return false;
  }

  const std::vector<int>& a_;
  const std::vector<int>& b_;
  std::vector<char> ops_;
  long budget_ = 200'000'000;
};

void appendLine(std::string& out, char mark, std::string_view line) {
  out += mark;
  out.append(line.data(), line.size());
  if (line.empty() || line.back() != '\n') out += "\n\\ No newline at end of file\n";
}

// "start,count" of a hunk's side as diff -u writes it: the count left out when it is
// 1, and an empty side named by the line before it.
std::string range(std::size_t before, std::size_t count) {
  std::string s = std::to_string(count == 0 ? before : before + 1);
  if (count != 1) s.append(",").append(std::to_string(count));
  return s;
}

}  // namespace

std::string unifiedDiff(std::string_view oldText, std::string_view newText, const std::string& oldLabel,
                        const std::string& newLabel) {
  if (oldText == newText) return std::string();
  const std::vector<std::string_view> a = linesOf(oldText), b = linesOf(newText);
  std::unordered_map<std::string_view, int> ids;
  std::vector<int> ai, bi;
  for (std::string_view l : a) ai.push_back(ids.emplace(l, static_cast<int>(ids.size())).first->second);
  for (std::string_view l : b) bi.push_back(ids.emplace(l, static_cast<int>(ids.size())).first->second);
  const std::vector<char> ops = Differ(ai, bi).run();

  const std::size_t context = 3;
  std::string out = "--- " + oldLabel + "\n+++ " + newLabel + "\n";
  // Where each op stands in the two files.
  std::vector<std::size_t> oldAt(ops.size() + 1), newAt(ops.size() + 1);
  for (std::size_t i = 0; i < ops.size(); ++i) {
    oldAt[i + 1] = oldAt[i] + (ops[i] != Insert);
    newAt[i + 1] = newAt[i] + (ops[i] != Delete);
  }
  std::size_t i = 0;
  while (i < ops.size()) {
    while (i < ops.size() && ops[i] == Equal) ++i;
    if (i == ops.size()) break;
    // A hunk: from context lines before the first change to context lines after the
    // last change that lies within twice the context of the one before.
    const std::size_t start = i >= context ? i - context : 0;
    std::size_t last = i;
    for (std::size_t j = i; j < ops.size(); ++j) {
      if (ops[j] == Equal) {
        if (j - last > 2 * context) break;
        continue;
      }
      last = j;
    }
    const std::size_t end = std::min(ops.size(), last + 1 + context);
    out += "@@ -" + range(oldAt[start], oldAt[end] - oldAt[start]) + " +" + range(newAt[start], newAt[end] - newAt[start]) +
           " @@\n";
    for (std::size_t j = start; j < end;) {
      if (ops[j] == Equal) {
        appendLine(out, ' ', a[oldAt[j]]);
        ++j;
        continue;
      }
      // A block of changes: its removed lines first, then its added ones.
      std::size_t k = j;
      while (k < end && ops[k] != Equal) ++k;
      for (std::size_t q = j; q < k; ++q)
        if (ops[q] == Delete) appendLine(out, '-', a[oldAt[q]]);
      for (std::size_t q = j; q < k; ++q)
        if (ops[q] == Insert) appendLine(out, '+', b[newAt[q]]);
      j = k;
    }
    i = end;
  }
  return out;
}

std::vector<DiffLine> diffLineKinds(std::string_view diff) {
  std::vector<DiffLine> kinds;
  long oldLeft = 0, newLeft = 0;
  for (std::string_view line : linesOf(diff)) {
    if (oldLeft > 0 || newLeft > 0) {
      if (line[0] == '-') kinds.push_back(DiffLine::Removed), --oldLeft;
      else if (line[0] == '+') kinds.push_back(DiffLine::Added), --newLeft;
      else if (line[0] == ' ') kinds.push_back(DiffLine::Context), --oldLeft, --newLeft;
      else kinds.push_back(DiffLine::Note);
      continue;
    }
    // "\ No newline at end of file" may follow a hunk's last line.
    kinds.push_back(line[0] == '\\' ? DiffLine::Note : DiffLine::Header);
    if (line.rfind("@@ -", 0) != 0) continue;
    // "@@ -l[,s] +l[,s] @@": a side without ",s" has one line.
    auto side = [&](char sign) {
      std::size_t p = line.find(sign, 3);
      std::size_t comma = line.find(',', p), blank = line.find(' ', p);
      return comma < blank ? std::stol(std::string(line.substr(comma + 1, blank - comma - 1))) : 1L;
    };
    oldLeft = side('-');
    newLeft = side('+');
  }
  return kinds;
}

DiffCounts countDiffLines(std::string_view diff) {
  DiffCounts counts;
  for (DiffLine kind : diffLineKinds(diff)) {
    if (kind == DiffLine::Added) ++counts.added;
    else if (kind == DiffLine::Removed) ++counts.removed;
  }
  return counts;
}

}  // namespace tarnwick
