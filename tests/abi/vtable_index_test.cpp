// The plug-in driven the way a C host drives it: through the raw virtual
// tables, entry by entry, with the member calling convention, and with a host
// object whose table is written by hand. If the compiler's table layout or
// calling convention ever differs from what the SDK states, these calls land
// on the wrong entries and the answers below change.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <typeinfo>
#include <vector>

#include "host/plugin_library.h"
#include "sdk/interfaces.h"

// g++ applies thiscall to free functions and pointers to them as a C
// compiler does, but warns that they are no class members.
#pragma GCC diagnostic ignored "-Wattributes"

namespace {

using Tessel::VirtualTableEntry;

void* Entry(const void* object, int slot) {
  void* const* table = *static_cast<void* const* const*>(object);
  return table[VirtualTableEntry(slot)];
}

template <class Result, class... Args>
Result Call(void* object, int slot, Args... args) {
  using Function = Result(TESSEL_MEMBER_CALL*)(void*, Args...);
  return reinterpret_cast<Function>(Entry(object, slot))(object, args...);
}

// A host object as a C host lays it out: a table pointer and nothing else.
// The plug-in calls only slots 8 and 9; every other entry is null so that a
// call landing elsewhere faults at once.
struct HandWrittenHost {
  void* const* table;
  std::vector<std::pair<int, void*>> calls;
};

void TESSEL_MEMBER_CALL OnReleasing(void* self, void* plugin) {
  static_cast<HandWrittenHost*>(self)->calls.emplace_back(8, plugin);
}
void TESSEL_MEMBER_CALL OnReleased(void* self, void* plugin) {
  static_cast<HandWrittenHost*>(self)->calls.emplace_back(9, plugin);
}

// An Itanium table is preceded by two words, the offset to the top of the
// object and its type information. The plug-in never reads them; an
// instrumented build (UBSan's vptr check) does, so they name PluginHost.
struct HostTable {
  const void* prefix[2] = {nullptr, &typeid(Tessel::PluginHost)};
  void* entries[VirtualTableEntry(9) + 1] = {};
  HostTable() {
    entries[VirtualTableEntry(8)] = reinterpret_cast<void*>(&OnReleasing);
    entries[VirtualTableEntry(9)] = reinterpret_cast<void*>(&OnReleased);
  }
};

class VtableIndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.table = table.entries;
    library.getPlugin()(reinterpret_cast<Tessel::PluginHost*>(&host), reinterpret_cast<Tessel::Plugin**>(&plugin));
    ASSERT_NE(plugin, nullptr);
  }
  void TearDown() override {
    if (plugin != nullptr) {
      EXPECT_EQ((Call<int32_t>(plugin, 2)), 0);
    }
  }

  void* face(const char* id) {
    const Tessel::String<char> text(id, Tessel::defaultAllocator<char>());
    void* out = reinterpret_cast<void*>(1);
    // queryInterface(const String<char>&, void**): the reference is a pointer.
    EXPECT_EQ((Call<int32_t>(plugin, 6, &text, &out)), 0) << id;
    return out;
  }

  pellix::PluginLibrary library{pellix::PluginLibrary::defaultPath()};
  HostTable table;
  HandWrittenHost host{};
  void* plugin = nullptr;
};

TEST_F(VtableIndexTest, PluginSlotsAnswerByIndex) {
  EXPECT_EQ((Call<int32_t>(plugin, 3)), 1);  // refCount
  EXPECT_EQ((Call<int32_t>(plugin, 1)), 2);  // addRef
  EXPECT_EQ((Call<int32_t>(plugin, 2)), 1);  // releaseRef
  EXPECT_EQ((Call<int32_t>(plugin, 4)), 0);  // userWord
  EXPECT_EQ((Call<void*>(plugin, 5)), static_cast<void*>(&host));  // getHost

  const Tessel::String<char> unknown("tesselhub.interface.input", Tessel::defaultAllocator<char>());
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ((Call<int32_t>(plugin, 6, &unknown, &out)), 3);
  EXPECT_EQ(out, nullptr);
  // The C++ view of the same object agrees on the faces.
  auto* typed = static_cast<Tessel::Plugin*>(plugin);
  void* viaCpp = nullptr;
  typed->queryInterface(Tessel::InterfaceComponentId, &viaCpp);
  EXPECT_EQ(face("tesselhub.interface.component"), viaCpp);
}

TEST_F(VtableIndexTest, ComponentSlotsAnswerByIndex) {
  void* component = face("tesselhub.interface.component");
  ASSERT_NE(component, nullptr);
  EXPECT_TRUE((Call<bool>(component, 1, intptr_t{0})));
  EXPECT_TRUE((Call<bool>(component, 2)));
  for (int slot = 3; slot <= 6; ++slot) EXPECT_TRUE((Call<bool>(component, slot, intptr_t{0}, intptr_t{0})));
  EXPECT_FALSE((Call<bool>(component, 7, intptr_t{0}, intptr_t{0}, intptr_t{0}, intptr_t{0}, intptr_t{0})));

  // Room reserved beforehand: the plug-in appends without reallocating, so
  // the buffer stays the host's own allocation (see the hosting guide).
  std::vector<const char*> names{"kept"};
  names.reserve(8);
  const char* const* buffer = names.data();
  EXPECT_TRUE((Call<bool>(component, 8, &names)));
  EXPECT_EQ(names.data(), buffer);
  ASSERT_EQ(names.size(), 5u);
  EXPECT_STREQ(names[1], "InputFormat");
  EXPECT_STREQ(names[4], "Type");

  Tessel::Variant value;
  ASSERT_TRUE((Call<bool>(component, 9, "Type", &value)));
  EXPECT_EQ(value.type, Tessel::VariantType::StringPtr);
  EXPECT_EQ(value.as<Tessel::String<char>>()->toStdString(), "Video|Transform|ColorSpace");
  EXPECT_FALSE((Call<bool>(component, 9, "Nothing", &value)));
}

TEST_F(VtableIndexTest, PortsAreMadeAndAnsweredByIndex) {
  void* transform = face("tesselhub.interface.transform");
  ASSERT_NE(transform, nullptr);
  // TransformInterface is InputInterface followed by OutputInterface: the
  // second face lies one table pointer further on.
  void* outputFace = static_cast<char*>(transform) + sizeof(void*);
  EXPECT_EQ(outputFace, static_cast<void*>(static_cast<Tessel::OutputInterface*>(
                            static_cast<Tessel::TransformInterface*>(transform))));

  void* output = Call<void*>(transform, 1, int32_t{2}, "BGRA", int32_t{0});
  void* input = Call<void*>(outputFace, 1, int32_t{2}, "I420", int32_t{0});
  ASSERT_NE(output, nullptr);
  ASSERT_NE(input, nullptr);
  EXPECT_EQ((Call<void*>(outputFace, 1, int32_t{2}, "YV12", int32_t{0})), nullptr);  // one per side

  Tessel::Variant none;
  EXPECT_TRUE((Call<bool>(output, 1, uint32_t{0}, &none)));                          // query
  EXPECT_FALSE((Call<bool>(input, 3, Tessel::PortMessage::PullFrame, &none)));       // request
  EXPECT_FALSE((Call<bool>(output, 3, Tessel::PortMessage::PullFrame, &none)));      // not connected
  EXPECT_TRUE((Call<bool>(output, 2, Tessel::PortMessage::Disconnect, &none)));      // notify
  EXPECT_FALSE((Call<bool>(output, 4, uint32_t{0}, &none)));                         // configure

  EXPECT_TRUE((Call<bool>(transform, 2, output)));
  EXPECT_TRUE((Call<bool>(outputFace, 2, input)));
  EXPECT_FALSE((Call<bool>(outputFace, 2, input)));
}

TEST_F(VtableIndexTest, FinalReleaseCallsTheHostsEntriesEightAndNine) {
  void* const identity = plugin;
  EXPECT_EQ((Call<int32_t>(plugin, 2)), 0);
  plugin = nullptr;
  const std::vector<std::pair<int, void*>> expected{{8, identity}, {9, identity}};
  EXPECT_EQ(host.calls, expected);
}

TEST(VtableIndexLayout, DestructorTakesTwoEntries) {
  EXPECT_EQ(Tessel::VirtualTableEntry(0), 0);
  EXPECT_EQ(Tessel::VirtualTableEntry(1), Tessel::kDestructorEntries);
  // Entry 1, the deleting destructor, frees the object by itself.
  pellix::PluginLibrary library{pellix::PluginLibrary::defaultPath()};
  Tessel::Plugin* plugin = nullptr;
  library.getPlugin()(nullptr, &plugin);
  ASSERT_NE(plugin, nullptr);
  void* object = plugin;
  using Deleting = void(TESSEL_MEMBER_CALL*)(void*);
  reinterpret_cast<Deleting>((*static_cast<void* const* const*>(object))[1])(object);
}

}  // namespace
