#include "tools/pellix_convert/progress.h"

#include <cstdio>

#include "tools/pellix_convert/terminal.h"

namespace pellix::convert {
namespace {

constexpr double kQuietSeconds = 1.0;  // shorter runs draw nothing
constexpr double kRedrawSeconds = 0.25;

std::string Duration(double seconds) {
  const auto whole = static_cast<unsigned long long>(seconds + 0.5);
  char text[32];
  std::snprintf(text, sizeof text, "%llu:%02llu", whole / 60, whole % 60);
  return text;
}

}  // namespace

std::string ProgressText(uint64_t done, std::optional<uint64_t> total, double seconds) {
  const double fps = seconds > 0 ? static_cast<double>(done) / seconds : 0.0;
  char text[128];
  if (total && *total >= done) {
    const double left = fps > 0 ? static_cast<double>(*total - done) / fps : 0.0;
    std::snprintf(text, sizeof text, "frame %llu/%llu  %.1f fps  %s left", static_cast<unsigned long long>(done),
                  static_cast<unsigned long long>(*total), fps, Duration(left).c_str());
  } else {
    std::snprintf(text, sizeof text, "frame %llu  %.1f fps", static_cast<unsigned long long>(done), fps);
  }
  return text;
}

ProgressLine::ProgressLine(bool enabled)
    : enabled_(enabled && StandardErrorIsTerminal()), start_(Clock::now()), lastDraw_(start_) {}

ProgressLine::~ProgressLine() {
  if (drawn_) std::fputc('\n', stderr);
}

void ProgressLine::update(uint64_t done) {
  done_ = done;
  if (!enabled_) return;
  const Clock::time_point now = Clock::now();
  const double elapsed = std::chrono::duration<double>(now - start_).count();
  if (elapsed < kQuietSeconds || std::chrono::duration<double>(now - lastDraw_).count() < kRedrawSeconds) return;
  lastDraw_ = now;
  // Padding clears what a longer previous line left behind.
  std::fprintf(stderr, "\r%-60s", ProgressText(done, total_, elapsed).c_str());
  std::fflush(stderr);
  drawn_ = true;
}

void ProgressLine::finish() {
  if (!drawn_) return;
  const double elapsed = std::chrono::duration<double>(Clock::now() - start_).count();
  std::fprintf(stderr, "\r%-60s\n", ProgressText(done_, total_, elapsed).c_str());
  drawn_ = false;
}

}  // namespace pellix::convert
