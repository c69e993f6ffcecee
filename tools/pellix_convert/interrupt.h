// What an interruption (Ctrl-C, SIGTERM, SIGQUIT, SIGHUP, or their
// equivalents elsewhere) leaves behind: nothing that was not there before.
// Hidden temporary files are registered while they exist; an interruption
// removes every registered file and then ends the process as the signal
// would have without a handler, so the exit status still says interrupted.
//
// Creating a temporary file and registering it, or renaming it into place
// and deregistering it, happens inside an InterruptShield: an interruption
// that arrives meanwhile waits until the shield goes, so it never falls
// between the file's existence and its registration.
#pragma once

#include <string>

namespace pellix::convert {

// Installs the cleanup for the interruptions the process does not ignore
// (a run under nohup keeps ignoring hang-ups). A closed pipe downstream
// becomes a write error with a message from then on, not a silent death.
void InstallInterruptCleanup();

// Holds interruptions off in the calling thread while alive; they take
// effect when the outermost shield goes.
class InterruptShield {
 public:
  InterruptShield();
  ~InterruptShield();
  InterruptShield(const InterruptShield&) = delete;
  InterruptShield& operator=(const InterruptShield&) = delete;
};

// Interruptions are handled by the main thread only: a worker thread calls
// this first, so a signal never stops it half-way through a frame while the
// main thread holds a shield.
void LeaveInterruptsToMainThread();

// Registers a file to remove on interruption; call inside a shield. Returns
// the registration, or -1 when the path is too long or too many files are
// pending (the caller must then not keep the file).
int RegisterPendingFile(const std::string& path);
// Forgets a registration (-1 is ignored); call inside a shield.
void ForgetPendingFile(int registration);

}  // namespace pellix::convert
