#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Takes the screenshot of the main window that the AppStream metainfo shows: the program, run in a
# virtual display, reads its sample documents, and the window is captured once "Done." is acknowledged.
# Needs a built program and the packages xvfb, xauth, xdotool and imagemagick. As root, the samples are
# shown under /home/alex/Documents (a private mount), which reads better than a temporary folder.
#
#   bash scripts/tools/take-screenshot.sh [BUILD_DIR]     (default: build/release)
set -euo pipefail
cd "$(dirname "$0")/../.."
exe=$(realpath "${1:-build/release}/bin/quillmere-vantrel")
out=$PWD/dist/screenshots/main-window.png
for tool in xvfb-run xdotool import; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (packages xvfb xauth xdotool imagemagick)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home/alex/Documents/Reports" "$work/config"
cp dist/Samples/* "$work/home/alex/Documents/Reports/"

cat > "$work/shoot.sh" <<SHOOT
set -euo pipefail
home=$work/home
if [ "\$(id -u)" -eq 0 ]; then mount --bind "$work/home" /home; home=/home; fi
export HOME=\$home/alex XDG_CONFIG_HOME=$work/config
"$exe" "\$home/alex/Documents/Reports" &
pid=\$!
sleep 4
wid=\$(xdotool search --name "Quillmere Vantrel" | head -1)
# "3. Start Extracting", found by its place in the window's fixed layout.
eval "\$(xdotool getwindowgeometry --shell "\$wid")"
xdotool mousemove \$((X + WIDTH / 2)) \$((Y + 298)) click 1
sleep 20
xdotool key Return
sleep 1
import -window "\$wid" "$out"
kill \$pid
SHOOT
mkdir -p "$(dirname "$out")"
if [ "$(id -u)" -eq 0 ]; then
  unshare -m xvfb-run -a -s "-screen 0 1280x900x24" bash "$work/shoot.sh"
else
  xvfb-run -a -s "-screen 0 1280x900x24" bash "$work/shoot.sh"
fi
echo "$out: $(identify -format '%wx%h' "$out")"
