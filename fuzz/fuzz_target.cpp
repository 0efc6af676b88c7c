// libFuzzer entry: arbitrary bytes become plocha.dat, tah.dat and brenk.cfg, and a run that
// plays an illegal move where a legal one exists, or lets an error escape, aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/move_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brenk::fuzz;
  const MoveCheck check = runAndCheck(splitFuzzInput({reinterpret_cast<const char*>(data), size}));
  if (!runPasses(check)) {
    std::fprintf(stderr, "bad run: hasMove=%d row=%d col=%d escapedError=%d\n", check.hasMove, check.row, check.col,
                 check.escapedError);
    std::abort();
  }
  return 0;
}
