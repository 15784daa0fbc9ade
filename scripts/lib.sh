# Shared set-up for scripts/play and scripts/test: installs what is missing,
# cross-builds the third-party libraries once, and builds the game.
# Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"
JOBS=$(nproc 2>/dev/null || echo 4)
# Bump when the way the dependencies are built changes: a new prefix is made.
DEPS_REV=7
DEPS_CACHE=${QUORVANE_DEPS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quorvane}

say() { printf '\033[1;34m== %s\033[0m\n' "$*"; }
die() { printf '\033[1;31m!! %s\033[0m\n' "$*" >&2; exit 1; }

as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

# ---- The route: the game is 32-bit Windows code run by wine32 where this
# machine runs 32-bit x86 programs itself, and the same sources built as
# 64-bit Windows code run by Wine's 64-bit loader alone where it does not (a
# kernel with its IA-32 emulation switched off, or 32-bit programs that run
# only through an emulator, far too slowly for Wine).

# A 94-byte static 32-bit x86 program that only exits with 42 (printf text).
PROBE32_ELF='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5e\x00\x00\x00\x5e\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xbb\x2a\x00\x00\x00\x31\xc0\x40\xcd\x80'
# Where the probe is written and run, in this order. Not the temporary
# folder: it is often mounted noexec, where nothing runs whatever the kernel.
PROBE_DIRS=("$BUILD" "$DEPS_CACHE")

# Runs FILE with five seconds to do it, through bash's own exec (timeout's
# execvp would hand a file the kernel does not load to /bin/sh as a script).
# Sets PROBE_RC and PROBE_SAID: the reason the system gave, if any
# ("Permission denied", "Exec format error").
run_probe() {
    local said
    PROBE_RC=0
    said=$(LC_ALL=C timeout -s KILL 5 bash -c 'exec "$0"' "$1" 2>&1 >/dev/null) || PROBE_RC=$?
    said=$(printf '%s\n' "$said" | head -1)
    PROBE_SAID=${said##*: }
}

# Whether this machine runs 32-bit x86 programs. Sets PROBE_VERDICT:
#   ok    it runs them (PROBE_WHY empty);
#   no32  it does not, and PROBE_WHY says why: the 64-bit route;
#   stop  neither route can run here, and PROBE_WHY says why: not an x86
#         machine, or no folder of PROBE_DIRS lets a program run (mounted
#         noexec), so that nothing built there could run either.
# In each folder a two-line shell script is run first: only where it runs
# does the 32-bit program's failure say something about the kernel.
probe_route() {
    PROBE_VERDICT=stop PROBE_WHY=""
    local machine
    machine=$(uname -m 2>/dev/null) || machine=""
    case $machine in
        x86_64|amd64|i[3-6]86) ;;
        *) PROBE_WHY="this machine is ${machine:-of a kind uname -m does not tell}, not x86: the game is x86 Windows code"
           return ;;
    esac
    local dir probe refused=""
    for dir in "${PROBE_DIRS[@]}"; do
        if ! mkdir -p "$dir" 2>/dev/null || ! probe=$(mktemp "$dir/qv-probe32.XXXXXX" 2>/dev/null); then
            refused+="; $dir: nothing can be written there"
            continue
        fi
        printf '#!/bin/sh\nexit 42\n' >"$probe.sh"
        printf "$PROBE32_ELF" >"$probe"
        chmod +x "$probe" "$probe.sh"
        run_probe "$probe.sh"
        if [ "$PROBE_RC" != 42 ]; then
            refused+="; $dir: ${PROBE_SAID:-a script there ended with $PROBE_RC}"
            rm -f "$probe" "$probe.sh"
            continue
        fi
        run_probe "$probe"
        rm -f "$probe" "$probe.sh"
        PROBE_VERDICT=no32
        case $PROBE_RC in
            42) PROBE_VERDICT=ok ;;
            137) PROBE_WHY="a 32-bit program did not finish within 5 s" ;;
            159) PROBE_WHY="the kernel kills a 32-bit program at its first system call" ;;
            126) case $PROBE_SAID in
                     *"format error"*) PROBE_WHY="the kernel refuses 32-bit programs (exec format error)" ;;
                     *) PROBE_WHY="a 32-bit program could not be started (${PROBE_SAID:-no reason given})" ;;
                 esac ;;
            *) PROBE_WHY="a 32-bit program could not run (exit status $PROBE_RC${PROBE_SAID:+: $PROBE_SAID})" ;;
        esac
        [ "$PROBE_VERDICT" = ok ] || return 0
        # The kernel runs it, but an emulator registered for i386 programs
        # (qemu-user through binfmt_misc) comes before the kernel's own loader.
        local f
        for f in /proc/sys/fs/binfmt_misc/*; do
            [ -f "$f" ] && [ "$(head -1 "$f" 2>/dev/null)" = enabled ] || continue
            if grep -q '^magic 7f454c4601010100000000000000000002000300' "$f" 2>/dev/null; then
                PROBE_VERDICT=no32
                PROBE_WHY="32-bit programs run only through an emulator ($(sed -n 's/^interpreter //p' "$f"))"
                return 0
            fi
        done
        return 0
    done
    PROBE_WHY="no program can be run from the build or the cache folder (mounted noexec?)${refused}"
}

# use_arch 32|64: the toolchain, dependency prefix, build and game folders,
# Wine loader and prefix kind of one build.
use_arch() {
    ARCH=$1
    case $ARCH in
        32) TRIPLE=i686-w64-mingw32; WIN_BUILD="$BUILD/win32"; GAME_DIR="$BUILD/game"
            WINE=/usr/lib/wine/wine; export WINEARCH=win32 ;;
        64) TRIPLE=x86_64-w64-mingw32; WIN_BUILD="$BUILD/win64"; GAME_DIR="$BUILD/game64"
            WINE=/usr/lib/wine/wine64; export WINEARCH=win64 ;;
        *) die "use_arch takes 32 or 64, not '$ARCH'" ;;
    esac
    DEPS_PREFIX="$DEPS_CACHE/deps-r$DEPS_REV-win$ARCH"
    # Every process Wine starts goes through the same loader: with wine32
    # installed, Debian's wine command would take the 32-bit one first.
    export WINELOADER=$WINE QV_WINE=$WINE
}

# Picks the route once (QUORVANE_ARCH=32 or 64 forces one) and says which.
# scripts/bench alone also takes QUORVANE_ARCH=both (ARCH_BOTH=1): both builds
# side by side, the 32-bit one first.
choose_route() {
    local why
    probe_route
    [ "$PROBE_VERDICT" != stop ] || die "$PROBE_WHY"
    why=$PROBE_WHY
    ARCH_BOTH=0
    case "${QUORVANE_ARCH:-}" in
        both) [ -n "${QV_ARCH_BOTH_ALLOWED:-}" ] || die "QUORVANE_ARCH=both is for scripts/bench; here it takes 32 or 64"
            [ -z "$why" ] || die "QUORVANE_ARCH=both, but this machine cannot run 32-bit programs: $why"
            ARCH_BOTH=1; ROUTE=32; ROUTE_WHY="QUORVANE_ARCH=both: the 64-bit build beside it" ;;
        32) [ -z "$why" ] || die "QUORVANE_ARCH=32, but this machine cannot run 32-bit programs: $why"
            ROUTE=32; ROUTE_WHY="QUORVANE_ARCH=32" ;;
        64) ROUTE=64; ROUTE_WHY="QUORVANE_ARCH=64" ;;
        "") if [ -z "$why" ]; then ROUTE=32; ROUTE_WHY="this machine runs 32-bit x86 programs"
            else ROUTE=64; ROUTE_WHY="$why"; fi ;;
        *) die "QUORVANE_ARCH takes 32 or 64, not '$QUORVANE_ARCH'" ;;
    esac
    if [ "$ROUTE" = 32 ]; then
        say "Route: the 32-bit build under wine32 ($ROUTE_WHY)"
    else
        say "Route: the 64-bit build under Wine's 64-bit loader ($ROUTE_WHY)"
    fi
    use_arch "$ROUTE"
}

# ---- Packages. Both routes cross-build with MinGW-w64 and run Wine on a
# private X display; the 32-bit route adds the i386 architecture for wine32
# and its libraries, the 64-bit route installs no i386 package at all.
NATIVE_ARCH=$(dpkg --print-architecture 2>/dev/null || echo amd64)
APT_COMMON="mingw-w64 g++-mingw-w64-i686 g++-mingw-w64-x86-64 cmake make g++ pkg-config dpkg-dev
 wine xvfb xauth xdotool x11-utils imagemagick libz-mingw-w64-dev
 googletest python3 ca-certificates xz-utils alsa-utils clang libclang-rt-dev
 libvorbis-dev libpng-dev libjpeg62-turbo-dev libfreetype-dev fonts-dejavu-core
 wine64 libgl1:$NATIVE_ARCH libgl1-mesa-dri:$NATIVE_ARCH libglx-mesa0:$NATIVE_ARCH libasound2:$NATIVE_ARCH"
APT_32="wine32:i386 libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386 libasound2:i386"

apt_packages() {
    if [ "$ROUTE" = 32 ]; then echo $APT_COMMON $APT_32; else echo $APT_COMMON; fi
}

packages_missing() {
    local p
    for p in $(apt_packages); do
        dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed' || { echo "$p"; }
    done
}

enable_deb_src() {
    local f=/etc/apt/sources.list.d/debian.sources changed=0
    if [ -f "$f" ] && grep -q '^Types: deb$' "$f"; then
        as_root sed -i 's/^Types: deb$/Types: deb deb-src/' "$f"; changed=1
    fi
    if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list \
       && ! grep -q '^deb-src ' /etc/apt/sources.list; then
        grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | as_root tee -a /etc/apt/sources.list >/dev/null
        changed=1
    fi
    return $changed
}

# apt with time limits of its own: no download waits for ever, and a lock
# held by another apt is waited for two minutes at most.
APT_OPTS="-o Acquire::Retries=3 -o Acquire::http::Timeout=30 -o Acquire::https::Timeout=30 -o DPkg::Lock::Timeout=120"
APT_UPDATE_TRIES=${QUORVANE_APT_TRIES:-4}

# apt-get update, tried a few times: a mirror in the middle of a sync serves
# an index of the wrong size now and then, and is right again minutes later.
# Says which index failed; returns non-zero when the last try still failed
# (apt keeps whatever lists it did fetch, and the install goes on with them).
apt_update() {
    local try out failed
    for try in $(seq "$APT_UPDATE_TRIES"); do
        out=$(as_root timeout -s KILL 600 apt-get $APT_OPTS update -qq 2>&1) && return 0
        failed=$(printf '%s\n' "$out" | sed -n 's/.*Failed to fetch \([^ ]*\).*/\1/p' | sort -u | tr '\n' ' ')
        [ -n "$failed" ] || failed=$(printf '%s\n' "$out" | grep -E '^(E|Err):' | head -1)
        say "apt-get update failed (try $try of $APT_UPDATE_TRIES): ${failed:-no reason given}"
        [ "$try" = "$APT_UPDATE_TRIES" ] || sleep $((try * ${QUORVANE_APT_PAUSE:-15}))
    done
    say "Going on with the package lists apt has"
    return 1
}

# apt-get install with a time limit; its last error lines go to APT_ERROR.
apt_install() {
    local out
    if out=$(as_root env DEBIAN_FRONTEND=noninteractive timeout -s KILL 1500 \
             apt-get $APT_OPTS install -y -qq --no-install-recommends "$@" 2>&1 >/dev/null); then
        return 0
    fi
    APT_ERROR=$(printf '%s\n' "$out" | grep -E '^(E:| )' | tail -4)
    return 1
}

install_packages() {
    local need_update=0
    enable_deb_src || need_update=1
    if [ "$ROUTE" = 32 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386; need_update=1
    fi
    local missing
    missing=$(packages_missing)
    if [ -z "$missing" ] && [ "$need_update" = 0 ] && [ -n "$(ls /var/lib/apt/lists/*Sources* 2>/dev/null)" ]; then
        return 0
    fi
    say "Installing packages: $(echo ${missing:-(refreshing lists)})"
    apt_update || true
    [ -n "$missing" ] || return 0
    if ! apt_install $missing; then
        # With one suite's index missing or behind (the security suite's
        # i386 list, say), the 64-bit and 32-bit copies of a library can be
        # offered at different versions and cannot go in together: the
        # release's main suite offers both at one version.
        local release
        release=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
        say "apt-get install refused ($(printf '%s' "$APT_ERROR" | head -1 | sed 's/^E: //')); trying ${release:-the main suite} alone"
        [ -z "$release" ] || apt_install -t "$release" $missing || true
    fi
    missing=$(packages_missing)
    [ -z "$missing" ] || die "these packages could not be installed: $(echo $missing)
   apt said: ${APT_ERROR:-nothing}
   (the package mirror could not give them; try again when it answers)"
}

# Fetch and unpack a Debian source package into $DEPS_CACHE/src-r<N>/<pkg>,
# kept as unpacked (each build works on a copy of its own).
# The security suite's files are sometimes missing on the mirror: ask for the
# main suite's version first, then whatever apt offers.
fetch_source() {
    local pkg=$1 dir="$DEPS_CACHE/src-r$DEPS_REV"
    mkdir -p "$dir"
    if [ -f "$dir/$pkg.unpacked" ]; then cat "$dir/$pkg.unpacked"; return 0; fi
    local tmp; tmp=$(mktemp -d "$dir/dl.XXXXXX")
    ( cd "$tmp" && { timeout -s KILL 600 apt-get $APT_OPTS source -qq --download-only "$pkg/bookworm" >/dev/null 2>&1 \
                  || timeout -s KILL 600 apt-get $APT_OPTS source -qq --download-only "$pkg" >/dev/null 2>&1; } ) \
        || { rm -rf "$tmp"; die "could not download the source of $pkg"; }
    local dsc; dsc=$(ls "$tmp"/*.dsc 2>/dev/null | head -1)
    local out="$dir/$pkg"
    rm -rf "$out"
    if [ -n "$dsc" ] && ( cd "$tmp" && dpkg-source -q -x "$dsc" "$out" >/dev/null 2>&1 ); then
        :
    else
        # No patches could be applied: fall back to the plain upstream tarball.
        local orig; orig=$(ls "$tmp"/*.orig.tar.* 2>/dev/null | head -1)
        [ -n "$orig" ] || { rm -rf "$tmp"; die "no source tarball for $pkg"; }
        mkdir -p "$out" && tar -xf "$orig" -C "$out" --strip-components=1
    fi
    rm -rf "$tmp"
    echo "$out" > "$dir/$pkg.unpacked"
    echo "$out"
}

# Compiler switches every piece of one build shares. The 32-bit build does
# its floating point on SSE2 as the 64-bit one must, so that both compute
# alike; Windows keeps a 32-bit program's stack aligned to 4 bytes only, so
# a function that needs more aligns it itself.
arch_cflags() {
    if [ "$ARCH" = 32 ]; then echo "-msse2 -mfpmath=sse -mincoming-stack-boundary=2"; fi
}

# A copy of a dependency's sources to build one architecture in.
work_copy() {
    local src=$1 work="$DEPS_PREFIX.work/$(basename "$1")"
    rm -rf "$work"; mkdir -p "$DEPS_PREFIX.work"
    cp -a "$src" "$work"
    echo "$work"
}

build_deps() {
    [ -f "$DEPS_PREFIX/.complete" ] && return 0
    say "Cross-building libraries for $TRIPLE into $DEPS_PREFIX (once)"
    local P="$DEPS_PREFIX" src log="$DEPS_PREFIX.log"
    rm -rf "$P"; mkdir -p "$P/lib" "$P/include"
    : > "$log"
    local host_cfg="--host=$TRIPLE --prefix=$P --disable-shared --enable-static CC=$TRIPLE-gcc-posix"
    local CFLAGS="-O2 $(arch_cflags)" CXXFLAGS="-O2 $(arch_cflags)"
    export CFLAGS CXXFLAGS

    # TinyXML: plain sources, built without its standard-library option.
    src=$(fetch_source tinyxml)
    (
        set -e; cd "$(work_copy "$src")"
        for f in tinystr tinyxml tinyxmlerror tinyxmlparser; do
            $TRIPLE-g++-posix $CXXFLAGS -c "$f.cpp" -o "$f.o"
        done
        $TRIPLE-ar rcs "$P/lib/libtinyxml.a" tinystr.o tinyxml.o tinyxmlerror.o tinyxmlparser.o
        cp tinyxml.h tinystr.h "$P/include/"
    ) >>"$log" 2>&1 || die "TinyXML failed to build (see $log)"

    # libpng 1.6 over the MinGW zlib.
    src=$(fetch_source libpng1.6)
    (
        set -e; cd "$(work_copy "$src")"
        ./configure $host_cfg CPPFLAGS="-I/usr/$TRIPLE/include" LDFLAGS="-L/usr/$TRIPLE/lib"
        make -j"$JOBS"; make install
        [ -f "$P/lib/libpng.a" ] || cp "$P/lib/libpng16.a" "$P/lib/libpng.a"
    ) >>"$log" 2>&1 || die "libpng failed to build (see $log)"

    # libjpeg-turbo with the 6b API, no SIMD (no assembler needed).
    src=$(fetch_source libjpeg-turbo)
    (
        set -e
        src=$(work_copy "$src")
        # Agree with the Windows headers on boolean and INT32, so the order
        # of includes never changes the library's structures.
        grep -q QV_WINDOWS_TYPES "$src/jconfig.h.in" || cat >> "$src/jconfig.h.in" <<'JCONF'

/* QV_WINDOWS_TYPES */
#ifdef _WIN32
#include <basetsd.h>
#ifndef HAVE_BOOLEAN
#ifndef __RPCNDR_H__
typedef unsigned char boolean;
#endif
#define HAVE_BOOLEAN
#endif
#endif
JCONF
        mkdir -p "$src/build-win"; cd "$src/build-win"
        cmake .. -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR="${TRIPLE%%-*}" \
            -DCMAKE_C_COMPILER=$TRIPLE-gcc-posix -DCMAKE_RC_COMPILER=$TRIPLE-windres \
            -DCMAKE_C_FLAGS="$CFLAGS" \
            -DCMAKE_INSTALL_PREFIX="$P" -DCMAKE_BUILD_TYPE=Release \
            -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
            -DWITH_JPEG7=OFF -DWITH_JPEG8=OFF -DCMAKE_INSTALL_LIBDIR=lib -DCMAKE_INSTALL_INCLUDEDIR=include
        make -j"$JOBS" jpeg-static
        cp libjpeg.a "$P/lib/libjpeg.a"
        cp jconfig.h ../jpeglib.h ../jmorecfg.h ../jerror.h "$P/include/"
    ) >>"$log" 2>&1 || die "libjpeg-turbo failed to build (see $log)"

    # libogg, libvorbis, libvorbisfile.
    src=$(fetch_source libogg)
    ( set -e; cd "$(work_copy "$src")"; ./configure $host_cfg; make -j"$JOBS"; make install ) \
        >>"$log" 2>&1 || die "libogg failed to build (see $log)"
    src=$(fetch_source libvorbis)
    ( set -e; cd "$(work_copy "$src")"; ./configure $host_cfg OGG_CFLAGS="-I$P/include" OGG_LIBS="-L$P/lib -logg" --disable-docs --disable-examples \
          --disable-oggtest; make -j"$JOBS"; make install ) \
        >>"$log" 2>&1 || die "libvorbis failed to build (see $log)"

    rm -rf "$DEPS_PREFIX.work"
    touch "$P/.complete"
}

# The host tools (native) are shared by both builds; each Windows build has
# a CMake tree and a game folder of its own (build/win32 and build/game,
# build/win64 and build/game64).
build_host_tools() {
    [ -z "${HOST_TOOLS_BUILT:-}" ] || return 0
    say "Building the host tools"
    cmake -S "$ROOT/tools" -B "$BUILD/host" -DCMAKE_BUILD_TYPE=Release >/dev/null \
        || die "host tools: configure failed"
    cmake --build "$BUILD/host" -j"$JOBS" >"$BUILD/host-build.log" 2>&1 \
        || { tail -40 "$BUILD/host-build.log"; die "host tools failed to build"; }
    HOST_TOOLS_BUILT=1
}

build_all() {
    build_host_tools
    say "Building the game ($ARCH-bit Windows)"
    local log="$BUILD/win$ARCH-build.log"
    cmake -S "$ROOT" -B "$WIN_BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw$ARCH.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DQUORVANE_DEPS="$DEPS_PREFIX" -DQUORVANE_HOST_TOOLS="$BUILD/host" \
        -DQUORVANE_GAME_DIR="$GAME_DIR" >/dev/null || die "configure failed"
    cmake --build "$WIN_BUILD" -j"$JOBS" >"$log" 2>&1 \
        || { grep -E 'error|Error' "$log" | head -40; die "the game failed to build (see ${log#$ROOT/})"; }
}

# Wine starts at all: its loader for this build answers within a minute
# (before anything is built, so that a machine on which nothing can run says
# so at once).
wine_check() {
    [ -x "$WINE" ] || die "Wine's $ARCH-bit loader ($WINE) is not installed (scripts/test or scripts/play installs it)"
    local out
    out=$(timeout -s KILL 60 "$WINE" --version 2>&1) \
        || die "Wine's $ARCH-bit loader cannot start on this machine: $(printf '%s' "${out:-no answer within a minute}" | tail -1)"
}

# A private Wine prefix, made quietly, without the Mono and Gecko prompts;
# the 64-bit build's prefix is a folder of its own (NAME-win64), as a 32-bit
# prefix cannot serve it.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe,winedbg.exe=d"
wine_prefix() {
    local base=${1:-$BUILD/wineprefix}
    if [ "$ARCH" = 64 ]; then export WINEPREFIX=$base-win64; else export WINEPREFIX=$base; fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        say "Making a Wine prefix at $WINEPREFIX"
        timeout -s KILL 300 "$WINE" wineboot.exe -i >/dev/null 2>&1 || true
        timeout -s KILL 120 wineserver -w 2>/dev/null || true
        [ -f "$WINEPREFIX/system.reg" ] \
            || die "Wine could not make a prefix at $WINEPREFIX within five minutes"
    fi
}

# One wineserver for a whole run, with Wine's own services started now: the
# first Wine program would otherwise start them with its output pipe, and
# whoever reads that pipe (ctest, a script) would wait for them to end.
wine_services() {
    timeout -s KILL 60 wineserver -p >/dev/null 2>&1 || true
    timeout -s KILL 120 "$WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

# Starts a private Xvfb at DEPTH bits (24 by default) on a display number
# Xvfb picks itself, free at that moment, so that runs side by side never
# share a display; sets XVFB_PID and XVFB_DISPLAY.
private_xvfb() {
    local depth=${1:-24} out n=""
    out=$(mktemp "${TMPDIR:-/tmp}/qv-xvfb.XXXXXX")
    Xvfb -displayfd 3 -screen 0 "1280x1024x$depth" -nolisten tcp 3>"$out" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        n=$(head -1 "$out" 2>/dev/null | tr -dc 0-9)
        [ -n "$n" ] && break
        sleep 0.1
    done
    rm -f "$out"
    XVFB_DISPLAY=:$n
    [ -n "$n" ] && DISPLAY=$XVFB_DISPLAY timeout 10 xdpyinfo >/dev/null 2>&1 \
        || die "Xvfb did not start (a private display at $depth bits)"
}

# An X display given by name (QUORVANE_TEST_DISPLAY and the like): taken as
# it is when a server answers there, else an Xvfb of DEPTH bits (24 by
# default) is started on it, its process in XVFB_PID ("" when a server was
# there). False when none answers within ten seconds (the name is another's,
# say), and the Xvfb started is ended.
named_xvfb() {
    local display=$1 depth=${2:-24}
    XVFB_PID=""
    DISPLAY=$display timeout 10 xdpyinfo >/dev/null 2>&1 && return 0
    Xvfb "$display" -screen 0 "1280x1024x$depth" -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        DISPLAY=$display timeout 10 xdpyinfo >/dev/null 2>&1 && return 0
        kill -0 "$XVFB_PID" 2>/dev/null || break  # it gave up at once
        sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
    return 1
}

# An ALSA configuration whose default device is a null one, on top of the
# system's own: DirectSound under Wine then opens and plays into nothing.
use_null_sound() {
    mkdir -p "$BUILD"
    cat > "$BUILD/alsa-null.conf" <<ALSA
</usr/share/alsa/alsa.conf>
pcm.!default { type null }
ALSA
    export ALSA_CONFIG_PATH="$BUILD/alsa-null.conf"
}

# Why ALSA's default device cannot play, or nothing when it can: a tenth of a
# second of silence is played through it (no card and no sound server, as on
# a server or in a container, makes that fail).
sound_unusable() {
    if command -v aplay >/dev/null 2>&1; then
        local out
        if out=$(head -c 1600 /dev/zero | timeout 5 aplay -q -D default -t raw -f S16_LE -r 8000 -c 1 2>&1); then
            return 0
        fi
        out=$(printf '%s\n' "$out" | grep -v '^ALSA lib' | tail -1)
        echo "the default ALSA device does not play (${out:-aplay failed})"
        return 0
    fi
    # Without aplay: a card, or a sound server's socket, is taken as sound.
    if grep -q '^ *[0-9]' /proc/asound/cards 2>/dev/null; then return 0; fi
    local run=${XDG_RUNTIME_DIR:-/run/user/$(id -u)}
    if [ -S "$run/pulse/native" ] || [ -S "$run/pipewire-0" ]; then return 0; fi
    echo "no sound card and no sound server"
}

# ---- Fuzzing: the loaders built natively with clang, libFuzzer and the
# sanitizers (tests/fuzz), seeded with the game's own content.
FUZZ_BUILD="$BUILD/fuzz"
FUZZ_TARGETS="manifest archive documents interface texture model saves sound skeletal"

fuzz_build() {
    say "Building the fuzz targets (native, clang with libFuzzer, ASan, UBSan)"
    local tinyxml; tinyxml=$(fetch_source tinyxml)
    CC=clang CXX=clang++ cmake -S "$ROOT/tests/fuzz" -B "$FUZZ_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTINYXML_SOURCES="$tinyxml" >/dev/null || die "fuzz targets: configure failed"
    cmake --build "$FUZZ_BUILD" -j"$JOBS" >"$BUILD/fuzz-build.log" 2>&1 \
        || { grep -E 'error' "$BUILD/fuzz-build.log" | head -20; die "the fuzz targets failed to build"; }
    rm -rf "$FUZZ_BUILD/seeds"
    python3 "$ROOT/tests/fuzz/make_seeds.py" "$ROOT" "$WIN_BUILD" "$GAME_DIR" "$FUZZ_BUILD/seeds" \
        || die "could not make the fuzz seeds"
}

# Every target: first its regression inputs once each (tests/fuzz/regressions/
# <target>/, the inputs of mended crashes; an input that runs past 20 s fails
# as a hang), then the given seconds of fuzzing from its seeds and what
# earlier runs found. A finding stops with its input.
fuzz_run() {
    local seconds=$1 t dir regress rc failed=0
    # Leaks inside the called libraries are theirs; ours still count.
    export LSAN_OPTIONS="suppressions=$ROOT/tests/fuzz/lsan-suppressions.txt:print_suppressions=0"
    for t in $FUZZ_TARGETS; do
        dir="$FUZZ_BUILD/run/$t"
        mkdir -p "$dir/corpus" "$dir/findings"
        regress="$ROOT/tests/fuzz/regressions/$t"
        if [ -d "$regress" ] && [ -n "$(ls -A "$regress" 2>/dev/null)" ]; then
            timeout -s KILL 600 "$FUZZ_BUILD/fuzz_$t" -timeout=20 -rss_limit_mb=2048 "$regress"/* \
                >"$dir/regressions.log" 2>&1 \
                || { tail -30 "$dir/regressions.log"; echo "!! fuzz_$t: a regression input fails again"; failed=1; continue; }
        fi
        # libFuzzer keeps to its own limits; the outer one is for a fuzzer
        # that hangs outside any input (its start, its merge, its end).
        rc=0
        timeout -s KILL $((seconds + 300)) \
            "$FUZZ_BUILD/fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
            -artifact_prefix="$dir/findings/" "$dir/corpus" "$FUZZ_BUILD/seeds/$t" >"$dir/fuzz.log" 2>&1 || rc=$?
        if [ $rc = 0 ]; then
            printf '   %-10s %s\n' "$t" "$(grep -E '^stat::number_of_executed_units' "$dir/fuzz.log" | awk '{print $2 " runs, no finding"}')"
        elif [ $rc = 137 ]; then
            tail -5 "$dir/fuzz.log"
            echo "!! fuzz_$t did not end within $((seconds + 300)) s (see $dir/fuzz.log)"
            failed=1
        else
            grep -E 'ERROR|SUMMARY|runtime error' "$dir/fuzz.log" | head -5
            echo "!! fuzz_$t found a fault; its input: $(ls -t "$dir/findings"/* 2>/dev/null | head -1)"
            failed=1
        fi
    done
    return $failed
}

setup_and_build() {
    install_packages
    wine_check
    build_deps
    build_all
}

choose_route
