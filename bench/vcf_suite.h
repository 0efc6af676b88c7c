// The solved VCF positions as a yardstick: how many the engine proves, and how many it answers
// with one of the known winning first moves, within a fixed number of iterations.
#pragma once

#include <cstdint>
#include <string>

namespace brenk::bench {

// `limit` 0 runs every position of the file; `verbose` prints a line per position. Returns false
// when the file cannot be read.
bool runVcfSuite(const std::string& path, int64_t iterations, int limit, bool verbose);

}  // namespace brenk::bench
