#include "engine/play/line_patterns.h"

#include <array>
#include <cstring>

namespace brenk::play {

namespace {

// Every window of five inside the nine cells holds the centre, so a five here always passes
// through the cell being judged.
bool hasFive(const char (&line)[9]) {
  int run = 0;
  for (char c : line) {
    run = c == 'o' ? run + 1 : 0;
    if (run >= 5) return true;
  }
  return false;
}

// The class one step below the best class one more own stone can reach; a closed class
// steps down to a closed class, an open one to an open one.
LineClass stepDown(LineClass best) {
  switch (best) {
    case kF4: return kF3;
    case kB4: return kB3;
    case kF3: return kF2;
    case kB3: return kB2;
    case kF2: return kF1;
    case kB2: return kB1;
    default: return kDead;
  }
}

}  // namespace

namespace {

int lineCode(const char (&line)[9]) {
  int code = 0;
  for (char c : line) code = code * 3 + (c == '.' ? 0 : c == 'o' ? 1 : 2);
  return code;
}

// The rule itself, memoised by the line's base-3 text: a line is judged by what one more own
// stone makes of it, so the same lines come up again and again.
LineClass classifyMemo(char (&work)[9], std::array<int8_t, 19683>& memo) {
  const int code = lineCode(work);
  if (memo[code] >= 0) return static_cast<LineClass>(memo[code]);
  LineClass result;
  if (hasFive(work)) {
    result = kF5;
  } else {
    int fives = 0;
    LineClass best = kDead;
    for (int i = 0; i < 9; ++i) {
      if (work[i] != '.') continue;
      work[i] = 'o';
      if (hasFive(work)) {
        ++fives;
      } else {
        // Only the ladder F4 > B4 > F3 > B3 > F2 > B2 > F1 > B1 counts: the best result one
        // move away decides the class.
        const LineClass next = classifyMemo(work, memo);
        if (next > best) best = next;
      }
      work[i] = '.';
    }
    result = fives >= 2 ? kF4 : fives == 1 ? kB4 : stepDown(best);
  }
  memo[code] = static_cast<int8_t>(result);
  return result;
}

// The empty cells where one more own stone makes `target`.
int waysTo(LineClass target, char (&work)[9], std::array<int8_t, 19683>& memo) {
  int ways = 0;
  for (char& cell : work) {
    if (cell != '.') continue;
    cell = 'o';
    if (classifyMemo(work, memo) == target) ++ways;
    cell = '.';
  }
  return ways;
}

// The class with its count of ways to the next class up.
LineClass classifyWithWays(char (&work)[9], std::array<int8_t, 19683>& memo) {
  const LineClass base = classifyMemo(work, memo);
  if (base == kF3) return waysTo(kF4, work, memo) >= 2 ? kF3S : kF3;
  if (base == kF2) {
    const int ways = waysTo(kF3, work, memo);
    return ways >= 4 ? kF2B : ways == 3 ? kF2A : kF2;
  }
  return base;
}

}  // namespace

LineClass classifyLine(const char (&line)[9]) {
  std::array<int8_t, 19683> memo;
  memo.fill(-1);
  char work[9];
  std::memcpy(work, line, sizeof work);
  work[4] = 'o';
  return classifyWithWays(work, memo);
}

namespace {

// The nine-character line of `key` for `colour`.
void lineOfKey(int colour, LineKey key, char (&line)[9]) {
  for (int offset = -kHalfLine; offset <= kHalfLine; ++offset) {
    if (offset == 0) {
      line[4] = 'o';
      continue;
    }
    const int code = (key >> (2 * keySlot(offset))) & 3;
    line[4 + offset] = code == kKeyEmpty ? '.' : code == keyCode(colour) ? 'o' : 'x';
  }
}

struct ClassTable {
  std::array<std::array<uint8_t, kLineKeys>, 2> classes{};
  ClassTable() {
    // Keys that read the same for one side share the rule's memo.
    std::array<int8_t, 19683> memo;
    memo.fill(-1);
    for (int colour = 0; colour < 2; ++colour) {
      for (int key = 0; key < kLineKeys; ++key) {
        char line[9];
        lineOfKey(colour, static_cast<LineKey>(key), line);
        classes[colour][key] = static_cast<uint8_t>(classifyWithWays(line, memo));
      }
    }
  }
};

const ClassTable& classTable() {
  static const ClassTable table;
  return table;
}

}  // namespace

LineClass lineClass(int colour, LineKey key) { return static_cast<LineClass>(classTable().classes[colour][key]); }

const uint8_t* lineClassTable(int colour) { return classTable().classes[colour].data(); }

}  // namespace brenk::play
