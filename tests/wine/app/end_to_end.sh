#!/usr/bin/env bash
# The real qzflash.exe as a user starts it, driven with real input (XTEST) inside
# tools/sandbox/run --shell. Usage: end_to_end.sh QZFLASH.exe WINDOW_PROBE.exe EXPECTED_ROWS SHOT.png
#   ordinary run: hint rows, screenshot, search by click and by Enter, Esc, exit 0,
#                 the home page opened twice
#   fatal run:    the WebBrowser's DLL switched off: the report's box, exit -1 (255),
#                 the home page never opened
set -uo pipefail
exe=$1 probe=$2 expected=$3 shot=$4
failures=0
check() {  # check WHAT EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAILED: $1"; echo "  expected: $2"; echo "  actual:   $3"; failures=$((failures + 1)); fi
}
xdg_lines() { [ -f "$QZ_XDG_LOG" ] && wc -l <"$QZ_XDG_LOG" || echo 0; }
wait_rows() {  # until the list holds rows other than the hint rows
  for _ in $(seq 100); do
    rows=$(wine "$probe" rows)
    [ "$(printf '%s\n' "$rows" | head -n1 | cut -f1)" = 1 ] && break
    sleep 0.1
  done
  printf '%s\n' "$rows"
}
click() { xdotool mousemove $(wine "$probe" point "$1") click 1; }

# ---- ordinary run
wine "$exe" & pid=$!
wine "$probe" wait
check "window shown" 0 $?
hint=$(printf '\t\n\t\\xD4\\xDA\\xB4\\xCB\\xB5\\xE3\\xBB\\xF7\\xCA\\xF3\\xB1\\xEA\\xD3\\xD2\\xBC\\xFC\\xB8\\xB4\\xD6\\xC6\\xB5\\xD8\\xD6\\xB7\n\t')
check "hint rows at start" "$hint" "$(wine "$probe" rows)"
check "default account text" 608317 "$(wine "$probe" account)"
check "focus on the search button at start" search "$(wine "$probe" focus)"
sleep 0.5
import -window root "$shot" && echo "screenshot: $shot"

click search
check "rows after a click on the search button" "$(cat "$expected")" "$(wait_rows)"
check "the click leaves the account text" 608317 "$(wine "$probe" account)"

click account
sleep 0.3
check "a click in the account box empties it" "" "$(wine "$probe" account)"
xdotool type --delay 50 608317
xdotool key Return
sleep 0.5
check "rows after Enter" "$(cat "$expected")" "$(wait_rows)"
check "Enter leaves the typed text" 608317 "$(wine "$probe" account)"

# The tab cycle with real keys; arriving in the account box empties it.
xdotool key Tab
check "Tab from the account box" search "$(wine "$probe" focus)"
xdotool key Tab
check "Tab from the search button" list "$(wine "$probe" focus)"
xdotool key shift+Tab
check "Shift+Tab from the list" search "$(wine "$probe" focus)"
xdotool key shift+Tab
check "Shift+Tab from the search button" account "$(wine "$probe" focus)"
check "the account box emptied on arrival" "" "$(wine "$probe" account)"

xdotool key Escape
for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
wait $pid
check "exit code of an ordinary run" 0 $?
for _ in $(seq 50); do [ "$(xdg_lines)" -ge 2 ] && break; sleep 0.1; done
sleep 0.5
check "home page opened twice" "$(printf 'http://www.qzflash.example/\nhttp://www.qzflash.example/')" "$(cat "$QZ_XDG_LOG" 2>/dev/null)"

# ---- fatal run: no WebBrowser control, so the window cannot be built
: >"$QZ_XDG_LOG"
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;ieframe=d" wine "$exe" & pid=$!
report=$(wine "$probe" box "错误")
check "fatal report's box" "$(printf '运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n')" "$report"
wine "$probe" dismiss "错误"
for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
wait $pid
check "exit code after the fatal report" 255 $?
sleep 0.5
check "home page not opened on the fatal path" 0 "$(xdg_lines)"

[ $failures -eq 0 ] && echo "all passed" || echo "$failures failed"
[ $failures -eq 0 ]
