#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Checks the packages that scripts/package.sh built into build/deb/: lintian accepts them, the batch
# command depends on no graphical library, and both programs run from the unpacked packages (the command
# over the sample documents, the window offscreen, finding its samples under share/); the menu entry and
# the AppStream metadata validate.
set -euo pipefail
cd "$(dirname "$0")/../.."
bash scripts/deps.sh lintian appstream desktop-file-utils bash-completion python3
out=build/deb
fail() { echo "check-packages: $*" >&2; exit 1; }
ls "$out"/*.changes >/dev/null 2>&1 || fail "no packages in $out (run scripts/package.sh)"

# Errors and warnings both fail: warnings are either fixed or overridden in debian/ with a reason.
lintian --fail-on error,warning --info --display-info "$out"/*.changes

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
for deb in "$out"/*.deb; do dpkg -x "$deb" "$root"; done

# The batch command: no graphical libraries, neither linked nor among the package's dependencies.
extract=$root/usr/bin/quillmere-extract
[ -L "$extract" ] || fail "quillmere-extract is not linked into bin/"
readelf -d "$(readlink -f "$extract")" | grep -E 'NEEDED.*(Qt6Gui|Qt6Widgets)' && fail "quillmere-extract links a graphical library"
deps=$(dpkg-deb -f "$out"/quillmere-extract_*.deb Depends)
grep -Eq 'libqt6(gui|widgets)' <<< "$deps" && fail "quillmere-extract depends on a graphical library: $deps"

# Only the helper program links the office's libraries.
for program in quillmere-vantrel quillmere-extract; do
  readelf -d "$root/usr/libexec/quillmere-vantrel/$program" | grep -E 'NEEDED.*libuno_' &&
    fail "$program links LibreOffice's libraries"
done

samples=$root/usr/share/quillmere-vantrel/Samples
"$extract" --quiet --fields Title,Author "$samples" > "$root/records.jsonl" ||
  fail "quillmere-extract failed over the samples"
python3 - "$root/records.jsonl" "$(ls "$samples" | wc -l)" <<'PY' || fail "wrong records: $(cat "$root/records.jsonl")"
import json, sys
records = [json.loads(line) for line in open(sys.argv[1], encoding="utf-8")]
assert len(records) == int(sys.argv[2]), "not one record per sample"
for r in records:
    assert "error" not in r and r["properties"]["Title"], r
PY

# The window, offscreen, from its link in bin/: on its first start it records the sample documents it
# finds. The record is kept in its settings, scrambled; it must name the installed samples.
home=$root/home
mkdir -p "$home/bin" "$home/config"
printf '#!/bin/sh\nexit 0\n' > "$home/bin/xdg-open" # the window may offer its home page: no browser here
chmod +x "$home/bin/xdg-open"
settings="$home/config/Velkorn/Quillmere Vantrel.conf"
HOME=$home XDG_CONFIG_HOME=$home/config PATH=$home/bin:$PATH QT_QPA_PLATFORM=offscreen \
  "$root/usr/bin/quillmere-vantrel" &
window=$!
for _ in $(seq 150); do
  grep -qs '^Snapshot=' "$settings" && break
  kill -0 "$window" 2>/dev/null || break
  sleep 0.2
done
sleep 0.5
kill -0 "$window" 2>/dev/null || fail "the window ended by itself instead of waiting for its user"
kill "$window"
wait "$window" || true
recorded=$(python3 - "$settings" <<'PY'
import re, string, sys
# Settings files escape control characters as \xH...; the sample list is scrambled code by code with the
# letters of its key, wrapping past 255 back to 1, over the UTF-8 bytes of the paths.
text = open(sys.argv[1], encoding="utf-8").read()
value = re.search(r"^Snapshot=(.*)$", text, re.M).group(1)
codes, i = [], 0
while i < len(value):
    c = value[i]
    if c == '"':
        i += 1
        continue
    if c == "\\":
        n = value[i + 1]
        if n == "x":
            j = i + 2
            while j < len(value) and value[j] in string.hexdigits:
                j += 1
            codes.append(int(value[i + 2:j], 16))
            i = j
            continue
        codes.append(ord({"a": "\a", "b": "\b", "f": "\f", "n": "\n", "r": "\r", "t": "\t", "v": "\v"}.get(n, n)))
        i += 2
        continue
    codes.append(ord(c))
    i += 1
key = "quorvent"
plain = bytes((c - ord(key[p % len(key)])) + (255 if c - ord(key[p % len(key)]) < 1 else 0) for p, c in enumerate(codes))
print("\n".join(plain.decode("utf-8").split("|")))
PY
) || fail "the window recorded no sample list"
expected=$(for f in "$samples"/*; do echo "$f"; done)
[ "$recorded" = "$expected" ] || fail "the window recorded other samples than the installed ones:
$recorded
expected:
$expected"

appstreamcli validate-tree --no-net "$root"
desktop-file-validate "$root"/usr/share/applications/*.desktop
for size in 16 22 24 32 48 64 128 256 512; do
  [ -f "$root/usr/share/icons/hicolor/${size}x$size/apps/io.github.quillmere.Vantrel.png" ] || fail "no $size px icon"
done
bash -c 'source /usr/share/bash-completion/bash_completion && source "$1" && complete -p quillmere-extract' _ \
  "$root/usr/share/bash-completion/completions/quillmere-extract" >/dev/null || fail "the completion does not load"
echo "check-packages: all packages pass"
