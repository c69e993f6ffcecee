// Interruptions on Windows: a console control handler (Ctrl-C, Ctrl-Break,
// closing the console, logging off, shutting down) runs on a thread of its
// own, waits for any shield, removes the pending files and ends the process
// with the status Windows gives an interrupted program.
#include <windows.h>

#include <mutex>
#include <set>

#include "host/platform/wide_text_windows.h"
#include "tools/pellix_convert/interrupt.h"

namespace pellix::convert {
namespace {

constexpr UINT kInterruptedStatus = 0xC000013A;  // STATUS_CONTROL_C_EXIT

// Held while a shield lives and while the handler cleans up.
std::mutex shieldLock;
thread_local int shieldDepth = 0;

constexpr int kPendingSlots = 16;
std::wstring pendingPaths[kPendingSlots];
bool pendingInUse[kPendingSlots];
std::mutex pendingLock;

BOOL WINAPI RemovePendingAndExit(DWORD) {
  const std::lock_guard<std::mutex> shield(shieldLock);
  {
    const std::lock_guard<std::mutex> pending(pendingLock);
    for (int i = 0; i < kPendingSlots; ++i) {
      if (pendingInUse[i]) DeleteFileW(pendingPaths[i].c_str());
    }
  }
  ExitProcess(kInterruptedStatus);
}

}  // namespace

void InstallInterruptCleanup() { SetConsoleCtrlHandler(RemovePendingAndExit, TRUE); }

InterruptShield::InterruptShield() {
  if (shieldDepth++ == 0) shieldLock.lock();
}

InterruptShield::~InterruptShield() {
  if (--shieldDepth == 0) shieldLock.unlock();
}

// The handler runs on its own thread: no worker is ever stopped by it.
void LeaveInterruptsToMainThread() {}

int RegisterPendingFile(const std::string& path) {
  const std::lock_guard<std::mutex> pending(pendingLock);
  for (int i = 0; i < kPendingSlots; ++i) {
    if (pendingInUse[i]) continue;
    pendingPaths[i] = platform::WidePath(path);
    pendingInUse[i] = true;
    return i;
  }
  return -1;
}

void ForgetPendingFile(int registration) {
  if (registration < 0) return;
  const std::lock_guard<std::mutex> pending(pendingLock);
  pendingInUse[registration] = false;
}

}  // namespace pellix::convert
