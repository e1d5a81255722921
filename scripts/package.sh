#!/usr/bin/env bash
# Builds the Debian packages brellow and brellow-sim from a clean tree and leaves
# them in dist/. Extra arguments go to cmake's configure step, for example
#   scripts/package.sh -DBRELLOW_SERVER_ADDRESS=10.0.0.5
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

# Debian's own compiler and linker flags (hardening: stack protector,
# fortified functions, read-only relocations, immediate binding).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# CMake presets "package": a release build without tests in build-package/, its
# packages in build-package/cpack/.
rm -rf build-package
scripts/configure.sh build-package package \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    "$@"
cmake --build --preset package -j"$(nproc)"
cpack --preset package

rm -rf dist
mkdir dist
cp build-package/cpack/*.deb dist/
lintian --fail-on error --tag-display-limit 0 dist/*.deb
echo "Packages in dist/:"
ls -1 dist/
