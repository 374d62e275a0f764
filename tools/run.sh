#!/usr/bin/env bash
# Installs what is missing, builds and starts the main program (until the
# monitor exists, the hosted example window).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/setup.sh"
bash "$top/tools/build.sh" "$top/build"
exec "$top/build/out/hostdemo" "$@"
