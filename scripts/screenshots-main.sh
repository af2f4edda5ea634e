#!/usr/bin/env bash
# Pictures of the main window for the README and for looking at it: runs valvenix-main-screenshots under
# Xvfb in a fresh data folder, at 100 % and 200 %, with a usage server of our own on 127.0.0.1 (a
# certificate made for the run) that has counted a few actions, so that the usage page is filled.
#   scripts/screenshots-main.sh OUTDIR        (after scripts/build.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:?usage: scripts/screenshots-main.sh OUTDIR}
mkdir -p "$out"
work=$(mktemp -d)
server_pid=
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -subj /CN=127.0.0.1 \
    -addext subjectAltName=IP:127.0.0.1 -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
printf '{\\rtf1 Welcome.}\n' > "$work/welcome.rtf"
python3 server/usage_server.py --bind 127.0.0.1 --port 0 --cert "$work/cert.pem" --key "$work/key.pem" \
    --db "$work/usage.sqlite" --welcome "$work/welcome.rtf" > "$work/server.out" 2>&1 &
server_pid=$!
for _ in $(seq 50); do grep -q ':[0-9]' "$work/server.out" 2>/dev/null && break; sleep 0.1; done
port=$(grep -o '127\.0\.0\.1:[0-9]*' "$work/server.out" | head -1 | cut -d: -f2)
url="https://127.0.0.1:$port"
# A few reports, as solves and curve drawings would send them.
python3 - "$url" "$work/cert.pem" <<'PY'
import ssl, sys, urllib.request
url, cert = sys.argv[1], sys.argv[2]
context = ssl.create_default_context(cafile=cert)
for action in "schema1 schema1 schema1 schema7 schema7 schema21 schema42 schema1 tube tube schema8".split():
    request = urllib.request.Request(url + "/log/desktop.php?action=" + action, method="HEAD")
    urllib.request.urlopen(request, context=context, timeout=5).close()
PY
for scale in 1 2; do
    data="$work/data$scale"
    mkdir -p "$data/Morvane/Valvenix"
    printf '[Korvessa]\nusageserver=%s\n' "$url" > "$data/Morvane/Valvenix/valvenix.ini"
    XDG_DATA_HOME="$data" QT_SCALE_FACTOR=$scale xvfb-run -a -s "-screen 0 $((1500 * scale))x$((940 * scale))x24" \
        build/tools/valvenix-main-screenshots "$out/scale$scale" --trust "$work/cert.pem"
done
echo "pictures in $out/scale1 and $out/scale2"
