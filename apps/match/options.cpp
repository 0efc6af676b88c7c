#include "apps/match/options.h"

#include <charconv>
#include <cstring>

namespace brenk::match {

const char* const kMatchUsage =
    "usage: brenk-cli match [options] ENGINE_A ENGINE_B\n"
    "  ENGINE is the path of a file-interface engine (plocha.dat, tah.dat, brenk.cfg), or\n"
    "  pbrain:PATH for a brain on the pbrain protocol. The same path twice is self-play.\n"
    "  --games N           games to play (default 2); A plays x in odd-numbered games\n"
    "  --allowance MS      time allowance per move (default 300)\n"
    "  --margin MS         the engine is killed at allowance + margin (default 1000)\n"
    "  --max-memory BYTES  memory limit told to pbrain brains (default 367001600)\n"
    "  --seed N            seed of the random openings (default 1)\n"
    "  --opening-stones N  stones of a random opening, 0..40 (default 4)\n"
    "  --openings FILE     openings, one a line: moves x,y played alternately from x\n"
    "  --repeat            play every opening twice with the colours swapped\n"
    "  --max-moves N       stop a game unfinished after N engine moves (default: no limit)\n"
    "  --out DIR           keep every game's move list and a summary in DIR\n"
    "  --quiet             no progress line on stderr\n";

namespace {

template <typename Number>
bool parseNumber(const char* text, Number& value, Number least) {
  const char* end = text + std::strlen(text);
  Number parsed{};
  const auto [ptr, ec] = std::from_chars(text, end, parsed);
  if (ec != std::errc() || ptr != end || parsed < least) return false;
  value = parsed;
  return true;
}

bool parseOption(const std::string& name, const char* value, MatchOptions& options) {
  if (name == "--games") return parseNumber(value, options.games, 1);
  if (name == "--allowance") return parseNumber(value, options.limits.allowanceMs, 0);
  if (name == "--margin") return parseNumber(value, options.limits.marginMs, 0);
  if (name == "--max-memory") return parseNumber<int64_t>(value, options.limits.maxMemoryBytes, 0);
  if (name == "--seed") return parseNumber<uint64_t>(value, options.seed, 0);
  if (name == "--opening-stones") return parseNumber(value, options.openingStones, 0) && options.openingStones <= 40;
  if (name == "--max-moves") return parseNumber(value, options.maxMoves, 0);
  if (name == "--openings") return (options.openingsFile = value), true;
  if (name == "--out") return (options.outDir = value), true;
  return false;
}

bool takesValue(const std::string& name) { return name != "--repeat" && name != "--quiet"; }

}  // namespace

bool parseMatchOptions(int argc, char** argv, MatchOptions& options, std::string& error) {
  std::vector<std::string> engines;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--", 0) != 0) {
      engines.push_back(arg);
      continue;
    }
    if (arg == "--repeat") {
      options.repeatOpenings = true;
    } else if (arg == "--quiet") {
      options.progress = false;
    } else if (!takesValue(arg) || i + 1 >= argc || !parseOption(arg, argv[i + 1], options)) {
      error = i + 1 < argc ? "bad option " + arg + " " + argv[i + 1] : "bad option " + arg;
      return false;
    } else {
      ++i;
    }
  }
  if (engines.size() != 2) {
    error = "two engines are needed";
    return false;
  }
  options.engineA = engines[0];
  options.engineB = engines[1];
  return true;
}

}  // namespace brenk::match
