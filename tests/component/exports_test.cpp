// The plug-in library's dynamic symbol table offers exactly one function.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "host/plugin_library.h"

namespace {

bool IsSanitizerRuntime(const std::string& name) {
  for (const char* prefix : {"__asan", "__ubsan", "__lsan", "__sanitizer", "__tsan"}) {
    if (name.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

TEST(ExportsTest, OnlyGetPluginIsAnExportedFunction) {
  const std::string command = "nm -D --defined-only '" + pellix::PluginLibrary::defaultPath() + "' 2>&1";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  ASSERT_NE(pipe, nullptr);
  std::string listing;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) listing += buffer;
  std::set<std::string> functions;
  std::istringstream lines(listing);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string address, type, name;
    ASSERT_TRUE(static_cast<bool>(fields >> address >> type >> name)) << "unexpected nm output: " << line;
    // Code symbols: text, weak and indirect functions.
    if (type == "T" || type == "t" || type == "W" || type == "w" || type == "i") {
      if (!IsSanitizerRuntime(name)) functions.insert(name);
    }
  }
  EXPECT_EQ(functions, std::set<std::string>{"_getPlugin"}) << listing;
}

}  // namespace
