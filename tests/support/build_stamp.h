// Recognises the banner's build stamp without knowing when the binary was built.
#pragma once

#include <string>

namespace brenk::testsupport {

// True for "Mmm dd yyyy hh:mm:ss": English month, the day padded with a space to two characters.
inline bool isBuildStamp(const std::string& s) {
  static const std::string months = "JanFebMarAprMayJunJulAugSepOctNovDec";
  auto digit = [&](size_t i) { return i < s.size() && s[i] >= '0' && s[i] <= '9'; };
  auto number = [&](size_t i) { return (s[i] - '0') * 10 + (s[i + 1] - '0'); };
  if (s.size() != 20 || s[3] != ' ' || s[6] != ' ' || s[11] != ' ' || s[14] != ':' || s[17] != ':') return false;
  const size_t month = months.find(s.substr(0, 3));
  if (month == std::string::npos || month % 3 != 0) return false;
  if (!(s[4] == ' ' || digit(4)) || !digit(5)) return false;
  const int day = s[4] == ' ' ? s[5] - '0' : number(4);
  if (day < 1 || day > 31 || (s[4] != ' ' && day < 10)) return false;
  for (size_t i : {7, 8, 9, 10, 12, 13, 15, 16, 18, 19}) {
    if (!digit(i)) return false;
  }
  return number(12) < 24 && number(15) < 60 && number(18) < 60;
}

}  // namespace brenk::testsupport
