#pragma once
// Umbrella header of the registry library.
