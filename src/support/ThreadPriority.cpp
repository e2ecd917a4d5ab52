#include "support/ThreadPriority.h"

#include <algorithm>
#include <cerrno>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

void LowerThreadPriority() {
    // On Linux a nice value set with the thread's id applies to that thread alone.
    const id_t thread = id_t(::syscall(SYS_gettid));
    errno = 0;
    const int own = ::getpriority(PRIO_PROCESS, thread);
    if (errno == 0)
        ::setpriority(PRIO_PROCESS, thread, std::min(own + 10, 19));
}
