// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Form1.h"

int main(int argc, char **argv) { return runApplication(argc, argv); }
