#!/usr/bin/env bash
# Installs quorvel into a fresh prefix, then builds clients the ways users consume it:
# find_package against the installed tree, add_subdirectory of the sources, pkg-config, and the
# plain compile of every source.
# Usage: tests/consumers.sh WORK_DIR [ON|OFF for BUILD_SHARED_LIBS] [install|deb]
#   install  `cmake --install` into WORK_DIR/prefix (the default; CTest's package.consumers)
#   deb      build the .deb and the .tar.gz with CPack, unpack the .deb with `dpkg-deb -x` into
#            WORK_DIR/root and use WORK_DIR/root/usr as the prefix
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${1:?work folder}
shared=${2:-OFF}
mode=${3:-install}
want=875323883675019051998750190521  # python3 -c 'print(1234567890123456789**2 % 10**30)'
version=$(sed -n 's/^#define QUORVEL_VERSION_\(MAJOR\|MINOR\|PATCH\) \([0-9]*\)$/\2/p' \
          "$root/include/quorvel/quorvel.hpp" | paste -sd.)
rm -rf "$work" && mkdir -p "$work"
work=$(cd "$work" && pwd)
cd "$work"
check() {
    local got
    got=$("$2")
    [ "$got" = "$want" ] || { echo "$1: got '$got', want '$want'"; exit 1; }
    echo "$1: ok ($got)"
}
quiet() { "$@" >"$work/step.log" 2>&1 || { cat "$work/step.log"; exit 1; }; }

quiet cmake -S "$root" -B lib -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS="$shared" \
    -DQUORVEL_BUILD_DEMO=ON -DQUORVEL_INSTALL=ON -DCMAKE_INSTALL_LIBDIR=lib
quiet cmake --build lib
if [ "$mode" = deb ]; then
    (cd lib && quiet cpack -G "DEB;TGZ")
    deb=lib/quorvel_${version}_$(dpkg --print-architecture).deb
    tgz=lib/quorvel-${version}-Linux-$(uname -m).tar.gz
    [ -f "$deb" ] && [ -f "$tgz" ] || { echo "no $deb or $tgz:"; ls lib; exit 1; }
    package=$(dpkg-deb -f "$deb" Package) packaged=$(dpkg-deb -f "$deb" Version)
    [ "$package" = quorvel ] && [ "$packaged" = "$version" ] ||
        { echo "control fields: Package $package, Version $packaged"; exit 1; }
    # Listed to a file first: `grep -q` stops reading at its match, and with pipefail the tar it
    # leaves writing into a closed pipe would fail the check.
    tar -tzf "$tgz" >"$work/tgz.list"
    grep -q "/include/quorvel/quorvel.hpp$" "$work/tgz.list" || { echo "$tgz lacks the header"; exit 1; }
    dpkg-deb -x "$deb" root
    prefix=$work/root/usr
    echo "$(basename "$deb") and $(basename "$tgz"): built, unpacked into $work/root"
else
    quiet cmake --install lib --prefix "$work/prefix"
    prefix=$work/prefix
fi
export LD_LIBRARY_PATH="$prefix/lib:${LD_LIBRARY_PATH:-}"

for f in include/quorvel/quorvel.hpp include/quorvel/format.hpp share/doc/quorvel/copyright \
         lib/cmake/quorvel/quorvelConfig.cmake lib/cmake/quorvel/quorvelConfigVersion.cmake \
         lib/cmake/quorvel/quorvelTargets.cmake lib/pkgconfig/quorvel.pc; do
    [ -e "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
# The public headers, and nothing else of the sources.
installed=$(cd "$prefix/include/quorvel" && ls | sort | paste -sd' ')
public=$(cd "$root/include/quorvel" && ls | sort | paste -sd' ')
[ "$installed" = "$public" ] || { echo "installed headers: $installed; public: $public"; exit 1; }
# The demo aborts on purpose: it installs only as its own component, on request.
[ ! -e "$prefix/bin/quorvel-demo" ] || { echo "the demo was installed by default"; exit 1; }
if [ "$mode" = install ]; then
    quiet cmake --install lib --prefix "$work/demo" --component demo
    [ -x "$work/demo/bin/quorvel-demo" ] && [ "$(find "$work/demo" -type f | wc -l)" -eq 1 ] ||
        { echo "the demo component should install bin/quorvel-demo alone"; exit 1; }
fi

quiet cmake -S "$root/tests/consumer/package" -B package -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
    -DQUORVEL_VERSION_WANTED="$version"
quiet cmake --build package
check "find_package" package/consumer

if [ "$mode" = install ]; then
    quiet cmake -S "$root/tests/consumer/subdir" -B subdir -G Ninja -DQUORVEL_SOURCE_DIR="$root" \
        -DBUILD_SHARED_LIBS="$shared"
    quiet cmake --build subdir
    check "add_subdirectory" subdir/consumer
fi

flags=$(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs quorvel)
[ "$(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --modversion quorvel)" = "$version" ] ||
    { echo "pkg-config reports another version"; exit 1; }
# shellcheck disable=SC2086
c++ -std=c++17 "$root/tests/consumer/main.cpp" $flags -o pkgconfig-consumer
check "pkg-config" ./pkgconfig-consumer

if [ "$mode" = install ] && [ "$shared" = OFF ]; then
    # The plain compile of the README: every source with plain flags, no build system.
    c++ -std=c++17 -I "$root/include" -I "$root/src" "$root/tests/consumer/main.cpp" \
        "$root"/src/*/*.cpp "$root"/src/*/*/*.cpp -o plain-consumer
    check "plain compile" ./plain-consumer
fi

if [ "$shared" = ON ]; then
    # Only the public API leaves the shared library (besides the weak instantiations of standard
    # library templates, which the standard headers give default visibility).
    extra=$(nm -DC --defined-only "$prefix"/lib/libquorvel.so | awk '{ $1 = ""; $2 = ""; print }' |
            grep -v -E '^ +QUORVEL::(fixedint|fixedfloat|log|setup|logdumper|logstream|logtextstream|init|oldtermfunc|detail::logbufferinit|detail::withinteger|pow|powmod|divmod|divide|abs|gcd|lcm|isqrt|iroot|invert|tochars|fromchars|operator<<|operator>>)' |
            grep -v -E '^ +(void )?(std::|typeinfo|vtable|VTT|_init|_fini|__bss_start|_edata|_end)' || true)
    [ -z "$extra" ] || { echo "exported beyond the public API:"; echo "$extra"; exit 1; }
    echo "exports: only the public API"
    # The library's file name carries the ABI version (docs/releasing.md).
    soname=$(objdump -p "$prefix/lib/libquorvel.so" | awk '/SONAME/ { print $2 }')
    major=${version%%.*}
    if [ "$major" = 0 ]; then abi=${version%.*}; else abi=$major; fi
    [ "$soname" = "libquorvel.so.$abi" ] || { echo "SONAME $soname, want libquorvel.so.$abi"; exit 1; }
    echo "SONAME: $soname"
fi
