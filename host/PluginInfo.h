// What `info` prints about a loaded plug-in: identity, pins, programs, and every
// parameter with its current display text and what it can show (its range in its own
// units, or its choices), as text or as JSON.
#pragma once

#include "host/PluginHost.h"

#include <ostream>
#include <string>

// [main thread]
void printPluginInfo(PluginHost& host, bool json, std::ostream& out);
// [any thread] A text as a JSON string, quotes included.
std::string quoted(const std::string& text);
