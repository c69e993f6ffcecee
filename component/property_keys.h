// The component's property keys. The map stores these pointers, and
// getPropertyNames hands them out, so they must live as long as the library.
#pragma once

namespace pellix {

inline constexpr char kNameKey[] = "Name";
inline constexpr char kTypeKey[] = "Type";
inline constexpr char kInputFormatKey[] = "InputFormat";
inline constexpr char kOutputFormatKey[] = "OutputFormat";

}  // namespace pellix
