// The identifier constants, in the order the host's vocabulary lists them.
// Each is released at exit before the default allocator it used, because
// that allocator was constructed (and its destructor registered) first.
#include "sdk/record_layout.h"  // the shared records are checked wherever the SDK is built
#include "sdk/values.h"

namespace Tessel {

const String<char> InterfaceComponentId("tesselhub.interface.component");
const String<char> ComponentInputId("tesselhub.component.input");
const String<char> InterfaceInputId("tesselhub.interface.input");
const String<char> ComponentOutputSingleId("tesselhub.component.output.single");
const String<char> ComponentOutputMultipleId("tesselhub.component.output.multiple");
const String<char> ComponentOutputId("tesselhub.component.output");
const String<char> InterfaceOutputId("tesselhub.interface.output");
const String<char> ComponentTransformId("tesselhub.component.transform");
const String<char> InterfaceTransformId("tesselhub.interface.transform");

}  // namespace Tessel
