#include "tools/pellix_convert/output_file.h"

#include "tools/pellix_convert/output_kind.h"
#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {
namespace {

// The run's input, which no output may replace.
std::optional<FileIdentity> protectedInput;
std::string protectedInputName;

}  // namespace

void OutputFile::protectInput(const FileIdentity& input, const std::string& name) {
  protectedInput = input;
  protectedInputName = name;
}

void OutputFile::checkNotInput(const std::optional<FileIdentity>& output, const std::string& what) {
  if (protectedInput && output == protectedInput) {
    throw UsageError(what + " is the input " + protectedInputName + " (the same file): give another output");
  }
}

void OutputFile::checkNotInput(const std::string& path) {
  checkNotInput(RegularFileAt(path), "output '" + path + "'");
}

bool WrittenInPlace(OutputKind kind, const std::string& path, bool overwrite) {
  switch (kind) {
    case OutputKind::Stream:
      return true;
    case OutputKind::Folder:
      throw ToolError("output '" + path + "' is a folder");
    case OutputKind::Other:
      throw ToolError("output '" + path +
                      "' is neither a regular file nor a device, FIFO or socket that can be written as a stream "
                      "(a block device, for one): give another output");
    case OutputKind::Regular:
      if (!overwrite) throw ToolError("output '" + path + "' exists (give -y to overwrite it)");
      return false;
    case OutputKind::Nothing:
      return false;
  }
  return false;
}

}  // namespace pellix::convert
