// Frame accounting shared by every frame source of a host: counts frames
// handed out and released, and collects misuse (a release after the last
// reference was given up, a lock or unlock of a released frame, an unbalanced
// unlock). At the end, report().clean() says every frame was released exactly
// once. Thread-safe.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace pellix {

struct LedgerReport {
  uint64_t handedOut = 0;
  uint64_t released = 0;
  std::vector<std::string> outstanding;  // one line per frame still referenced
  std::vector<std::string> problems;     // one line per misuse, in order seen

  bool clean() const { return handedOut == released && outstanding.empty() && problems.empty(); }
  // Several lines summing up the counts, the outstanding frames and the problems.
  std::string describe() const;
};

class FrameLedger {
 public:
  FrameLedger() = default;
  FrameLedger(const FrameLedger&) = delete;
  FrameLedger& operator=(const FrameLedger&) = delete;

  // A frame was handed out; `what` describes it in reports. Returns its ticket.
  uint64_t noteHandedOut(std::string what);
  // The frame of this ticket gave up its last reference. A ticket that is not
  // outstanding is recorded as a problem.
  void noteReleased(uint64_t ticket);
  void noteProblem(uint64_t ticket, const std::string& what);

  LedgerReport report() const;
  uint64_t handedOut() const;
  uint64_t released() const;
  size_t problemCount() const;

 private:
  mutable std::mutex mutex_;
  uint64_t nextTicket_ = 1;
  uint64_t handedOut_ = 0;
  uint64_t released_ = 0;
  std::unordered_map<uint64_t, std::string> outstanding_;
  std::vector<std::string> problems_;
};

}  // namespace pellix
