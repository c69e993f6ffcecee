#include "tools/pellix_convert/output_file.h"

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

}  // namespace pellix::convert
