#!/usr/bin/env bash
# The route probe of scripts/lib.sh: a folder where nothing may be run
# (mounted noexec) is told apart from a kernel that refuses 32-bit code, the
# probe goes on to the next folder, and a machine that is not x86 stops at
# once with that reason. The kernel's refusal is the real one: the probe is
# given the ELF header of another machine, which the kernel will not load
# (ENOEXEC), as a kernel without its IA-32 emulation does with a 32-bit
# program. The noexec folder is a real noexec mount where the test may make
# one (as root, in a mount namespace of its own), else a stand-in for the
# probe's run that answers as such a folder does.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
# Not under the temporary folder: it may itself be mounted noexec.
mkdir -p "$ROOT/build"
WORK=$(mktemp -d "$ROOT/build/test-route.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
failed=0
fail() { echo "[ FAIL ] $*"; failed=1; }
mkdir -p "$WORK/plain" "$WORK/noexec" "$WORK/bin"

# probe.sh HOW DIR...: probe_route over the folders given, after lib.sh
# was sourced (it picks its route as every script does); prints
# "verdict: reason". HOW: "plain"; "arm", the header of another machine;
# "mount", $WORK/noexec mounted noexec first (in a mount namespace);
# "stand-in", a file in $WORK/noexec answered as a noexec mount answers.
cat >"$WORK/probe.sh" <<'PROBE'
source "$ROOT/scripts/lib.sh" >/dev/null 2>&1 || { echo "lib.sh stopped"; exit 99; }
how=$1; shift
case $how in
    arm) PROBE32_ELF=${PROBE32_ELF/'\x02\x00\x03\x00'/'\x02\x00\x28\x00'} ;;  # e_machine: ARM (40), not i386 (3)
    mount) mount -t tmpfs -o noexec tmpfs "$WORK/noexec" || exit 98 ;;
    stand-in) eval "$(declare -f run_probe | sed '1s/run_probe/real_run_probe/')"
        run_probe() {
            case $1 in
                "$WORK/noexec"/*) PROBE_RC=126 PROBE_SAID="Permission denied" ;;
                *) real_run_probe "$1" ;;
            esac
        } ;;
esac
PROBE_DIRS=("$@")
probe_route
echo "$PROBE_VERDICT: $PROBE_WHY"
PROBE
export ROOT WORK
probe() { bash "$WORK/probe.sh" "$@" 2>&1; }

# ---- A machine that is not x86 stops, whatever route is asked for.
printf '#!/bin/sh\n[ "$1" = -m ] && echo aarch64 || echo Linux\n' >"$WORK/bin/uname"
chmod +x "$WORK/bin/uname"
for arch in "" 64; do
    out=$(PATH="$WORK/bin:$PATH" QUORVANE_ARCH=$arch bash -c 'source "$ROOT/scripts/lib.sh"' 2>&1); rc=$?
    [ $rc != 0 ] || fail "an aarch64 machine went on (QUORVANE_ARCH=$arch): $out"
    grep -q "aarch64, not x86" <<<"$out" || fail "an aarch64 machine is not told as such (QUORVANE_ARCH=$arch): $out"
    grep -q "Route:" <<<"$out" && fail "an aarch64 machine took a route: $out"
done

# ---- The kernel refusing the program (ENOEXEC): the 64-bit route, and why.
out=$(probe arm "$WORK/plain")
[ "$out" = "no32: the kernel refuses 32-bit programs (exec format error)" ] \
    || fail "a program the kernel will not load is not told as the kernel's refusal: $out"

# ---- A folder mounted noexec: the probe goes on to the next folder and
# says what the plain folder alone says; with no other folder it stops,
# naming the folder and the system's reason.
here=$(probe plain "$WORK/plain")
case $here in
    ok:*|no32:*) ;;
    *) fail "the probe in a plain folder gave no verdict: $here" ;;
esac
if [ "$(id -u)" = 0 ] && unshare -m --propagation private true 2>/dev/null \
   && unshare -m --propagation private mount -t tmpfs -o noexec tmpfs "$WORK/noexec" 2>/dev/null; then
    probe_noexec() { unshare -m --propagation private bash "$WORK/probe.sh" mount "$@" 2>&1; }
    what="a noexec mount"
else
    probe_noexec() { probe stand-in "$@"; }
    what="a stand-in for a noexec folder (no mount namespace here)"
fi
out=$(probe_noexec "$WORK/noexec" "$WORK/plain")
[ "$out" = "$here" ] || fail "$what first: the verdict is not the plain folder's ($here): $out"
out=$(probe_noexec "$WORK/noexec")
[ "$out" = "stop: no program can be run from the build or the cache folder (mounted noexec?); $WORK/noexec: Permission denied" ] \
    || fail "$what alone: not told as a folder where nothing runs: $out"
ls -A "$WORK/plain" "$WORK/noexec" | grep -q qv-probe && fail "the probe's files were left behind"

[ $failed = 0 ] && echo "[ PASS ] the route probe tells a noexec folder, a kernel's refusal and a machine that is not x86 apart (noexec: $what)"
exit $failed
