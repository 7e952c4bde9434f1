#pragma once

#include "win_base/DecimalText.h"

namespace SettingsSnapshot {

using WinBase::DecimalText;

}  // namespace SettingsSnapshot
