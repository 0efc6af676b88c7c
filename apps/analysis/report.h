// The two forms of an analysis: a readable report, and the one-line JSON object whose keys and
// their order other tools rely on.
#pragma once

#include <iosfwd>

#include "apps/analysis/analysis.h"

namespace brenk::cli {

// In the threat-space mode one more key follows the fixed ones: "alphaBeta", its search's depth,
// score, nodes and principal variation, or null when the search did not run.
void writeAnalysisJson(std::ostream& out, const Analysis& analysis);
// The same object with the root's children as one more key, "children": each as
// {"cell":[row,col],"proof":..,"disproof":..,"value":..}, or null without a search.
void writeAnalysisJsonWithChildren(std::ostream& out, const Analysis& analysis);
void writeAnalysisText(std::ostream& out, const Analysis& analysis, bool colour);

}  // namespace brenk::cli
