#!/usr/bin/env bash
# Installs missing packages and builds. With no arguments it starts the local provider
# stand-in on loopback with a demonstration account and runs brelmont against it; the
# stand-in stops when brelmont exits. With arguments it runs brelmont-cli with them
# (bash scripts/run.sh config list). Both use a registry file of their own under build/demo,
# so a newcomer's real settings are never touched.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_packages
configure_and_build
export BRELMONT_REGISTRY="${BRELMONT_REGISTRY:-$BUILD_DIR/demo/registry.reg}"
mkdir -p "$(dirname "$BRELMONT_REGISTRY")"
# Autostart entry and phone book go to folders of the demo too, never the user's own.
export XDG_CONFIG_HOME="$BUILD_DIR/demo/config" XDG_DATA_HOME="$BUILD_DIR/demo/data"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
CLI="$BUILD_DIR/src/cli/brelmont-cli"
if (($# > 0)); then exec "$CLI" "$@"; fi

DEMO_USER="${DEMO_USER:-tester}"
DEMO_PASSWORD="${DEMO_PASSWORD:-segreto}"
DEMO_CREDIT="${DEMO_CREDIT:-12340}" # thousandths of a euro
demo_dir="$BUILD_DIR/demo"
sim_out="$demo_dir/provider-sim.out"
"$BUILD_DIR/tools/provider-sim/brelmont-provider-sim" \
    --account "$DEMO_USER:$DEMO_PASSWORD:$DEMO_CREDIT" --log "$demo_dir/submissions.jsonl" >"$sim_out" &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
    grep -q 'gateway-port=' "$sim_out" && break
    kill -0 "$sim_pid" 2>/dev/null || { echo "brelmont-provider-sim did not start" >&2; exit 1; }
    sleep 0.1
done
ports="$(grep -m1 'gateway-port=' "$sim_out")"
echo "brelmont-provider-sim (pid $sim_pid): $ports"
port="$(sed -E 's/.*gateway-port=([0-9]+).*/\1/' <<<"$ports")"
fallback="$(sed -E 's/.*gateway-fallback-port=([0-9]+).*/\1/' <<<"$ports")"
http="$(sed -E 's/.*http-port=([0-9]+).*/\1/' <<<"$ports")"
service="$(sed -E 's/.*service-port=([0-9]+).*/\1/' <<<"$ports")"

"$CLI" config set 'Endpoints\GatewayHost' 127.0.0.1
"$CLI" config set 'Endpoints\GatewayPort' "$port"
"$CLI" config set 'Endpoints\GatewayFallbackPort' "$fallback"
# The stand-in's remote phone book, used when "UsePGOnline" is set (bash scripts/run.sh config set UsePGOnline 1).
"$CLI" config set 'Endpoints\PhoneBookServiceUrl' "http://127.0.0.1:$http/services/TarvoPhoneBook.asmx"
# Number lookup, suggestions, web pages, manuals and updates: the stand-in too.
"$CLI" config set 'Endpoints\ServiceHost' 127.0.0.1
"$CLI" config set 'Endpoints\ServicePort' "$service"
"$CLI" config set 'Endpoints\SuggestionHost' 127.0.0.1
"$CLI" config set 'Endpoints\SuggestionPort' "$http"
"$CLI" config set 'Endpoints\WebBaseUrl' "http://127.0.0.1:$http"
"$CLI" config set 'Endpoints\DownloadBaseUrl' "http://127.0.0.1:$http"
"$CLI" config set UserName "$DEMO_USER"
"$CLI" config set RememberPwd 1
"$CLI" config set Password "$DEMO_PASSWORD"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "No display: running brelmont off screen (Ctrl+C ends it)." >&2
    export QT_QPA_PLATFORM=offscreen
fi
# Its own single-instance folder, so a brelmont the user already runs is left alone.
export BRELMONT_RUNTIME_DIR="$demo_dir/run"
mkdir -p "$BRELMONT_RUNTIME_DIR" && chmod 700 "$BRELMONT_RUNTIME_DIR"
echo "Starting brelmont ($DEMO_USER against 127.0.0.1:$port); settings in $BRELMONT_REGISTRY"
status=0
"$BUILD_DIR/src/app/brelmont" show || status=$?
exit "$status"
