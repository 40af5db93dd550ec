#!/usr/bin/env bash
# Counts the non-blank lines of the tracked sources (C++, Python, shell,
# CMake, resource scripts) of the program, its tests, the stand-ins the
# tests use, and the tools, and the tests' size against the program's.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
  git ls-files -- "$@" | grep -E '\.(cpp|h|py|sh|cmake|rc|in|def)$|CMakeLists\.txt$' \
    | xargs -r cat | grep -cv '^[[:space:]]*$' || true
}
program=$(count app ui device download framework res CMakeLists.txt cmake)
tests=$(count tests ':!tests/standins')
standins=$(count tests/standins)
tools=$(count tools bench)
printf '%-44s %6s\n' "program (app ui device download framework res)" "$program"
printf '%-44s %6s\n' "tests (tests/ but tests/standins)" "$tests"
printf '%-44s %6s\n' "stand-ins (tests/standins)" "$standins"
printf '%-44s %6s\n' "tools and benchmarks (tools bench)" "$tools"
echo "tests against the program: $(( tests * 100 / program ))%"
