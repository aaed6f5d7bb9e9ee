// What `info` prints about a loaded plug-in: identity, pins, programs, and every
// parameter with its current display text, as text or as JSON.
#pragma once

#include "host/PluginHost.h"

#include <ostream>

// [main thread]
void printPluginInfo(const PluginHost& host, bool json, std::ostream& out);
