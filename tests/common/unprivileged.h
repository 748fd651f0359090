// File permissions in tests. Root ignores them, so for root the work runs in
// a child process that has given up root for the user "nobody"; an ordinary
// user runs it directly. Folders on the way to the files must let others
// pass (0755) for the child to reach them.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace skedra::test {

// The result of `work` (0 to 98) where permissions hold, or nothing when
// they cannot be made to hold here; then `why` says why.
inline std::optional<int> wherePermissionsHold(const std::function<int()> &work, std::string &why)
{
    if (::geteuid() != 0)
        return work();
    const pid_t child = ::fork();
    if (child < 0) {
        why = "running as root, and no child process could be made to drop root";
        return std::nullopt;
    }
    if (child == 0) {
        constexpr uid_t nobody = 65534;
        if (::setgid(nobody) != 0 || ::setuid(nobody) != 0)
            ::_exit(99);
        ::_exit(work());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 99) {
        why = "running as root, and root could not be given up for the user nobody";
        return std::nullopt;
    }
    return WEXITSTATUS(status);
}

} // namespace skedra::test
