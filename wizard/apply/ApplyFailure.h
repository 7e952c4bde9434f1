#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// What the store could not do for the chosen adapter: open its keys, or one write.
enum class StoreStep { Open, IPAddress, SubnetMask, DefaultGateway, NameServer, DisableDhcp };

// The step that stopped the apply sequence once the snapshot was saved.
struct ApplyFailure {
    enum class Step { NetworkShell, Tool, Store };
    Step step = Step::Store;
    // The program's parameters and exit status (nullopt: it could not be started).
    std::wstring parameters;
    std::optional<DWORD> exitStatus;
    // What the store could not do.
    std::vector<StoreStep> storeSteps;
};
