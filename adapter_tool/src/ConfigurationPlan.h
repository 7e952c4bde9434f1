// What one configuration run writes: every registry location in order with the values
// it gets, worked out from the settings before any key is opened.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "StaticSettings.h"

// One value to write: its name, type and bytes.
struct ValueWrite {
    const char* name;
    DWORD type;
    std::string bytes;
};

// One location and its values. An adapter key is one of the two keys that hold the
// adapter's addresses; a run needs at least one of them.
struct KeyWrites {
    std::string path;  // below HKEY_LOCAL_MACHINE
    bool adapterKey;
    std::vector<ValueWrite> values;
};

// The locations of a configuration, adapter keys first: the per-service TCP/IP key,
// the TCP/IP interface key, the TCP/IP parameters, the NetBT interface and adapter
// keys. A location that gets no value is left out.
std::vector<KeyWrites> PlanConfiguration(const StaticSettings& settings);
