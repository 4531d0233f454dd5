#!/usr/bin/env bash
# Replays a small recording to real `pedalon-peer feeder` and `axis` processes and compares
# what they print, byte for byte. The feeder starts late: the replay must hold everything for
# it but StartHello until its ready message, so it gets the handshake and every drive datagram.
set -euo pipefail
peer=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

cat >"$dir/session.txt" <<'END'
# StartHello, one axis datagram, then the feeder's link
0.000 axis< 01 03 02 6f 00
0.000 feeder< 01 03 02 6f 00
0.030 axis< 2a 80 2b 80 00
0.040 feeder> 01 01
0.050 feeder< 01 00
0.050 feeder< 15 80 7f 00 00 00 00
0.080 axis< 2a c0 2b ff 00
0.100 feeder< 16 03 04 01 02 09 ff 00
END
# Waits up to 10 s for a condition, so that a busy machine cannot reorder the start-up.
await() {
  for _ in $(seq 200); do
    eval "$1" && return 0
    sleep 0.05
  done
  echo "timed out waiting for: $1" >&2
  return 1
}
"$peer" axis --hex --port 46140 --count 3 --seconds 20 >"$dir/axis.txt" &
axis=$!
await "grep -qi ':$(printf %04x 46140) ' /proc/net/udp"
"$peer" replay "$dir/session.txt" --port 46141 --axis-port 46140 --feeder-port 46142 \
  --remote-port 46160 --speed 2 --seconds 20 >"$dir/replay.txt" &
replay=$!
# Only now the feeder: StartHello is gone, and the replay holds the rest until it is ready.
await "grep -q waiting '$dir/replay.txt'"
"$peer" feeder --hex --port 46142 --hub 127.0.0.1:46141 --count 3 --seconds 20 >"$dir/feeder.txt"
wait "$axis" "$replay"

diff -u - "$dir/feeder.txt" <<'END'
sent ready
handshake [01 00]
Pedal steer 128 throttle 127 brake 0 buttons 0 relay 0 0 [15 80 7f 00 00 00 00]
Pass through relay 1 2 3 4 buttons 9 throttle 255 brake 0 [16 03 04 01 02 09 ff 00]
END
diff -u - "$dir/axis.txt" <<'END'
StartHello [01 03 02 6f 00]
x 128 y 128 [2a 80 2b 80 00]
x 192 y 255 [2a c0 2b ff 00]
END

# A bad line is named by file and line, with status 2.
printf '0.000 axis< 00\n# fine\n0.5 axis< 2a 80 2b\n1 axis< 2a 8\n' >"$dir/bad.txt"
status=0
"$peer" replay "$dir/bad.txt" --port 46141 2>"$dir/error.txt" || status=$?
[ "$status" -eq 2 ]
diff -u - "$dir/error.txt" <<END
$dir/bad.txt:4: '8' is not a byte (two hexadecimal digits, like 0f)
END
