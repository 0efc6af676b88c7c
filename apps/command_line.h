// How every tool answers its command line, the same way everywhere: --help/-h and --version on
// standard output with status 0 and nothing else done; a fault as one line naming it, then the
// usage, on standard error with status 2. Header-only, so that tools outside apps/ (brenk-bench)
// share it without another library.
#pragma once

#include <CLI/CLI.hpp>
#include <charconv>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>

#include "apps/version.h"

namespace brenk {

inline constexpr int kExitCommandLine = 2;

// "brenk-bench (Brenk) 0.274"
inline std::string versionText(const std::string& tool) {
  return tool + " (" + kEngineName + ") " + kEngineVersion;
}

// A whole decimal number from min to max: "abc", "5x", "1e3" and out-of-range values are refused
// with a message that says which, before CLI11 converts the text.
inline CLI::Validator wholeNumber(int64_t min, int64_t max = INT64_MAX) {
  const std::string range = max == INT64_MAX ? ">= " + std::to_string(min)
                                              : std::to_string(min) + ".." + std::to_string(max);
  return CLI::Validator(
      [min, max, range](std::string& text) -> std::string {
        int64_t value = 0;
        const char* end = text.data() + text.size();
        const auto result = std::from_chars(text.data(), end, value);
        if (result.ptr != end || (result.ec != std::errc() && result.ec != std::errc::result_out_of_range) ||
            text.empty()) {
          return "\"" + text + "\" is not a whole number";
        }
        if (result.ec == std::errc::result_out_of_range || value < min || value > max) {
          return text + " is out of range (" + range + ")";
        }
        return "";
      },
      range, "WHOLE_NUMBER");
}

// A whole decimal number of 0 or more that fits 64 bits unsigned (a seed): CLI11 alone would read
// "-1" as its unsigned wrap-around.
inline CLI::Validator wholeUnsigned() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        uint64_t value = 0;
        const char* end = text.data() + text.size();
        const auto result = std::from_chars(text.data(), end, value);
        if (text.empty() || result.ptr != end || result.ec != std::errc()) {
          return "\"" + text + "\" is not a whole number from 0 to " + std::to_string(UINT64_MAX);
        }
        return "";
      },
      ">= 0", "WHOLE_NUMBER");
}

inline void addVersionFlag(CLI::App& app) { app.set_version_flag("--version", versionText(app.get_name())); }

// "brenk-cli analyze": the tool and the subcommands reached, for the fault line.
inline std::string commandPath(const CLI::App& app) {
  std::string path = app.get_name();
  for (const CLI::App* command = &app; !command->get_subcommands().empty();) {
    command = command->get_subcommands().front();
    path += " " + command->get_name();
  }
  return path;
}

// CLI11 reads "/word" as an option on Windows by default, so a path such as /tmp/game (which
// wine and MSYS shells pass as it is) would be taken for an unknown option: arguments are read the
// same way on every system. Subcommands copy the setting only when made, so each is set here.
inline void noWindowsStyleOptions(CLI::App& app) {
  app.allow_windows_style_options(false);
  for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) noWindowsStyleOptions(*command);
}

// Parses argv into app. Returns the exit status when the command line itself is the whole answer
// (help, version or a fault), nothing when the tool should go on and do its work. The usage shown
// is that of the deepest subcommand reached, so a fault in `analyze` shows analyze's options.
inline std::optional<int> parseCommandLine(CLI::App& app, int argc, const char* const* argv) {
  noWindowsStyleOptions(app);
  try {
    app.parse(argc, argv);
    return std::nullopt;
  } catch (const CLI::CallForHelp&) {
    std::cout << app.help();
    return 0;
  } catch (const CLI::CallForAllHelp&) {
    std::cout << app.help("", CLI::AppFormatMode::All);
    return 0;
  } catch (const CLI::CallForVersion& e) {
    std::cout << e.what() << '\n';
    return 0;
  } catch (const CLI::ParseError& e) {
    std::cerr << commandPath(app) << ": " << e.what() << '\n' << app.help();
    return kExitCommandLine;
  }
}

}  // namespace brenk
