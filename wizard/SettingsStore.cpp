#include "SettingsStore.h"

CAdapterSettings* g_pAdapterSettings = nullptr;
