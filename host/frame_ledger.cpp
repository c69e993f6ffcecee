#include "host/frame_ledger.h"

#include <algorithm>
#include <sstream>

namespace pellix {

std::string LedgerReport::describe() const {
  std::ostringstream out;
  out << "frames handed out: " << handedOut << ", released: " << released;
  if (!outstanding.empty()) {
    out << "\nstill referenced (" << outstanding.size() << "):";
    for (const std::string& line : outstanding) out << "\n  " << line;
  }
  if (!problems.empty()) {
    out << "\nproblems (" << problems.size() << "):";
    for (const std::string& line : problems) out << "\n  " << line;
  }
  return out.str();
}

uint64_t FrameLedger::noteHandedOut(std::string what) {
  std::lock_guard<std::mutex> lock(mutex_);
  const uint64_t ticket = nextTicket_++;
  ++handedOut_;
  outstanding_.emplace(ticket, std::move(what));
  return ticket;
}

void FrameLedger::noteReleased(uint64_t ticket) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = outstanding_.find(ticket);
  if (it == outstanding_.end()) {
    problems_.push_back("frame #" + std::to_string(ticket) + " released but not outstanding");
    return;
  }
  outstanding_.erase(it);
  ++released_;
}

void FrameLedger::noteProblem(uint64_t ticket, const std::string& what) {
  std::lock_guard<std::mutex> lock(mutex_);
  problems_.push_back("frame #" + std::to_string(ticket) + ": " + what);
}

LedgerReport FrameLedger::report() const {
  LedgerReport report;
  std::vector<std::pair<uint64_t, std::string>> open;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    report.handedOut = handedOut_;
    report.released = released_;
    report.problems = problems_;
    open.assign(outstanding_.begin(), outstanding_.end());
  }
  std::sort(open.begin(), open.end());
  for (const auto& [ticket, what] : open) report.outstanding.push_back("frame #" + std::to_string(ticket) + " " + what);
  return report;
}

uint64_t FrameLedger::handedOut() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return handedOut_;
}

uint64_t FrameLedger::released() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return released_;
}

size_t FrameLedger::problemCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return problems_.size();
}

}  // namespace pellix
