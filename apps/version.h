// The engine's name and version, in one place, so that the pbrain ABOUT answer and every tool's
// --version always say the same.
#pragma once

namespace brenk {

inline constexpr const char* kEngineName = "Brenk";
inline constexpr const char* kEngineVersion = "0.274";

}  // namespace brenk
