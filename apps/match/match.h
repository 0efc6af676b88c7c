// brenk-cli match: a tournament manager that plays engines against each other.
#pragma once

namespace brenk::match {

// argv[0] is "match"; returns the process exit status.
int runMatch(int argc, char** argv);

}  // namespace brenk::match
