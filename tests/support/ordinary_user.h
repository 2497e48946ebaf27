#pragma once

#include <functional>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tvx::testing {

// Runs check in a child process as an ordinary user and gives its exit code: as root, the tests would
// write into any folder and read any file, so the child becomes "nobody" first.
inline int as_ordinary_user(const std::function<int()>& check) {
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            _exit(99);
        _exit(check());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace tvx::testing
