// pellix-convert: converts video through the Pellix colour transform plug-in,
// loaded by path and driven through the host SDK like any host would.
#include <cstdio>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "host/platform/command_line.h"
#include "tools/pellix_convert/cli_options.h"
#include "tools/pellix_convert/conversion_job.h"
#include "tools/pellix_convert/conversion_plan.h"
#include "tools/pellix_convert/default_run.h"
#include "tools/pellix_convert/info.h"
#include "tools/pellix_convert/interrupt.h"
#include "tools/pellix_convert/tool_error.h"

namespace {

int Run(const std::vector<std::string>& args) {
  using namespace pellix::convert;
  const Options options = ParseCommandLine(args);
  switch (options.mode) {
    case Mode::Help:
      std::cout << UsageText();
      break;
    case Mode::Version:
      std::cout << "pellix-convert " << PELLIX_VERSION << "\n";
      break;
    case Mode::Info:
      PrintPluginInfo(options.pluginPath, std::cout);
      break;
    case Mode::Convert:
      RunConversion(PlanConversion(options));
      break;
    case Mode::DefaultRun:
      RunDefault(DefaultRunFromOptions(options), std::cout);
      break;
  }
  std::cout.flush();
  if (!std::cout) throw ToolError("cannot write standard output");
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  pellix::convert::InstallInterruptCleanup();
  try {
    return Run(pellix::platform::Utf8Arguments(argc, argv));
  } catch (const pellix::convert::ToolError& error) {
    std::fprintf(stderr, "pellix-convert: %s\n", error.what());
    return error.status();
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "pellix-convert: out of memory\n");
  } catch (const std::exception& error) {
    std::fprintf(stderr, "pellix-convert: %s\n", error.what());
  }
  return pellix::convert::kExitFailure;
}
