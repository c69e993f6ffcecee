#include "tools/pellix_convert/info.h"

#include <cstdio>
#include <cstdlib>
#include <iomanip>

#include "host/host_error.h"
#include "host/plugin_info.h"
#include "tools/pellix_convert/plugin_conversion.h"
#include "tools/pellix_convert/routine_report.h"
#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {
namespace {

// Ports are created so that the format properties have something to show.
constexpr const char* kShownInput = "I420";
constexpr const char* kShownOutput = "BGRA";

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08x", value);
  return text;
}

std::string FourCCText(const std::optional<uint32_t>& code) {
  if (!code) return "";
  std::string letters;
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>((*code >> (8 * i)) & 0xff);
    letters += (c >= 0x20 && c < 0x7f) ? c : '?';
  }
  return "  (FourCC " + Hex(*code) + " '" + letters + "')";
}

}  // namespace

void PrintPluginInfo(const std::string& pluginPath, std::ostream& out) {
  const auto library = LoadPlugin(pluginPath);
  PluginInfo info;
  try {
    info = ReadPluginInfo(*library, kShownInput, kShownOutput);
  } catch (const HostError& error) {
    throw ToolError(std::string("cannot read the plug-in's properties: ") + error.what());
  }
  const ComponentProperties& p = info.properties;
  out << "plug-in  " << info.path << "\n\n";
  out << "properties (ports created as " << kShownInput << " -> " << kShownOutput << "):\n";
  out << "  Name          " << p.name << "\n";
  out << "  Type          " << p.type << "\n";
  out << "  InputFormat   " << p.inputFormat << FourCCText(p.inputFourCC) << "\n";
  out << "  OutputFormat  " << p.outputFormat << FourCCText(p.outputFourCC) << "\n";
  out << "  keys listed   ";
  for (size_t i = 0; i < p.names.size(); ++i) out << (i ? ", " : "") << p.names[i];
  out << "\n\ninterfaces:\n";
  for (const IdentifierAnswer& answer : info.identifiers) {
    out << "  " << std::left << std::setw(38) << answer.identifier
        << (answer.result == 0 ? "answered" : "not answered (" + std::to_string(answer.result) + ")") << "\n";
  }
  out << "\n";
  PrintRoutineChoice(ReadCpuFeatures(), ParseTierCap(std::getenv(kTierCapVariable)), out);
}

}  // namespace pellix::convert
