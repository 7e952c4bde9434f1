#include "platform/SettingsStore.h"

CAdapterSettings* g_pAdapterSettings = nullptr;
