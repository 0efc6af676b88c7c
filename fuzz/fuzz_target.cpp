// libFuzzer entry: arbitrary bytes become plocha.dat, tah.dat and brenk.cfg, decided in the exact
// mode and then in the threat-space mode; a run that plays an illegal move where a legal one
// exists, or lets an error escape, aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/move_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brenk::fuzz;
  const FuzzFiles files = splitFuzzInput({reinterpret_cast<const char*>(data), size});
  for (const bool threats : {false, true}) {
    const MoveCheck check = runAndCheck(files, threats);
    if (!runPasses(check)) {
      std::fprintf(stderr, "bad run: threats=%d hasMove=%d row=%d col=%d escapedError=%d\n", threats, check.hasMove,
                   check.row, check.col, check.escapedError);
      std::abort();
    }
  }
  return 0;
}
