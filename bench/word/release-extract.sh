# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the benchmarks of quillmere-extract, from the project's top folder.

# Builds the Release executable in build/word/release when needed and prints its path.
release_extract() {
  local build=build/word/release
  if [ ! -x "$build/bin/quillmere-extract" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_TESTS=OFF >/dev/null
  fi
  cmake --build "$build" --target quillmere-extract >/dev/null
  echo "$PWD/$build/bin/quillmere-extract"
}

# Prints the documents of a folder, sorted, leaving out the corpus's own reference files.
document_list() {
  find "$1" -type f ! -name reference.json ! -name fixtures.txt ! -name README.md | sort
}
