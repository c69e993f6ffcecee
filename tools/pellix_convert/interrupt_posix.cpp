// Interruptions on POSIX: signal handlers that unlink the pending files with
// async-signal-safe calls only, and signal masks for the shields.
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

#include "tools/pellix_convert/interrupt.h"

namespace pellix::convert {
namespace {

constexpr int kInterruptSignals[] = {SIGINT, SIGTERM, SIGQUIT, SIGHUP};

// Fixed storage the handler can read: each entry's text is written before
// its flag publishes it, and the flag is cleared before the text is reused.
constexpr int kPendingSlots = 16;
constexpr size_t kPendingPathBytes = 4096;
char pendingPaths[kPendingSlots][kPendingPathBytes];
std::atomic<bool> pendingInUse[kPendingSlots];
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler reads these flags");

sigset_t InterruptSet() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : kInterruptSignals) sigaddset(&set, signal);
  return set;
}

thread_local int shieldDepth = 0;
thread_local sigset_t maskBeforeShield;

extern "C" void RemovePendingAndDie(int signal) {
  for (int i = 0; i < kPendingSlots; ++i) {
    if (pendingInUse[i].load(std::memory_order_acquire)) unlink(pendingPaths[i]);
  }
  // The default action, taken when the handler returns (the signal stays
  // blocked until then): the process ends by the signal.
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
  raise(signal);
}

}  // namespace

void InstallInterruptCleanup() {
  signal(SIGPIPE, SIG_IGN);
  for (int signal : kInterruptSignals) {
    struct sigaction previous {};
    if (sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = RemovePendingAndDie;
    // Another interruption during the cleanup waits for it.
    action.sa_mask = InterruptSet();
    sigaction(signal, &action, nullptr);
  }
}

InterruptShield::InterruptShield() {
  if (shieldDepth++ > 0) return;
  const sigset_t set = InterruptSet();
  pthread_sigmask(SIG_BLOCK, &set, &maskBeforeShield);
}

InterruptShield::~InterruptShield() {
  if (--shieldDepth > 0) return;
  pthread_sigmask(SIG_SETMASK, &maskBeforeShield, nullptr);
}

void LeaveInterruptsToMainThread() {
  const sigset_t set = InterruptSet();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

int RegisterPendingFile(const std::string& path) {
  if (path.size() >= kPendingPathBytes) return -1;
  for (int i = 0; i < kPendingSlots; ++i) {
    if (pendingInUse[i].load(std::memory_order_relaxed)) continue;
    std::memcpy(pendingPaths[i], path.c_str(), path.size() + 1);
    pendingInUse[i].store(true, std::memory_order_release);
    return i;
  }
  return -1;
}

void ForgetPendingFile(int registration) {
  if (registration >= 0) pendingInUse[registration].store(false, std::memory_order_release);
}

}  // namespace pellix::convert
