// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <stdexcept>

// A run-time error as the user sees it in the error report: a number and a readable description.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const QString &description)
        : std::runtime_error(description.toStdString()), m_number(number), m_description(description)
    {
    }
    int number() const { return m_number; }
    const QString &description() const { return m_description; }

    // The numbers the error report shows for each kind of failure; they stay the same from release to
    // release, so a user can quote one and a support answer can rely on it.
    static constexpr int TypeMismatch = 13;
    static constexpr int Overflow = 6;
    static constexpr int PermissionDenied = 70;
    static constexpr int FileNotFound = 53;
    static constexpr int PathNotFound = 76;
    static constexpr int InvalidProcedureCall = 5;
    static constexpr int SubscriptOutOfRange = 9;
    static constexpr int DialogBufferTooSmall = 20476;
    static constexpr int AutomationError = 440;

private:
    int m_number;
    QString m_description;
};
