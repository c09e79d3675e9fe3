#!/usr/bin/env bash
# Builds the project, starts the local development service in the background
# (stopped again when this script ends), then runs the project's main job
# against it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"

# The local development service: the launcher's built-in endpoints point at
# 127.0.0.1:8787. VANTREL_DEVSERVER_CATALOG=first shows the one-app catalog;
# VANTREL_DEVSERVER_STAGE=inkwell=0 releases Inkwell's update gradually (see the README).
devserver_port="${VANTREL_DEVSERVER_PORT:-8787}"
devserver_log=build/devserver.log
mkdir -p build/devserver-data
./build/src/devserver/vantrel-devserver --port "$devserver_port" --data build/devserver-data \
  --catalog "${VANTREL_DEVSERVER_CATALOG:-multi}" ${VANTREL_DEVSERVER_STAGE:+--stage "$VANTREL_DEVSERVER_STAGE"} \
  >"$devserver_log" 2>&1 &
devserver_pid=$!
stop_devserver() {
  kill "$devserver_pid" 2>/dev/null || true
  wait "$devserver_pid" 2>/dev/null || true
}
trap stop_devserver EXIT
for _ in $(seq 1 200); do
  grep -q '^listening on ' "$devserver_log" && break
  if ! kill -0 "$devserver_pid" 2>/dev/null; then
    echo "The development service did not start:" >&2
    cat "$devserver_log" >&2
    exit 1
  fi
  sleep 0.1
done
if ! grep -q '^listening on ' "$devserver_log"; then
  echo "The development service did not start in time; see $devserver_log" >&2
  exit 1
fi
echo "Development service $(grep -m1 '^listening on ' "$devserver_log") (log: $devserver_log)"
if [ -z "${VANTREL_MANIFEST_URL:-}" ]; then
  export VANTREL_MANIFEST_URL="http://127.0.0.1:$devserver_port/api/launcher/manifest"
  # The service signs its catalogs with a key in its data folder: the launcher
  # checks every catalog against it.
  VANTREL_CATALOG_PUBLIC_KEYS="${VANTREL_CATALOG_PUBLIC_KEYS:-$(./build/src/devserver/vantrel-devserver --print-public-key --data build/devserver-data)}"
  export VANTREL_CATALOG_PUBLIC_KEYS
fi
export VANTREL_API_URL="${VANTREL_API_URL:-http://127.0.0.1:$devserver_port}"
# Install failures are reported to the service too (vantrel-devserver --dump errors).
export VANTREL_LAUNCHER_SENTRY_DSN="${VANTREL_LAUNCHER_SENTRY_DSN:-http://local@127.0.0.1:$devserver_port/1}"

# The main job: the launcher's window over the service's catalog. Without a
# display (a bare terminal or CI) it runs on a virtual X server.
launcher=./build/src/app/vantrel-launcher
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  "$launcher" "$@"
else
  echo "No display found: running the launcher on a virtual X server (xvfb-run)."
  xvfb-run -a -s "-screen 0 1280x800x24" "$launcher" "$@"
fi
