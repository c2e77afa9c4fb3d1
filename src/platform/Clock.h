// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class IClock {
public:
    virtual ~IClock() = default;
    // Seconds since local midnight, fractional; drops back to 0 at midnight.
    virtual double secondsSinceMidnight() = 0;
};

class IRandom {
public:
    virtual ~IRandom() = default;
    virtual void seed(double value) = 0;
    // A number in [0, 1).
    virtual double next() = 0;
};
