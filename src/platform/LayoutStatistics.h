// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "office/HelperProcess.h"
#include <QString>
#include <chrono>
#include <memory>
#include <optional>

namespace office {
class LayoutClient;
struct Measurement;
} // namespace office
namespace word {
class Document;
}

// Pages and lines for the documents of one run that store none, from a layout by the LibreOffice helper
// program. The helper is started on the first document that needs it and ended by end() or destruction,
// so nothing is left running after the run. One document's layout is made once and kept while it is the
// one being asked about, so the page-count wait and the cells read the same figures. While a layout is
// waited for, `whileWaiting` keeps the window alive.
class LayoutStatistics {
public:
    LayoutStatistics(std::chrono::milliseconds timeLimit, office::WaitForEvents whileWaiting,
                     QString helperProgram = office::HelperProcess::defaultProgram());
    ~LayoutStatistics();
    LayoutStatistics(const LayoutStatistics &) = delete;
    LayoutStatistics &operator=(const LayoutStatistics &) = delete;

    // nullopt when the document could not be laid out (its reason is then dropped: the caller shows the
    // value as not set, as for any count the document lacks).
    std::optional<int> pages(const std::shared_ptr<word::Document> &document);
    std::optional<int> lines(const std::shared_ptr<word::Document> &document);
    void end();

private:
    const office::Measurement &measurementOf(const std::shared_ptr<word::Document> &document);

    std::chrono::milliseconds m_timeLimit;
    office::WaitForEvents m_whileWaiting;
    QString m_helperProgram;
    std::unique_ptr<office::LayoutClient> m_client;
    std::weak_ptr<word::Document> m_measuredDocument;
    std::unique_ptr<office::Measurement> m_measurement;
};
