#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Every long option of quillmere-extract is offered by its Tab completion, so that a new option is not
# forgotten there.
#   check_completion.sh QUILLMERE_EXTRACT COMPLETION_FILE
set -euo pipefail
missing=0
for option in $("$1" --help | grep -oE '^ +(-[^ ]+, )?--[a-z0-9-]+' | grep -oE -- '--[a-z0-9-]+'); do
  if ! grep -qE -- "(^|[ '])$option(=|[ ']|$)" "$2"; then
    echo "the completion does not offer $option" >&2
    missing=1
  fi
done
exit $missing
