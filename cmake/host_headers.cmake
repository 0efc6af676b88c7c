# A cross build sees only the MinGW tree, but CLI11 (the command lines of brenk-cli) is a
# header-only Debian package of this machine that compiles for Windows as it is. Its headers
# alone, not the rest of /usr/include (glibc's), are linked into the build tree and put on the path.
set(host_headers ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${host_headers})
if(NOT EXISTS /usr/include/CLI/CLI.hpp)
  message(FATAL_ERROR "/usr/include/CLI is missing: run scripts/deps.sh")
endif()
file(CREATE_LINK /usr/include/CLI ${host_headers}/CLI SYMBOLIC)
include_directories(SYSTEM ${host_headers})
