// The banner shown when an input file is missing: engine, build, fixed search directives.
#pragma once

#include <iosfwd>

namespace brenk {

void writeBanner(std::ostream& out);
// Blocks for one key press, raw and without echo, when standard input is a terminal; returns at
// once when there is no console to read.
void waitForKey();
void ShowBanner();

}  // namespace brenk
