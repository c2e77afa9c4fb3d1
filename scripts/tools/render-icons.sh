#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Renders dist/quillmere-vantrel.svg into the PNG sizes of the hicolor icon theme (dist/icons/icon-N.png);
# the window takes some of them as its own icon. Run it after changing the drawing, and commit the PNGs.
set -euo pipefail
cd "$(dirname "$0")/../.."
command -v rsvg-convert >/dev/null || { echo "rsvg-convert is not installed (package librsvg2-bin)" >&2; exit 1; }
for size in 16 22 24 32 48 64 128 256 512; do
  rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio dist/quillmere-vantrel.svg -o "dist/icons/icon-$size.png"
done
