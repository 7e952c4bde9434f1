#pragma once
// The whole public interface of the BrenlowTools registry library.
#include "registry/Win32Exception.h"
#include "registry/ExpandableBuffer.h"
#include "registry/CountedHandle.h"
#include "registry/RegistryKey.h"
#include "registry/RegistryValue.h"
#include "registry/RegistryIterators.h"
