#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Regenerates dist/man/quillmere-extract.1 from the command's --help and --version (needs help2man and a
# built quillmere-extract). Run it after changing the command's options or help text, and commit the page.
#
#   bash scripts/make-man.sh [BUILD_DIR]     (default: build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
exe=${1:-build/release}/bin/quillmere-extract
command -v help2man >/dev/null || { echo "help2man is not installed (package help2man)" >&2; exit 1; }
[ -x "$exe" ] || { echo "$exe is not built" >&2; exit 1; }
help2man --no-info --no-discard-stderr \
  --name="read the built-in properties of Word documents in bulk" \
  --version-string="$("$exe" --version | cut -d' ' -f2)" \
  --include=dist/man/quillmere-extract.h2m \
  "$exe" -o dist/man/quillmere-extract.1
