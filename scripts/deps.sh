#!/usr/bin/env bash
# Installs what the build and the tests need from Debian, when it is missing.
set -euo pipefail
need=()
command -v cmake >/dev/null 2>&1 || need+=(cmake)
command -v g++ >/dev/null 2>&1 || need+=(g++)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
command -v python3 >/dev/null 2>&1 || need+=(python3)
# The evaluation tuner (tools/tune) and its test.
{ python3 -c 'import numpy' || /usr/bin/python3 -c 'import numpy'; } >/dev/null 2>&1 || need+=(python3-numpy)
# An optimised BLAS under Debian's numpy: with the reference one, a fit of the combination
# corrections (a thousand columns) takes hours instead of minutes.
[ -f /usr/lib/x86_64-linux-gnu/openblas-pthread/libblas.so.3 ] || need+=(libopenblas0-pthread)
# brenk-cli serve: the HTTP server, the request parser, and the browser its page test drives.
[ -f /usr/include/httplib.h ] || need+=(libcpp-httplib-dev)
[ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
command -v chromium >/dev/null 2>&1 || need+=(chromium)
# Option parsing of brenk-cli and brenk-bench.
[ -f /usr/include/CLI/CLI.hpp ] || need+=(libcli11-dev)
# The Windows build (scripts/windows.sh): MinGW-w64 with POSIX threads, and wine64 to test it.
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || need+=(g++-mingw-w64-x86-64-posix)
command -v wine64 >/dev/null 2>&1 || [ -x /usr/lib/wine/wine64 ] || need+=(wine64)
if [ ${#need[@]} -gt 0 ]; then
  echo "Installing: ${need[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}"
fi
