#include "resources/stop_signals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "resources/safe_file.h"

namespace tenfold {

namespace {

volatile std::sig_atomic_t g_signal = 0;
int g_pipe[2] = {-1, -1};

// Async-signal-safe: a store and a write, errno kept for the code it interrupted.
void NoteSignal(int sig) {
    const int saved = errno;
    if (g_signal == 0) g_signal = sig;
    if (g_pipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    }
    errno = saved;
}

}  // namespace

void InstallStopHandlers() {
    static const bool installed = [] {
        IgnoreFileSizeSignal();
        if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) g_pipe[0] = g_pipe[1] = -1;
        struct sigaction action {};
        action.sa_handler = NoteSignal;
        sigemptyset(&action.sa_mask);
        // Interrupted reads and writes go on: the loops look at the flag.
        action.sa_flags = SA_RESTART;
        for (const int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &action, nullptr);
        return true;
    }();
    (void)installed;
}

int StopSignal() { return g_signal; }

int StopExitStatus() { return 128 + g_signal; }

int StopSignalFd() { return g_pipe[0]; }

}  // namespace tenfold
