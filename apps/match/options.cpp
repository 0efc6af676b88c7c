#include "apps/match/options.h"

#include <climits>

#include "apps/command_line.h"

namespace brenk::match {

void addMatchOptions(CLI::App& command, MatchOptions& options) {
  command.footer(
      "ENGINE is the path of a file-interface engine (plocha.dat, tah.dat, brenk.cfg), or\n"
      "pbrain:PATH for a brain on the pbrain protocol. The same path twice is self-play.");
  command.add_option("ENGINE_A", options.engineA, "the first engine; it plays x in odd-numbered games")->required();
  command.add_option("ENGINE_B", options.engineB, "the second engine")->required();
  command.add_option("--games", options.games, "games to play")->capture_default_str()->check(wholeNumber(1, INT_MAX));
  command.add_option("--allowance", options.limits.allowanceMs, "time allowance per move in ms")
      ->capture_default_str()
      ->check(wholeNumber(0, INT32_MAX));
  command.add_option("--margin", options.limits.marginMs, "the engine is killed at allowance + margin (ms)")
      ->capture_default_str()
      ->check(wholeNumber(0, INT32_MAX));
  command.add_option("--max-memory", options.limits.maxMemoryBytes, "memory limit told to pbrain brains, in bytes")
      ->type_name("BYTES")
      ->capture_default_str()
      ->check(wholeNumber(0));
  command.add_option("--seed", options.seed, "seed of the random openings")->capture_default_str()->check(wholeUnsigned());
  command.add_option("--opening-stones", options.openingStones, "stones of a random opening")
      ->capture_default_str()
      ->check(wholeNumber(0, 40));
  command.add_option("--openings", options.openingsFile, "openings, one a line: moves x,y played alternately from x")
      ->type_name("FILE");
  command.add_flag("--repeat", options.repeatOpenings, "play every opening twice with the colours swapped");
  command.add_option("--max-moves", options.maxMoves, "stop a game unfinished after N engine moves (0: no limit)")
      ->capture_default_str()
      ->check(wholeNumber(0, INT_MAX));
  command.add_option("--out", options.outDir, "keep every game's move list and a summary in DIR")->type_name("DIR");
  command.add_flag_callback("--quiet", [&options] { options.progress = false; }, "no progress line on stderr");
}

}  // namespace brenk::match
