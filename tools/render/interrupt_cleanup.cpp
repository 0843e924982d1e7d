// A fixed table of names, written only with the signals blocked, so that
// the handler reads whole names and calls only async-signal-safe functions.
#include "interrupt_cleanup.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>

namespace {

constexpr int kSlots = 8;  // a frame holds at most three files at once
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

char g_names[kSlots][PATH_MAX];
volatile sig_atomic_t g_used[kSlots];

void on_signal(int sig) {
    for (int i = 0; i < kSlots; ++i)
        if (g_used[i]) unlink(g_names[i]);
    signal(sig, SIG_DFL);
    raise(sig);
}

sigset_t held_set() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : kSignals) sigaddset(&set, s);
    return set;
}

}  // namespace

void CleanupInstall() {
    signal(SIGXFSZ, SIG_IGN);
    struct sigaction action {};
    action.sa_handler = on_signal;
    action.sa_mask = held_set();
    for (int s : kSignals) {
        struct sigaction old {};
        if (sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        sigaction(s, &action, nullptr);
    }
}

void CleanupBlock() {
    const sigset_t set = held_set();
    sigprocmask(SIG_BLOCK, &set, nullptr);
}

void CleanupUnblock() {
    const sigset_t set = held_set();
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

int CleanupHold(const char *path) {
    if (std::strlen(path) >= PATH_MAX) return -1;
    for (int i = 0; i < kSlots; ++i) {
        if (g_used[i]) continue;
        std::strcpy(g_names[i], path);
        g_used[i] = 1;
        return i;
    }
    return -1;
}

void CleanupDrop(int slot) {
    if (slot >= 0 && slot < kSlots) g_used[slot] = 0;
}
