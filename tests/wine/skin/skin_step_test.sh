#!/usr/bin/env bash
# The skin step with the program in fresh folders, run inside the sandbox:
#   skin_step_test.sh PROGRAM.exe IMAGE STANDIN.dll ARTIFACTS [TITLE]
# TITLE is the program's window caption (default: the test host's).
# Checks from the Linux side what the program wrote (size, bytes, the DOS
# attributes Wine keeps in user.DOSATTRIB), the fatal report, what a
# recording stand-in library was given, and the skin 5 screenshot against
# the unskinned window (both saved in ARTIFACTS).
set -uo pipefail
program=$1 image=$2 standin=$3 artifacts=$4
name=$(basename "$program")
title=${5:-qzflash skin host}
closes_itself=1; [ -n "${5:-}" ] && closes_itself=0  # the test host closes itself; the program does not
stem=${name%.exe}
root=$(mktemp -d "${QZ_SANDBOX_DIR:-/tmp}/skinstep.XXXXXX")
mkdir -p "$artifacts"
failures=0
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok   $1"; else echo "FAIL $1"; failures=$((failures + 1)); fi
}
dosattrib() { getfattr --only-values -n user.DOSATTRIB "$1" 2>/dev/null; }
fresh() { local d="$root/$1"; mkdir -p "$d"; cp "$program" "$d/"; echo "$d"; }
# Runs the program in folder $1 until its window has been up for $2 ms,
# then closes it (the host closes itself; the program takes Esc); its status.
run_closing() {
  local ms=${2:-700} rc
  (cd "$1" && QZ_HOST_CLOSE_MS=$ms timeout 60 wine "./$name" >/dev/null 2>&1; echo $? >"$1/.rc") &
  local pid=$! id
  # The host closes itself; only the real program needs its Esc. Looking for
  # a host window that is already gone would wait out the search's time.
  if [ "$closes_itself" = 0 ]; then
    id=$(timeout 30 xdotool search --sync --onlyvisible --name "^$title\$" 2>/dev/null | head -1)
    sleep "$(awk "BEGIN{print $ms/1000 + 0.5}")"
    if [ -n "$id" ] && xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; then
      xdotool windowactivate --sync "$id" 2>/dev/null; xdotool key Escape
    fi
  fi
  wait "$pid"
  rc=$(cat "$1/.rc"); rm -f "$1/.rc"
  return "$rc"
}

# ---- first start: exactly the image, hidden only, nothing else left behind
d=$(fresh first)
run_closing "$d"; status=$?
check "first start ends with 0" test "$status" -eq 0
check "first start writes 88,576 bytes" test "$(stat -c %s "$d/SkinH_EL.dll" 2>/dev/null)" = 88576
check "the file equals the held image" cmp -s "$d/SkinH_EL.dll" "$image"
check "hidden is its only attribute" test "$(dosattrib "$d/SkinH_EL.dll")" = 0x2
check "no part file is left" test ! -e "$d/SkinH_EL.dll.part"
check "the file begins with MZ" test "$(head -c 2 "$d/SkinH_EL.dll")" = MZ

# ---- second start: nothing written, no attribute touched, even after changes
printf 'X' | dd of="$d/SkinH_EL.dll" bs=1 seek=88000 conv=notrunc status=none  # in the padding
setfattr -x user.DOSATTRIB "$d/SkinH_EL.dll"
touch -d '2020-01-01 00:00:00' "$d/SkinH_EL.dll"
before=$(sha256sum <"$d/SkinH_EL.dll")
run_closing "$d"; status=$?
check "second start ends with 0" test "$status" -eq 0
check "second start leaves the changed bytes" test "$(sha256sum <"$d/SkinH_EL.dll")" = "$before"
check "second start leaves the time" test "$(stat -c %Y "$d/SkinH_EL.dll")" = "$(date -d '2020-01-01 00:00:00' +%s)"
check "second start sets no attribute" test -z "$(dosattrib "$d/SkinH_EL.dll")"

# ---- a directory of the library's name: the fatal report, -1, no window
fatal_case() {  # fatal_case FOLDER [CWD]
  local dir=$1 cwd=${2:-$1} log="$root/fatal.$RANDOM"
  (cd "$cwd" && timeout 60 wine "$dir/$name" >/dev/null 2>&1; echo $? >"$log.rc") &
  local box
  box=$(timeout 30 xdotool search --sync --onlyvisible --name '^错误$' 2>/dev/null | head -1)
  local shown
  shown=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -1)
  [ -n "$box" ] && { xdotool windowactivate --sync "$box" 2>/dev/null || xdotool windowfocus --sync "$box"; xdotool key Return; }
  wait
  echo "${box:+box} ${shown:+shown} rc=$(cat "$log.rc")"
}
d=$(fresh directory)
mkdir "$d/SkinH_EL.dll"
result=$(fatal_case "$d")
check "a directory of that name: box, exit -1, no window ($result)" test "$result" = "box  rc=255"
check "the directory stays a directory" test -d "$d/SkinH_EL.dll"

# ---- the bare-name load never takes a library from the current directory
# The program's folder is made read-only (a bind mount in the sandbox's own
# mount namespace), so nothing of the name is there and the library cannot
# be written: the bare name is all that is left, and only the current
# directory holds a library of that name.
d=$(fresh planted)
mkdir -p "$root/cwd" && cp "$image" "$root/cwd/SkinH_EL.dll"
if mount --bind "$d" "$d" 2>/dev/null && mount -o remount,bind,ro "$d" 2>/dev/null; then
  result=$(fatal_case "$d" "$root/cwd")
  umount "$d"
  check "the program's folder stayed without the library" test ! -e "$d/SkinH_EL.dll"
  check "a library in the current directory is not loaded ($result)" test "$result" = "box  rc=255"
else
  echo "skip a library in the current directory: no read-only bind mount here"
fi

# ---- the disk fills up part-way through the library: nothing of its name is
# left to stop later starts (a small tmpfs with room for the program and 40 KiB)
d="$root/full" && mkdir -p "$d"
room=$((($(stat -c %s "$program") / 4096 + 1) * 4096 + 40960))
if mount -t tmpfs -o size=$room tmpfs "$d" 2>/dev/null; then
  cp "$program" "$d/"
  result=$(fatal_case "$d")
  check "a full disk leaves no library" test ! -e "$d/SkinH_EL.dll"
  check "a full disk leaves no part file" test ! -e "$d/SkinH_EL.dll.part"
  check "a full disk: the fatal report, exit -1 ($result)" test "$result" = "box  rc=255"
  umount "$d"
else
  echo "skip a full disk: no tmpfs mount here"
fi

# ---- a recording stand-in beside the program sees the call
d=$(fresh recording)
cp "$standin" "$d/SkinH_EL.dll"
run_closing "$d" 1500; status=$?
check "with the stand-in the program ends with 0" test "$status" -eq 0
record=$(tr -d '\r' <"$d/skin_record.txt" 2>/dev/null)
echo "     record: $record"
check "the stand-in gets 17,699 bytes of skin 5, an empty text and 0, 0, 0" \
  grep -qx 'call: null=0 size=17699 head=2e5348450003 text=\[\] args=0,0,0 during: allocated=1' <<<"$record"
check "the buffer is released once the call is back" grep -qx 'after: allocated=0' <<<"$record"
if [ -z "${5:-}" ]; then  # only the test host takes another skin number
  d=$(fresh recording-none)
  cp "$standin" "$d/SkinH_EL.dll"
  for n in 0 -1 34; do
    QZ_SKIN_NUMBER=$n run_closing "$d" 300
  done
  check "skins 0, -1, 34: null, 0, an empty text, 0, 0, 0" \
    test "$(tr -d '\r' <"$d/skin_record.txt" | grep -c 'call: null=1 size=0 head= text=\[\] args=0,0,0')" = 3
fi

# ---- skin 5 against the unskinned window, by screenshot
shot() {  # shot FOLDER OUT.png: the window's own rectangle
  (cd "$1" && QZ_HOST_CLOSE_MS=4000 timeout 60 wine "./$name" >/dev/null 2>&1) &
  local id
  id=$(timeout 30 xdotool search --sync --onlyvisible --name "^$title\$" | head -1)
  sleep 1.5
  eval "$(xdotool getwindowgeometry --shell "$id")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
  xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1 && { xdotool windowactivate --sync "$id" 2>/dev/null; xdotool key Escape; }
  wait
}
pixel() { convert "$1" -format "%[hex:u.p{$2,$3}]" info: 2>/dev/null | cut -c1-6; }
d=$(fresh shot-skinned)
shot "$d" "$artifacts/$stem-skin5.png"
d=$(fresh shot-unskinned)
cp "$standin" "$d/SkinH_EL.dll"
shot "$d" "$artifacts/$stem-unskinned.png"
# A point of the caption left of its buttons, and one of the face at the bottom right.
w=$(identify -format %w "$artifacts/$stem-skin5.png") h=$(identify -format %h "$artifacts/$stem-skin5.png")
caption5=$(pixel "$artifacts/$stem-skin5.png" $((w - 80)) 7) caption0=$(pixel "$artifacts/$stem-unskinned.png" $((w - 80)) 7)
face5=$(pixel "$artifacts/$stem-skin5.png" $((w - 8)) $((h - 8))) face0=$(pixel "$artifacts/$stem-unskinned.png" $((w - 8)) $((h - 8)))
echo "     caption: skin 5 #$caption5, unskinned #$caption0; face: skin 5 #$face5, unskinned #$face0"
green() {  # the hex colour's green is its largest part
  local r=$((16#${1:0:2})) g=$((16#${1:2:2})) b=$((16#${1:4:2}))
  [ "$g" -gt "$r" ] && [ "$g" -ge "$b" ]
}
check "the caption differs and is green in skin 5" eval 'test "$caption5" != "$caption0" && green "$caption5"'
check "the face differs and is pale green in skin 5" eval 'test "$face5" != "$face0" && green "$face5"'

rm -rf "$root"
echo "$failures failed"
[ "$failures" -eq 0 ]
