#include "engine/host/failure_log.h"

#include <fstream>

namespace brenk {

void appendFailureLog() {
  std::ofstream log("brenk.log", std::ios::out | std::ios::app);
  if (log) log << kFailureLogLine << '\n';
}

}  // namespace brenk
