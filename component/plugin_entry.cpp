// The library's one export: the factory the host calls to obtain a new
// component, holding one reference for the caller.
#include <new>

#include <boost/thread/exceptions.hpp>

#include "component/color_transform.h"
#include "component/export_attribute.h"

extern "C" PELLIX_EXPORT int32_t _getPlugin(Tessel::PluginHost* host, Tessel::Plugin** plugin) {
  if (plugin == nullptr) return 0;
  // Failure to get memory (or the mutex's system resources) is reported by a
  // null object, never by an exception escaping into the host.
  try {
    *plugin = new PellixColorTransform(host);
  } catch (const std::bad_alloc&) {
    *plugin = nullptr;
  } catch (const boost::thread_resource_error&) {
    *plugin = nullptr;
  }
  return 0;
}
