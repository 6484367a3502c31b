#!/usr/bin/env bash
# Builds and installs quorvel into a fresh prefix, then the three ways a client consumes it:
# find_package against the installed tree, add_subdirectory of the sources, and pkg-config.
# Usage: tests/consumers.sh WORK_DIR [ON|OFF for BUILD_SHARED_LIBS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${1:?work folder}
shared=${2:-OFF}
want=875323883675019051998750190521  # python3 -c 'print(1234567890123456789**2 % 10**30)'
rm -rf "$work" && mkdir -p "$work"
cd "$work"
export LD_LIBRARY_PATH="$work/prefix/lib:${LD_LIBRARY_PATH:-}"
check() {
    local got
    got=$("$2")
    [ "$got" = "$want" ] || { echo "$1: got '$got', want '$want'"; exit 1; }
    echo "$1: ok ($got)"
}
quiet() { "$@" >"$work/step.log" 2>&1 || { cat "$work/step.log"; exit 1; }; }

quiet cmake -S "$root" -B lib -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS="$shared" \
    -DQUORVEL_BUILD_TESTS=OFF -DQUORVEL_BUILD_EXAMPLES=OFF -DQUORVEL_INSTALL=ON \
    -DCMAKE_INSTALL_LIBDIR=lib
quiet cmake --build lib
quiet cmake --install lib --prefix "$work/prefix"
for f in include/quorvel/quorvel.hpp lib/cmake/quorvel/quorvelConfig.cmake \
         lib/cmake/quorvel/quorvelConfigVersion.cmake lib/cmake/quorvel/quorvelTargets.cmake \
         lib/pkgconfig/quorvel.pc bin/quorvel-demo; do
    [ -e "prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done

quiet cmake -S "$root/tests/consumer/package" -B package -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix"
quiet cmake --build package
check "find_package" package/consumer

quiet cmake -S "$root/tests/consumer/subdir" -B subdir -G Ninja -DQUORVEL_SOURCE_DIR="$root" \
    -DBUILD_SHARED_LIBS="$shared"
quiet cmake --build subdir
check "add_subdirectory" subdir/consumer

flags=$(PKG_CONFIG_PATH="$work/prefix/lib/pkgconfig" pkg-config --cflags --libs quorvel)
# shellcheck disable=SC2086
c++ -std=c++17 "$root/tests/consumer/main.cpp" $flags -o pkgconfig-consumer
check "pkg-config" ./pkgconfig-consumer

if [ "$shared" = ON ]; then
    # Only the public API leaves the shared library (besides the weak instantiations of standard
    # library templates, which the standard headers give default visibility).
    extra=$(nm -DC --defined-only prefix/lib/libquorvel.so | awk '{ $1 = ""; $2 = ""; print }' |
            grep -v -E '^ +QUORVEL::(fixedint|fixedfloat|log|setup|logdumper|logstream|logtextstream|init|oldtermfunc|detail::logbufferinit|pow|divmod|operator<<|operator>>)' |
            grep -v -E '^ +(std::|typeinfo|vtable|VTT|_init|_fini|__bss_start|_edata|_end)' || true)
    [ -z "$extra" ] || { echo "exported beyond the public API:"; echo "$extra"; exit 1; }
    echo "exports: only the public API"
fi
