#!/bin/sh
# Runs the given program on an X server of its own. Xvfb picks a free display itself
# (-displayfd), so runs in parallel, or beside other users of Xvfb, never share or race for
# one. Without Xvfb the program runs as it is, on whatever DISPLAY says (or skips).
command -v Xvfb >/dev/null 2>&1 || exec "$@"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# -noreset: a server that resets when its last client leaves refuses the next one meanwhile.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/log" &
server=$!
tries=0
until [ -s "$dir/display" ]; do
  if ! kill -0 "$server" 2>/dev/null || [ "$tries" -ge 400 ]; then
    echo "Xvfb did not start:" >&2
    cat "$dir/log" >&2
    kill "$server" 2>/dev/null
    exit 1
  fi
  tries=$((tries + 1))
  sleep 0.05
done
DISPLAY=:$(cat "$dir/display") "$@"
status=$?
kill "$server"
wait "$server" 2>/dev/null
exit $status
