#include "platform/LayoutStatistics.h"
#include "layout/LayoutSession.h"
#include "word/Application.h"

LayoutStatistics::LayoutStatistics(std::chrono::milliseconds timeLimit) : m_timeLimit(timeLimit) {}

LayoutStatistics::~LayoutStatistics() = default;

bool LayoutStatistics::available() { return layout::LayoutSession::available(); }

const layout::Measurement &LayoutStatistics::measurementOf(const std::shared_ptr<word::Document> &document)
{
    if (m_measurement && m_measuredDocument.lock() == document)
        return *m_measurement;
    if (!m_session)
        m_session = std::make_unique<layout::LayoutSession>();
    m_measurement = std::make_unique<layout::Measurement>(m_session->measure(document->fullName(), m_timeLimit));
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
    m_session.reset();
    m_measurement.reset();
    m_measuredDocument.reset();
}
