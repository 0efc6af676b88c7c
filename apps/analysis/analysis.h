// One analysis of a loaded position: what the scoring and the evaluator see, and what the
// driver does with it. The record feeds both the text report and the JSON object.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "apps/analysis/game_dir.h"
#include "apps/analysis/principal_line.h"
#include "apps/analysis/root_children.h"
#include "engine/host/driver.h"
#include "engine/position/verdict.h"

namespace brenk::cli {

struct VerdictSummary {
  int32_t value = kOpen;
  infFloat proof;
  infFloat disproof;
  int movingCategory = 1;
};

struct Analysis {
  Position loaded;  // before anything ran: side to move, stone count, box
  Position scored;  // the loaded position after rescoreAll and findBestCells
  VerdictSummary verdict;
  DriverReport report;
  std::optional<Cell> move;    // what brenk would leave in "tah.dat", row first
  std::vector<LineStep> line;  // empty unless a root was built
  std::vector<RootChild> children;  // the same; only the web server's answer shows them
  int64_t elapsedMs = 0;       // the driver's run, searching included
  bool threats = false;        // the threat-space mode ran: the reports add its alpha-beta figures
};

// `options` carries the limits and where the search's diagnostic line goes; the tree is
// inspected here, so its inspectTree is replaced.
Analysis analyzePosition(const Position& loaded, DriverOptions options);

}  // namespace brenk::cli
