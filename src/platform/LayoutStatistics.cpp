// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LayoutStatistics.h"
#include "office/LayoutClient.h"
#include "word/Application.h"
#include <QFile>

LayoutStatistics::LayoutStatistics(std::chrono::milliseconds timeLimit, office::WaitForEvents whileWaiting,
                                   QString helperProgram)
    : m_timeLimit(timeLimit), m_whileWaiting(std::move(whileWaiting)), m_helperProgram(std::move(helperProgram))
{
}

LayoutStatistics::~LayoutStatistics() = default;

const office::Measurement &LayoutStatistics::measurementOf(const std::shared_ptr<word::Document> &document)
{
    if (m_measurement && m_measuredDocument.lock() == document)
        return *m_measurement;
    if (!m_client)
        m_client =
            std::make_unique<office::LayoutClient>(office::LayoutClient::Options{m_helperProgram, m_whileWaiting});
    m_measurement = std::make_unique<office::Measurement>(
        m_client->measure(QFile::encodeName(document->fullName()), document->properties().format(), m_timeLimit));
    m_measuredDocument = document;
    return *m_measurement;
}

std::optional<int> LayoutStatistics::pages(const std::shared_ptr<word::Document> &document)
{
    return measurementOf(document).pages;
}

std::optional<int> LayoutStatistics::lines(const std::shared_ptr<word::Document> &document)
{
    return measurementOf(document).lines;
}

void LayoutStatistics::end()
{
    m_client.reset();
    m_measurement.reset();
    m_measuredDocument.reset();
}
