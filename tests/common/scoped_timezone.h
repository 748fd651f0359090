// A stretch of a test run in another time zone of the process (TZ), as on
// a PC whose clock keeps daylight saving. Handset times know no zone, so
// nothing a test checks may change under it. The zone before comes back
// when the scope ends.
#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace skedra::test {

// Spring forward on 27 March 2005 at 2:00, 30 March 2025 at 2:00; fall back
// on 26 October 2025 at 3:00.
inline constexpr const char *DaylightSavingZone = "Europe/Berlin";

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char *zone = DaylightSavingZone)
    {
        if (const char *old = std::getenv("TZ"))
            m_old = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone()
    {
        if (m_old)
            setenv("TZ", m_old->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone &) = delete;
    ScopedTimeZone &operator=(const ScopedTimeZone &) = delete;

private:
    std::optional<std::string> m_old;
};

} // namespace skedra::test
