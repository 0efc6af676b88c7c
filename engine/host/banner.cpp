#include "engine/host/banner.h"

#include <iostream>

#include "engine/host/files.h"
#include "engine/host/platform.h"
#include "engine/position/types.h"

namespace brenk {

namespace {
constexpr const char* kRule = "--------------------------------------------------------------------------";
}

void writeBanner(std::ostream& out) {
  out << '\n' << kRule << '\n';
  out << "Piskvorkovy mozek Brenk verze 0.274 pro turnajove rozhrani Gomocup\n";
  out << "Zkompilovano " << __DATE__ << ' ' << __TIME__ << std::endl;
  out << "Naprogramoval tym projektu Brenk\n";
  out << kRule << '\n';
  out << "Direktivy:\n";
  out << "Size of board (SOB) = " << SOB << std::endl;
  out << "Time for searching (TFS) = " << timeAllowance << " miliseconds\n";
  out << "Coefficient of ommision value (COV) = " << COV << std::endl;
  out << "Scoring algoritm: exponencial threat score" << " ;version: " << kScoringVersion << std::endl;
  out << "Moving coefficient (MC) = " << MC << std::endl;
  out << "Game result algoritm: propable-left score\n";
  out << "Tree search algoritm: pn-search\n";
  out << "no\n";
  out << "RatingPnSelect: " << "no\n";
  out << "OneChildAway: " << "no\n";
  out << kRule << '\n';
  out.flush();
}

void waitForKey() { platform::waitForKeyPress(); }

void ShowBanner() {
  writeBanner(std::cout);
  waitForKey();
}

}  // namespace brenk
