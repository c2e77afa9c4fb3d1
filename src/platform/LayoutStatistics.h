#pragma once
#include <chrono>
#include <memory>
#include <optional>

namespace layout {
class LayoutSession;
struct Measurement;
}
namespace word {
class Document;
}

// Pages and lines for the documents of one run that store none, from a layout by the helper office.
// The office is started on the first document that needs it and ended by end() or destruction, so
// nothing is left running after the run. One document's layout is made once and kept while it is the
// one being asked about, so the page-count wait and the cells read the same figures.
class LayoutStatistics {
public:
    explicit LayoutStatistics(std::chrono::milliseconds timeLimit);
    ~LayoutStatistics();
    LayoutStatistics(const LayoutStatistics &) = delete;
    LayoutStatistics &operator=(const LayoutStatistics &) = delete;

    // Whether layouts can be had on this machine at all.
    static bool available();

    // nullopt when the document could not be laid out (its reason is then dropped: the caller shows the
    // value as not set, as for any count the document lacks).
    std::optional<int> pages(const std::shared_ptr<word::Document> &document);
    std::optional<int> lines(const std::shared_ptr<word::Document> &document);
    void end();

private:
    const layout::Measurement &measurementOf(const std::shared_ptr<word::Document> &document);

    std::chrono::milliseconds m_timeLimit;
    std::unique_ptr<layout::LayoutSession> m_session;
    std::weak_ptr<word::Document> m_measuredDocument;
    std::unique_ptr<layout::Measurement> m_measurement;
};
