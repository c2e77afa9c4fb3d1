# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Project code is held to warnings-as-errors; third-party headers come in as system includes. The one
# warnings setting of every target, the fuzz target's standalone build included.
function(qv_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wmissing-declarations -Werror
                                           -Wno-error=deprecated-declarations)
endfunction()
