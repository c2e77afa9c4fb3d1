// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "extract/RunProgress.h"

// Keeps what the run last showed, for the tests to read back.
class FakeProgress : public IRunProgress {
public:
    void showPercent(int percent) override { m_percent = percent; }
    void showText(const QString &text) override { m_text = text; }
    int value() const { return m_percent; }
    QString text() const { return m_text; }

private:
    int m_percent = 0;
    QString m_text;
};
