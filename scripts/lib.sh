# Shared set-up for scripts/play and scripts/test: installs what is missing,
# cross-builds the third-party libraries once, and builds the game.
# Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"
JOBS=$(nproc 2>/dev/null || echo 4)
# Bump when the way the dependencies are built changes: a new prefix is made.
DEPS_REV=6
DEPS_CACHE=${QUORVANE_DEPS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quorvane}
DEPS_PREFIX="$DEPS_CACHE/deps-r$DEPS_REV"
TRIPLE=i686-w64-mingw32

say() { printf '\033[1;34m== %s\033[0m\n' "$*"; }
die() { printf '\033[1;31m!! %s\033[0m\n' "$*" >&2; exit 1; }

as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

APT_PACKAGES="mingw-w64 g++-mingw-w64-i686 cmake make g++ pkg-config dpkg-dev
 wine wine32 xvfb xauth xdotool x11-utils imagemagick libz-mingw-w64-dev
 googletest python3 ca-certificates xz-utils alsa-utils clang libclang-rt-dev
 libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386 libasound2:i386
 libvorbis-dev libpng-dev libjpeg62-turbo-dev libfreetype-dev fonts-dejavu-core"

packages_missing() {
    local p
    for p in $APT_PACKAGES; do
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

# apt-get update, tried a few times: a mirror in the middle of a sync serves
# an index of the wrong size now and then, and is right again minutes later.
# Says which index failed; returns non-zero when the last try still failed
# (apt keeps whatever lists it did fetch).
apt_update() {
    local try out failed
    for try in 1 2 3 4 5; do
        out=$(as_root apt-get update -qq 2>&1) && return 0
        failed=$(printf '%s\n' "$out" | sed -n 's/.*Failed to fetch \([^ ]*\).*/\1/p' | sort -u | tr '\n' ' ')
        say "apt-get update failed (try $try of 5): ${failed:-$(printf '%s\n' "$out" | grep '^E:' | head -1)}"
        [ "$try" = 5 ] || sleep $((try * 15))
    done
    say "Going on with the package lists apt has"
    return 1
}

apt_install() {
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

install_packages() {
    local need_update=0
    enable_deb_src || need_update=1
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386; need_update=1
    fi
    local missing
    missing=$(packages_missing)
    if [ -n "$missing" ] || [ "$need_update" = 1 ] || [ ! -d /var/lib/apt/lists ] \
       || [ -z "$(ls /var/lib/apt/lists/*Sources* 2>/dev/null)" ]; then
        say "Installing packages: ${missing:-(refreshing lists)}"
        local updated=1
        apt_update || updated=0
        if [ -n "$missing" ] && ! apt_install $missing; then
            # With one suite's index missing (the security suite's i386 list,
            # say), 64-bit and 32-bit copies of a library can be offered at
            # different versions and cannot go in together: take them all from
            # the release's main suite instead.
            local release
            release=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
            if [ "$updated" = 0 ] && [ -n "$release" ]; then
                say "Installing from $release alone"
                apt_install -t "$release" $missing || true
            fi
        fi
        missing=$(packages_missing)
        [ -z "$missing" ] || die "these packages could not be installed: $(echo $missing)
   (apt-get could not fetch or resolve them; try again when the package mirror answers)"
    fi
    return 0
}

# Fetch and unpack a Debian source package into $DEPS_CACHE/src/<pkg>.
# The security suite's files are sometimes missing on the mirror: ask for the
# main suite's version first, then whatever apt offers.
fetch_source() {
    local pkg=$1 dir="$DEPS_CACHE/src"
    mkdir -p "$dir"
    if [ -f "$dir/$pkg.unpacked" ]; then cat "$dir/$pkg.unpacked"; return 0; fi
    local tmp; tmp=$(mktemp -d "$dir/dl.XXXXXX")
    ( cd "$tmp" && { apt-get source -qq --download-only "$pkg/bookworm" >/dev/null 2>&1 \
                  || apt-get source -qq --download-only "$pkg" >/dev/null 2>&1; } ) \
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

build_deps() {
    [ -f "$DEPS_PREFIX/.complete" ] && return 0
    say "Cross-building libraries into $DEPS_PREFIX (once)"
    local P="$DEPS_PREFIX" src log="$DEPS_CACHE/deps-build.log"
    rm -rf "$P"; mkdir -p "$P/lib" "$P/include"
    : > "$log"
    local host_cfg="--host=$TRIPLE --prefix=$P --disable-shared --enable-static CC=$TRIPLE-gcc-posix"
    export CFLAGS="-O2" CXXFLAGS="-O2"

    # TinyXML: plain sources, built without its standard-library option.
    src=$(fetch_source tinyxml)
    (
        set -e; cd "$src"
        for f in tinystr tinyxml tinyxmlerror tinyxmlparser; do
            $TRIPLE-g++-posix -O2 -c "$f.cpp" -o "$f.o"
        done
        $TRIPLE-ar rcs "$P/lib/libtinyxml.a" tinystr.o tinyxml.o tinyxmlerror.o tinyxmlparser.o
        cp tinyxml.h tinystr.h "$P/include/"
    ) >>"$log" 2>&1 || die "TinyXML failed to build (see $log)"

    # libpng 1.6 over the MinGW zlib.
    src=$(fetch_source libpng1.6)
    (
        set -e; cd "$src"
        ./configure $host_cfg CPPFLAGS="-I/usr/$TRIPLE/include" LDFLAGS="-L/usr/$TRIPLE/lib"
        make -j"$JOBS"; make install
        [ -f "$P/lib/libpng.a" ] || cp "$P/lib/libpng16.a" "$P/lib/libpng.a"
    ) >>"$log" 2>&1 || die "libpng failed to build (see $log)"

    # libjpeg-turbo with the 6b API, no SIMD (no assembler needed).
    src=$(fetch_source libjpeg-turbo)
    (
        set -e
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
        mkdir -p "$src/build-w32"; cd "$src/build-w32"
        cmake .. -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=i686 \
            -DCMAKE_C_COMPILER=$TRIPLE-gcc-posix -DCMAKE_RC_COMPILER=$TRIPLE-windres \
            -DCMAKE_INSTALL_PREFIX="$P" -DCMAKE_BUILD_TYPE=Release \
            -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
            -DWITH_JPEG7=OFF -DWITH_JPEG8=OFF -DCMAKE_INSTALL_LIBDIR=lib -DCMAKE_INSTALL_INCLUDEDIR=include
        make -j"$JOBS" jpeg-static
        cp libjpeg.a "$P/lib/libjpeg.a"
        cp jconfig.h ../jpeglib.h ../jmorecfg.h ../jerror.h "$P/include/"
    ) >>"$log" 2>&1 || die "libjpeg-turbo failed to build (see $log)"

    # libogg, libvorbis, libvorbisfile.
    src=$(fetch_source libogg)
    ( set -e; cd "$src"; ./configure $host_cfg; make -j"$JOBS"; make install ) \
        >>"$log" 2>&1 || die "libogg failed to build (see $log)"
    src=$(fetch_source libvorbis)
    ( set -e; cd "$src"; ./configure $host_cfg OGG_CFLAGS="-I$P/include" OGG_LIBS="-L$P/lib -logg" --disable-docs --disable-examples \
          --disable-oggtest; make -j"$JOBS"; make install ) \
        >>"$log" 2>&1 || die "libvorbis failed to build (see $log)"

    touch "$P/.complete"
}

# Host tools and the Windows build share one CMake tree each.
build_all() {
    say "Building the host tools"
    cmake -S "$ROOT/tools" -B "$BUILD/host" -DCMAKE_BUILD_TYPE=Release >/dev/null \
        || die "host tools: configure failed"
    cmake --build "$BUILD/host" -j"$JOBS" >"$BUILD/host-build.log" 2>&1 \
        || { tail -40 "$BUILD/host-build.log"; die "host tools failed to build"; }
    say "Building the game (32-bit Windows)"
    cmake -S "$ROOT" -B "$BUILD/win32" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw32.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DQUORVANE_DEPS="$DEPS_PREFIX" -DQUORVANE_HOST_TOOLS="$BUILD/host" \
        -DQUORVANE_GAME_DIR="$BUILD/game" -DQUORVANE_UNIT_TIMEOUT="$UNIT_TIMEOUT" >/dev/null || die "configure failed"
    cmake --build "$BUILD/win32" -j"$JOBS" >"$BUILD/win32-build.log" 2>&1 \
        || { grep -E 'error|Error' "$BUILD/win32-build.log" | head -40; die "the game failed to build (see build/win32-build.log)"; }
}

# On a kernel without IA-32 emulation, 32-bit programs can still run through
# qemu-user (registered for i386 programs with binfmt_misc), many times slower.
# Its AVX gives wrong results there (Mesa's software renderer crashes in its
# first OpenGL draw, and a Direct3D draw reads back the wrong colour), so it
# is asked for a processor without AVX, and the tests get more time.
wine_emulated() {
    [ "$(head -1 /proc/sys/fs/binfmt_misc/qemu-i386 2>/dev/null)" = enabled ]
}
if wine_emulated; then
    export QEMU_CPU=${QEMU_CPU:-Nehalem,-lm,-syscall}
    UNIT_TIMEOUT=600
else
    UNIT_TIMEOUT=120
fi

# A private Wine prefix, made quietly, without the Mono and Gecko prompts.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine_prefix() {
    # The game is 32-bit code, and so is Wine's loader: a kernel that runs
    # no 32-bit programs (IA-32 emulation off, as on some virtual machines)
    # can run neither, and every test would fail one by one.
    command -v wine >/dev/null || die "Wine is not installed (scripts/test or scripts/play installs it)"
    if ! wine --version >/dev/null 2>&1; then
        die "Wine cannot start: this machine's kernel does not run 32-bit x86 programs
   ($(wine --version 2>&1 | tail -1)). The game and its tests need a kernel with
   IA-32 emulation (on a kernel that has it switched off: boot with ia32_emulation=on)."
    fi
    export WINEPREFIX=${1:-$BUILD/wineprefix}
    export WINEARCH=win32
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        say "Making a Wine prefix at $WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w 2>/dev/null || true
    fi
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
    python3 "$ROOT/tests/fuzz/make_seeds.py" "$ROOT" "$BUILD" "$FUZZ_BUILD/seeds" \
        || die "could not make the fuzz seeds"
}

# Every target: first its regression inputs once each (tests/fuzz/regressions/
# <target>/, the inputs of mended crashes), then the given seconds of fuzzing
# from its seeds and what earlier runs found. A finding stops with its input.
fuzz_run() {
    local seconds=$1 t dir regress failed=0
    # Leaks inside the called libraries are theirs; ours still count.
    export LSAN_OPTIONS="suppressions=$ROOT/tests/fuzz/lsan-suppressions.txt:print_suppressions=0"
    for t in $FUZZ_TARGETS; do
        dir="$FUZZ_BUILD/run/$t"
        mkdir -p "$dir/corpus" "$dir/findings"
        regress="$ROOT/tests/fuzz/regressions/$t"
        if [ -d "$regress" ] && [ -n "$(ls -A "$regress" 2>/dev/null)" ]; then
            "$FUZZ_BUILD/fuzz_$t" "$regress"/* >"$dir/regressions.log" 2>&1 \
                || { tail -30 "$dir/regressions.log"; echo "!! fuzz_$t: a regression input fails again"; failed=1; continue; }
        fi
        if "$FUZZ_BUILD/fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
                -artifact_prefix="$dir/findings/" "$dir/corpus" "$FUZZ_BUILD/seeds/$t" >"$dir/fuzz.log" 2>&1; then
            printf '   %-10s %s\n' "$t" "$(grep -E '^stat::number_of_executed_units' "$dir/fuzz.log" | awk '{print $2 " runs, no finding"}')"
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
    build_deps
    build_all
}
