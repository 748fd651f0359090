#include "session.h"

#include "hexcoding.h"

namespace skedra {

SessionState::SessionState() = default;
SessionState::~SessionState() = default;

void SessionState::clearList()
{
    ScheduleList.clear();
    Dirty = QStringLiteral("0");
}

void SummaryRecorder::remember(const QString &summary)
{
    if (!m_countsMade) {
        for (int i = 0; i < Compared; ++i)
            ++m_counts[m_history[size_t(i)]];
        m_countsMade = true;
    }
    if (m_counts.contains(summary) || m_index >= SummaryHistorySize)
        return;
    QString &slot = m_history[size_t(m_index)];
    if (m_index < Compared) {
        const auto old = m_counts.find(slot);
        if (old != m_counts.end() && --old.value() == 0)
            m_counts.erase(old);
        ++m_counts[summary];
    }
    slot = summary;
    ++m_index;
}

} // namespace skedra
