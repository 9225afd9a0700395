#!/usr/bin/env bash
# tools/sandbox/run with its scratch folder ($TMPDIR) on a tmpfs, as on a
# machine whose /tmp is one: the prefix template in the build folder cannot be
# hard-linked there. Runs in a private mount namespace, which holds the tmpfs
# mounts and takes them away at the end.
#   tmpfs_scratch_test.sh QZFLASH-CLI.exe EXPECTED_ROWS MOUNT_POINT
# Cases: the template writable (the linked prefix goes beside it), the template
# reachable only read-only from elsewhere (a real copy in the scratch folder),
# and that real copy onto a tmpfs too small for it (one line, status 125).
set -uo pipefail
if [ "${1:-}" = probe ]; then
  # Inside the sandbox: where things are, then the program's rows.
  echo "scratch $QZ_SANDBOX_DIR"
  echo "scratch-fs $(stat -f -c %T "$QZ_SANDBOX_DIR")"
  echo "prefix $WINEPREFIX"
  echo "inode $(stat -c %i "$WINEPREFIX/drive_c/windows/system32/kernel32.dll")"
  wine "$2" search 608317 | sed 's/^/row /'
  exit "${PIPESTATUS[0]}"
fi
if [ "${QZ_TMPFS_TEST_INSIDE:-}" != 1 ]; then
  unshare_args=(-m)
  [ "$(id -u)" -eq 0 ] || unshare_args=(-r -m)
  QZ_TMPFS_TEST_INSIDE=1 exec unshare "${unshare_args[@]}" -- "$0" "$@"
fi

self=$(realpath "$0") cli=$(realpath "$1") expected=$(realpath "$2") mnt=$(realpath -m "$3")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../../.." && pwd)
sandbox=$repo/tools/sandbox/run
template=$(realpath -m "${QZ_WINE_TEMPLATE:-$repo/build/wine-template}")
failures=0
check() {  # check WHAT EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAILED: $1"; echo "  expected: $2"; echo "  actual:   $3"; failures=$((failures + 1)); fi
}
field() { sed -n "s/^$1 //p" "$out"; }

mkdir -p "$mnt"
mount -t tmpfs qz-test-tmpfs "$mnt" || { echo "cannot mount a tmpfs on $mnt"; exit 1; }
mkdir "$mnt/tmp"
out=$mnt/out err=$mnt/err
# The sandbox makes the template when it is missing; the first case may do that.

# ---- the template writable: hard links, in a folder beside the template
# (TMPDIR given relative, which Wine would refuse as part of WINEPREFIX)
(cd "$mnt" && TMPDIR=tmp "$sandbox" --shell "$self" probe "$cli" >"$out" 2>"$err")
check "the program runs (writable template)" 0 $?
check "its rows (writable template)" "$(cat "$expected")" "$(field row)"
check "the scratch folder on the tmpfs" tmpfs "$(field scratch-fs)"
check "the scratch folder in TMPDIR" "$mnt/tmp" "$(dirname "$(field scratch)")"
prefix=$(field prefix)
check "the prefix beside the template" "$(dirname "$template")" "$(dirname "$(dirname "$prefix")")"
check "the prefix linked to the template" "$(stat -c %i "$template/drive_c/windows/system32/kernel32.dll")" "$(field inode)"
check "the scratch folder removed" no "$(test -e "$(field scratch)" && echo yes || echo no)"
check "the prefix folder removed" no "$(test -e "$(dirname "$prefix")" && echo yes || echo no)"
check "nothing on standard error" "" "$(cat "$err")"

# ---- the template only read-only, on another mount: a real copy
mkdir "$mnt/template"
mount --bind "$template" "$mnt/template" && mount -o remount,bind,ro "$mnt/template" ||
  { echo "cannot bind the template read-only"; exit 1; }
TMPDIR=$mnt/tmp QZ_WINE_TEMPLATE=$mnt/template "$sandbox" --shell "$self" probe "$cli" >"$out" 2>"$err"
check "the program runs (real copy)" 0 $?
check "its rows (real copy)" "$(cat "$expected")" "$(field row)"
prefix=$(field prefix)
check "the prefix in the scratch folder" "$(field scratch)/prefix" "$prefix"
check "the prefix a copy of its own" yes \
  "$([ "$(field inode)" != "$(stat -c %i "$template/drive_c/windows/system32/kernel32.dll")" ] && echo yes || echo no)"
check "the scratch folder removed (real copy)" no "$(test -e "$(field scratch)" && echo yes || echo no)"
check "nothing on standard error (real copy)" "" "$(cat "$err")"

# ---- that copy onto a tmpfs with no room for it: one line, and no leftovers
mkdir "$mnt/small"
mount -t tmpfs -o size=16m qz-test-small "$mnt/small" || { echo "cannot mount a small tmpfs"; exit 1; }
TMPDIR=$mnt/small QZ_WINE_TEMPLATE=$mnt/template "$sandbox" --shell "$self" probe "$cli" >"$out" 2>"$err"
check "a failed copy ends the sandbox with 125" 125 $?
check "the program never ran" "" "$(cat "$out")"
check "one line on standard error" 1 "$(grep -c '' "$err")"
check "that line names the copy and the cause" yes \
  "$(grep -q '^sandbox/run: cannot copy the prefix template .*(real copy): .*No space left on device (.* errors)$' "$err" && echo yes || echo no)"
check "no scratch folder left" "" "$(cd "$mnt/small" && ls -d qz-sandbox.* 2>/dev/null)"

[ "$failures" -eq 0 ] || { echo "$failures failed"; echo "last standard error (its first lines):"; head -n 20 "$err"; exit 1; }
echo "all passed"
