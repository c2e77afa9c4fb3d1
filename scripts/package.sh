#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds the Debian packages quillmere-vantrel (the window), quillmere-extract (the batch command) and
# quillmere-office (the LibreOffice helper) into build/deb/, from a copy of this tree (committed or not).
# Install them with: apt install ./build/deb/quillmere-vantrel_*.deb ./build/deb/quillmere-extract_*.deb ...
# DEB_BUILD_PROFILES=pkg.quillmere-vantrel.nooffice builds without LibreOffice's SDK and the helper.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh debhelper dpkg-dev libreoffice-dev

profiles=${DEB_BUILD_PROFILES:-}
# The helper program is being moved out of the two programs; sources from before that have no helper to
# package, and their office code would be linked into both programs: build those without it.
if ! grep -qsr --include=CMakeLists.txt 'add_executable(quillmere-office' src; then
  profiles="$profiles pkg.quillmere-vantrel.nooffice"
fi

out=build/deb
src=$out/src/quillmere-vantrel
rm -rf "$out"
mkdir -p "$src"
tar --exclude=./.git --exclude='./build*' --exclude=./fuzz-out -cf - . | tar -xf - -C "$src"

# The package build gives the compiler a home of its own; keep the user's compiler cache anyway, so that
# a rebuild of unchanged sources takes seconds.
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  CCACHE_DIR=$(ccache -k cache_dir) CCACHE_BASEDIR=$(ccache -k base_dir) CCACHE_MAXSIZE=$(ccache -k max_size)
  export CCACHE_DIR CCACHE_BASEDIR CCACHE_MAXSIZE
  [ "$(ccache -k hash_dir)" = true ] || export CCACHE_NOHASHDIR=1
fi

export DEB_BUILD_OPTIONS=${DEB_BUILD_OPTIONS:-terse}
(cd "$src" && DEB_BUILD_PROFILES="${profiles# }" dpkg-buildpackage -us -uc -b -j"$(nproc)")
mv "$out"/src/*.deb "$out"/src/*.buildinfo "$out"/src/*.changes "$out"/
mv "$out"/src/*.ddeb "$out"/ 2>/dev/null || true
ls -l "$out"/*.deb
