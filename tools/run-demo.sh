#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on the demo subject,
# with the local web service serving the demo package in place of the real one.
# Without a display it runs under a virtual X server. VELMORA_BUILD_DIR names
# an already configured build to use instead of build-release.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

build_dir=${VELMORA_BUILD_DIR:-build-release}
[ -n "${VELMORA_BUILD_DIR:-}" ] || cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=OFF
cmake --build "$build_dir" -j"$(nproc)" --target velmora demo_subject webservice
cd "$build_dir"

# The service prints its address first; it ends with this script.
service_out=$(mktemp)
# The demo bank's sysTypeGoods "A" and sysTypeISN "1201" name it for a data repair.
tools/webservice demo/demo-subject.zip,A,20 >"$service_out" &
service_pid=$!
trap 'kill "$service_pid" 2>/dev/null || true; rm -f "$service_out"' EXIT
trap 'exit 130' INT TERM HUP
for _ in $(seq 100); do
  [ -s "$service_out" ] && break
  kill -0 "$service_pid" 2>/dev/null || break
  sleep 0.1
done
service_url=$(head -n 1 "$service_out")
case "$service_url" in
  http://127.0.0.1:*) ;;
  *) echo "the local web service did not start" >&2; exit 1 ;;
esac
export VELMORA_SERVICE_HOST=${service_url#http://}
echo "web service: $service_url"

cd shell
# The program runs from its own directory; give it the demo subject once,
# never over a data directory that may hold the user's records.
[ -e data ] || cp -r ../demo/data data
[ -e Config.ini ] || cp ../demo/Config.ini Config.ini
if [ -n "${DISPLAY:-}" ]; then
  ./velmora
else
  xvfb-run -a ./velmora
fi
