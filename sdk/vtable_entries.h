// Where the operations of the slot lists sit in a virtual table, and how they
// are called, for a host that calls them by index (a C host, or a host built
// with another compiler).
//
// The SDK's classes are compiled with the Itanium C++ ABI (g++ and clang on
// every platform, mingw-w64 g++ on Windows). There a virtual destructor takes
// two entries, the complete-object destructor and the deleting destructor,
// so operation n > 0 of a slot list is entry n + 1 of the table. On 32-bit
// Windows member functions take `this` in ECX and pop their own stack
// arguments (thiscall); elsewhere `this` is the first ordinary argument.
// A reference parameter is passed as a pointer; bool comes back in the low
// byte of the result register.
#pragma once

#if defined(_MSC_VER)
// MSVC and clang-cl lay out virtual tables and virtual bases differently
// (one destructor entry, virtual-base pointers): a host built with them
// would call the wrong entries. See "Windows hosts" in the hosting guide.
#error "The Tessel SDK headers need the Itanium C++ ABI (mingw-w64 g++ or clang on Windows)"
#endif

namespace Tessel {

// Entries the virtual destructor takes at the start of every table.
constexpr int kDestructorEntries = 2;

// Table entry of operation `slot` of a slot list (slot 0, the destructor, is
// entry 0 for the complete-object and entry 1 for the deleting destructor).
constexpr int VirtualTableEntry(int slot) { return slot == 0 ? 0 : slot + kDestructorEntries - 1; }

}  // namespace Tessel

// The calling convention of a member function, for a pointer to a function
// that takes the object as its first argument. (A C compiler takes it as it
// is; g++ applies it too but warns with -Wattributes that it is no member.)
#if defined(_WIN32) && defined(__i386__)
#define TESSEL_MEMBER_CALL __attribute__((thiscall))
#else
#define TESSEL_MEMBER_CALL
#endif
