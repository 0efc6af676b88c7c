// Cells as Gomoku managers show them to people (Yixin-Board, Rapfi): the column as a letter from
// A (x = 0) with none skipped, A..T on the 20x20 board, and the row as a number from 1 (y = 0).
// Only for MESSAGE lines; the protocol itself speaks "x,y".
#pragma once

#include <string>

namespace brenk::pbrain {

inline std::string cellName(int x, int y) {
  std::string name = std::to_string(y + 1);
  name.insert(name.begin(), static_cast<char>('A' + x));
  return name;
}

}  // namespace brenk::pbrain
