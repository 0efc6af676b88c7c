// brenk: the file-interface tournament engine. One run is one move: read "plocha.dat",
// "tah.dat" and "brenk.cfg" in the working directory, write the move into "tah.dat", exit 0.
#include "engine/host/banner.h"
#include "engine/host/driver.h"
#include "engine/host/failure_log.h"
#include "engine/host/files.h"

int main() {
  using namespace brenk;
  runUnderOuterGuard([] {
    Position pos;
    if (!LoadPosition(pos)) {
      ShowBanner();
      return;
    }
    MoveFileSink sink;
    DriverOptions options;
    options.limits.timeAllowanceMs = timeAllowance;
    decideMove(pos, sink, options);
  });
  return 0;
}
