#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test three times: a
# plain build with warnings as errors, one under AddressSanitizer and
# UndefinedBehaviorSanitizer, and one under ThreadSanitizer.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/setup.sh"
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
status=0
run() {
  local name=$1
  shift
  echo "== $name build"
  bash "$top/tools/build.sh" "$top/build-$name" -DTV_WERROR=ON "$@"
  echo "== $name tests"
  (cd "$top/build-$name" && ctest --output-on-failure -j "$(nproc)") || status=1
}
run plain
run asan -DTV_SANITIZE=address,undefined
run tsan -DTV_SANITIZE=thread
exit $status
