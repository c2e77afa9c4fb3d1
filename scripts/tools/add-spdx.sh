#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Puts the copyright and licence lines at the top of every tracked source, script and build file that has
# none, in the comment syntax of its kind (after a #! line or an XML declaration). Files covered by
# .reuse/dep5 are left alone. Files of a kind it does not know are listed at the end: give them a header
# by hand or a line in .reuse/dep5. Then check with `reuse lint` (Debian package reuse).
#
#   bash scripts/tools/add-spdx.sh [--dry-run]
set -euo pipefail
cd "$(dirname "$0")/../.."
dry=false
[ "${1:-}" = --dry-run ] && dry=true

# REUSE-IgnoreStart (the lines below are what the script writes, not this file's own)
copyright="SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers"
licence="SPDX-License-Identifier: GPL-3.0-or-later"
# REUSE-IgnoreEnd

# The file globs of .reuse/dep5 ("Files:" lines); a DEP-5 * also matches across folders.
covered=()
if [ -f .reuse/dep5 ]; then
  while read -r -a globs; do covered+=("${globs[@]}"); done < <(sed -n 's/^Files:[[:space:]]*//p' .reuse/dep5)
fi
is_covered() {
  local glob
  for glob in "${covered[@]}"; do
    # shellcheck disable=SC2053 # the glob is matched as a pattern on purpose
    [[ $1 == $glob ]] && return 0
  done
  return 1
}

# Prints the comment style of a file: line (prefix), block (open close), or nothing when unknown.
style_of() {
  local name=${1##*/}
  case $name in
    *.cpp | *.cc | *.cxx | *.c | *.h | *.hpp | *.hxx | *.js | *.java) echo "line //" ;;
    *.css | *.qss | *.cjs) echo "block /* */" ;;
    *.sh | *.bash | *.py | *.pl | *.cmake | CMakeLists.txt | *.desktop | *.supp | *.dict | *.toml | *.yml | \
      *.yaml | *.conf | *.ini | *.cfg | *.mk | Makefile | .gitignore | .gitattributes | .clang-format | \
      .clang-tidy | .editorconfig) echo "line #" ;;
    *.xml | *.svg | *.ui | *.qrc | *.html | *.htm | *.ts) echo "block <!-- -->" ;;
    *.1 | *.2 | *.3 | *.4 | *.5 | *.6 | *.7 | *.8) echo 'line .\"' ;;
    *)
      # Scripts without an extension are known by their #! line.
      if [[ $(head -c 2 "$1") == '#!' ]]; then echo "line #"; fi ;;
  esac
}

annotate() {
  local file=$1 kind=$2 open=$3 close=${4:-} header keep=0 first
  if [ "$kind" = line ]; then
    header="$open $copyright"$'\n'"$open $licence"
  else
    header="$open"$'\n'"$copyright"$'\n'"$licence"$'\n'"$close"
  fi
  IFS= read -r first < "$file" || true
  # A #! line and an XML declaration must stay first.
  if [[ $first == '#!'* || $first == '<?xml'* ]]; then keep=1; fi
  local tmp
  tmp=$(mktemp)
  {
    [ $keep -eq 1 ] && printf '%s\n' "$first"
    printf '%s\n' "$header"
    tail -n +$((keep + 1)) "$file"
  } > "$tmp"
  chmod --reference="$file" "$tmp"
  mv "$tmp" "$file"
}

added=0
unknown=()
while IFS= read -r -d '' file; do
  [ -f "$file" ] && [ ! -L "$file" ] || continue
  case $file in LICENSE | LICENSES/* | .reuse/*) continue ;; esac
  [ "$(head -n 20 "$file" | grep -c "${licence%%:*}:")" -gt 0 ] && continue
  is_covered "$file" && continue
  read -r -a how <<< "$(style_of "$file")"
  if [ ${#how[@]} -eq 0 ]; then
    unknown+=("$file")
    continue
  fi
  if $dry; then echo "would annotate: $file (${how[*]:1})"; else annotate "$file" "${how[@]}"; fi
  added=$((added + 1))
done < <(git ls-files -z)

echo "$added file(s) $($dry && echo would get || echo got) a header."
if [ ${#unknown[@]} -gt 0 ]; then
  echo "No comment syntax known for these (give them a header by hand or cover them in .reuse/dep5):"
  printf '  %s\n' "${unknown[@]}"
  exit 1
fi
