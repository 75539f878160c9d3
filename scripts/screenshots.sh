#!/usr/bin/env bash
# Takes pictures of the work center's program list and of its lookup window
# on a virtual display, into docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
registry="$(scripts/demo-settings.sh)"
export CORVANE_REGISTRY="$registry"
build/bin/appserver init demo/server/DEMO.db >/dev/null
mkdir -p docs/screenshots
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1024x768x24" build/bin/workcenter --user DS --company DEMO \
  --screenshot docs/screenshots/workcenter-programs.png
xvfb-run -a -s "-screen 0 1024x768x24" build/bin/workcenter --user DS --company DEMO \
  --screenshot-lookup docs/screenshots/lookup-window.png
