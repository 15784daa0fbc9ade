#!/usr/bin/env bash
# The install step of scripts/lib.sh against a package mirror in the middle
# of a sync, played by stand-ins for apt-get, dpkg and dpkg-query on PATH:
# every "apt-get update" fails on the security suite's i386 index, and a
# plain "apt-get install" refuses (held broken packages), as seen on a new
# machine. The install must go on from the lists apt has, name the index
# that failed, install from the release's main suite alone, and stop with
# one clear message only when even that cannot give the packages.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failed=0
fail() { echo "[ FAIL ] $*"; failed=1; }

mkdir -p "$WORK/bin"
cat > "$WORK/bin/apt-get" <<'FAKE'
#!/usr/bin/env bash
echo "apt-get $*" >> "$FAKE_STATE/calls"
case " $* " in
*" update "*)
    echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
    exit 100 ;;
*" install "*)
    if [[ " $* " == *" -t bookworm "* ]] && [ -z "${FAKE_MAIN_SUITE_FAILS:-}" ]; then
        for a in "$@"; do case $a in -*|install|bookworm|*=*) ;; *) echo "$a" >> "$FAKE_STATE/installed" ;; esac; done
        exit 0
    fi
    echo "E: Unable to correct problems, you have held broken packages." >&2
    exit 100 ;;
esac
FAKE
cat > "$WORK/bin/dpkg-query" <<'FAKE'
#!/usr/bin/env bash
grep -qx "${@: -1}" "$FAKE_STATE/installed" 2>/dev/null && echo "install ok installed" && exit 0
exit 1
FAKE
cat > "$WORK/bin/dpkg" <<'FAKE'
#!/usr/bin/env bash
case $1 in --print-architecture) echo amd64 ;; --print-foreign-architectures) echo i386 ;; esac
FAKE
chmod +x "$WORK/bin/"*

# One install in a shell of its own: prints what it said, returns its status.
install() {
    local state=$1
    mkdir -p "$state"; : > "$state/calls"; : > "$state/installed"
    PATH="$WORK/bin:$PATH" FAKE_STATE=$state QUORVANE_APT_TRIES=2 QUORVANE_APT_PAUSE=0 \
        QUORVANE_ARCH=64 "${@:2}" bash -c '
        source "$0/scripts/lib.sh" >/dev/null
        enable_deb_src() { return 0; }   # the machine'"'"'s sources stay as they are
        as_root() { "$@"; }
        install_packages' "$ROOT" 2>&1
}

out=$(install "$WORK/a"); rc=$?
[ $rc = 0 ] || fail "the install stopped (exit $rc) although the main suite gives every package: $out"
grep -q "binary-i386/Packages.xz" <<<"$out" || fail "the index that failed is not named: $out"
[ "$(grep -c " update" "$WORK/a/calls")" = 2 ] || fail "apt-get update was not tried again: $(cat "$WORK/a/calls")"
grep -q "install.* -t bookworm " "$WORK/a/calls" || fail "nothing was installed from the main suite alone"
grep -qx "wine64" "$WORK/a/installed" || fail "wine64 was not installed"
grep -q ":i386" "$WORK/a/installed" && fail "the 64-bit route installed i386 packages: $(grep :i386 "$WORK/a/installed")"

out=$(install "$WORK/b" env FAKE_MAIN_SUITE_FAILS=1); rc=$?
[ $rc != 0 ] || fail "the install went on without its packages"
grep -q "these packages could not be installed" <<<"$out" || fail "no clear message when nothing can be had: $out"
grep -q "held broken packages" <<<"$out" || fail "apt's own reason is not passed on: $out"

[ $failed = 0 ] && echo "[ PASS ] the install goes on from a broken index, or says why it cannot"
exit $failed
