#!/bin/bash
# Installs what is missing, builds and starts Ferrix. Arguments are passed on
# (the only one Ferrix takes is the device root folder).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  port="${FERRIX_VNC_PORT:-5900}"
  echo "No display found: serving the Ferrix window over VNC on 127.0.0.1:$port."
  echo "View it with a VNC viewer, e.g.: vncviewer 127.0.0.1:$port (or through an SSH tunnel)."
  export QT_QPA_PLATFORM="vnc:addr=127.0.0.1:port=$port:size=480x640"
fi
exec build/ferrix "$@"
