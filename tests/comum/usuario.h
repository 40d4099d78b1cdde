// A second user account for tests of files that belong to someone else.
#pragma once

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

namespace teste {

// The uid and gid of an unprivileged account that tests may switch to, created with
// useradd when it is missing. Nothing when the tests do not run as root.
inline std::optional<std::pair<uid_t, gid_t>> OutroUsuario() {
    if (::geteuid() != 0) return std::nullopt;
    // Tests running side by side may both try to create it: useradd refuses while the
    // other holds the password file's lock, so a few tries, a little apart.
    for (int tentativa = 0; tentativa < 20; ++tentativa) {
        if (const passwd* p = ::getpwnam("tarvoteste")) {
            if (p->pw_uid == 0) return std::nullopt;
            return std::make_pair(p->pw_uid, p->pw_gid);
        }
        (void)std::system(
            "useradd --system --no-create-home --shell /usr/sbin/nologin tarvoteste >/dev/null 2>&1");
        if (!::getpwnam("tarvoteste")) ::usleep(100000);
    }
    return std::nullopt;
}

// In a child process: become that user for good (false when it could not be done).
inline bool TornaSe(const std::pair<uid_t, gid_t>& u) {
    return ::setgroups(0, nullptr) == 0 && ::setgid(u.second) == 0 && ::setuid(u.first) == 0 &&
           ::geteuid() != 0;
}

}  // namespace teste
