// Enumerates a key of many values and one of many subkeys through the library's
// iterators and through a hand-written RegEnumValueA / RegEnumKeyExA loop with buffers
// sized once, prints both times and their ratio, and counts the allocations made per
// step. Usage: registry_benchmark [entries] [runs]. Exits 1 when a plain step allocates.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "registry/Registry.h"

// Every allocation through the global operator is counted.
namespace {
std::atomic<unsigned long> g_allocations{0};
}

void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

namespace {

using BrenlowTools::CRegistryKey;

double Seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A scratch key under HKEY_CURRENT_USER, removed at the end.
class ScratchKey {
public:
    explicit ScratchKey(const std::string& name)
        : m_path("Software\\TarveloBenchmark\\" + name + std::to_string(GetCurrentProcessId())) {
        RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str());
        if (RegCreateKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key,
                            nullptr) != ERROR_SUCCESS) {
            std::fprintf(stderr, "cannot create %s\n", m_path.c_str());
            std::exit(2);
        }
    }
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;
    ~ScratchKey() {
        RegCloseKey(m_key);
        RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, m_path.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TarveloBenchmark");
    }
    HKEY Handle() const { return m_key; }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    HKEY m_key = nullptr;
};

// The loop a careful caller would write by hand: maxima once, buffers once.
unsigned long HandValues(HKEY key) {
    DWORD longestName = 0;
    DWORD longestData = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName,
                     &longestData, nullptr, nullptr);
    std::vector<char> name(longestName + 1);
    std::vector<BYTE> data(longestData + 1);
    unsigned long checksum = 0;
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &size) !=
            ERROR_SUCCESS) {
            break;
        }
        checksum += static_cast<unsigned char>(name[0]) + size + type;
    }
    return checksum;
}

unsigned long HandSubkeys(HKEY key) {
    DWORD longestName = 0;
    DWORD longestClass = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, &longestName, &longestClass, nullptr, nullptr,
                     nullptr, nullptr, nullptr);
    std::vector<char> name(longestName + 1);
    std::vector<char> className(longestClass + 1);
    unsigned long checksum = 0;
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD classLength = static_cast<DWORD>(className.size());
        FILETIME lastWrite;
        if (RegEnumKeyExA(key, index, name.data(), &nameLength, nullptr, className.data(), &classLength,
                          &lastWrite) != ERROR_SUCCESS) {
            break;
        }
        checksum += static_cast<unsigned char>(name[0]) + nameLength;
    }
    return checksum;
}

struct StepCount {
    unsigned long steps = 0;
    unsigned long allocationsInSteps = 0;  // after the first step, up to the end
};

unsigned long IteratorValues(const CRegistryKey& key, StepCount& count, bool displayText) {
    unsigned long checksum = 0;
    auto it = key.ValuesBegin();
    const CRegistryKey::ValueListIterator end = key.ValuesEnd();
    const unsigned long before = g_allocations.load();
    for (; it != end; it.Advance()) {
        checksum += static_cast<unsigned char>(it.GetName()[0]) + it.GetSize() + it.GetType();
        if (displayText) checksum += static_cast<unsigned char>(it.GetDisplayText()[0]);
        ++count.steps;
    }
    count.allocationsInSteps = g_allocations.load() - before;
    return checksum;
}

unsigned long IteratorSubkeys(const CRegistryKey& key, StepCount& count) {
    unsigned long checksum = 0;
    auto it = key.SubkeysBegin();
    const CRegistryKey::SubkeyListIterator end = key.SubkeysEnd();
    const unsigned long before = g_allocations.load();
    for (; it != end; it.Advance()) {
        const char* name = it.GetName();
        checksum += static_cast<unsigned char>(name[0]) + static_cast<unsigned long>(std::strlen(name));
        ++count.steps;
    }
    count.allocationsInSteps = g_allocations.load() - before;
    return checksum;
}

struct Timing {
    double hand = 1e30;
    double iterator = 1e30;
};

template <class Hand, class Iterate>
Timing Compare(int runs, Hand hand, Iterate iterate) {
    Timing best;
    for (int run = 0; run < runs; ++run) {  // alternate which goes first; keep the best of each
        unsigned long handSum = 0;
        unsigned long iteratorSum = 0;
        const auto timeHand = [&] {
            const double start = Seconds();
            handSum = hand();
            best.hand = std::min(best.hand, Seconds() - start);
        };
        const auto timeIterators = [&] {
            const double start = Seconds();
            iteratorSum = iterate();
            best.iterator = std::min(best.iterator, Seconds() - start);
        };
        if (run % 2 == 0) {
            timeHand();
            timeIterators();
        } else {
            timeIterators();
            timeHand();
        }
        if (handSum != iteratorSum) {
            std::fprintf(stderr, "the two loops disagree (%lu / %lu)\n", handSum, iteratorSum);
            std::exit(2);
        }
    }
    return best;
}

void Report(const char* what, int entries, const Timing& timing) {
    std::printf("%-8s %6d entries: hand loop %8.2f ms, iterators %8.2f ms, ratio %.3f\n", what, entries,
                timing.hand * 1000.0, timing.iterator * 1000.0, timing.iterator / timing.hand);
}

}  // namespace

int main(int argc, char** argv) {
    const int entries = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 15;
    if (entries < 1 || runs < 1) {
        std::fprintf(stderr, "usage: registry_benchmark [entries] [runs]\n");
        return 2;
    }

    const ScratchKey valueKey("values");
    for (int i = 0; i < entries; ++i) {
        const std::string name = "value" + std::to_string(i);
        const std::string text(static_cast<size_t>(i % 40), 't');
        const DWORD number = static_cast<DWORD>(i);
        if (i % 2 == 0) {
            RegSetValueExA(valueKey.Handle(), name.c_str(), 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&number), sizeof number);
        } else {
            RegSetValueExA(valueKey.Handle(), name.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1));
        }
    }
    const ScratchKey subkeyKey("subkeys");
    for (int i = 0; i < entries; ++i) {
        HKEY child = nullptr;
        const std::string name = "subkey" + std::to_string(i);
        RegCreateKeyExA(subkeyKey.Handle(), name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child,
                        nullptr);
        RegCloseKey(child);
    }

    const CRegistryKey values(HKEY_CURRENT_USER, valueKey.Path().c_str(), KEY_READ, nullptr);
    const CRegistryKey subkeys(HKEY_CURRENT_USER, subkeyKey.Path().c_str(), KEY_READ, nullptr);
    StepCount valueSteps;
    StepCount subkeySteps;
    StepCount displaySteps;
    const Timing valueTiming = Compare(
        runs, [&] { return HandValues(values); },
        [&] { return IteratorValues(values, valueSteps = StepCount(), false); });
    const Timing subkeyTiming = Compare(
        runs, [&] { return HandSubkeys(subkeys); },
        [&] { return IteratorSubkeys(subkeys, subkeySteps = StepCount()); });
    IteratorValues(values, displaySteps, true);

    std::printf("best of %d runs each, alternating which loop goes first\n", runs);
    Report("values", entries, valueTiming);
    Report("subkeys", entries, subkeyTiming);
    std::printf("allocations in %lu value steps: %lu; in %lu subkey steps: %lu\n", valueSteps.steps,
                valueSteps.allocationsInSteps, subkeySteps.steps, subkeySteps.allocationsInSteps);
    std::printf("allocations in %lu value steps asking for display text: %lu\n", displaySteps.steps,
                displaySteps.allocationsInSteps);
    const double worst =
        std::max(valueTiming.iterator / valueTiming.hand, subkeyTiming.iterator / subkeyTiming.hand);
    std::printf("target 1.05x: %s (worst ratio %.3f)\n", worst <= 1.05 ? "met" : "missed", worst);

    const bool stepsAllocate = valueSteps.allocationsInSteps != 0 || subkeySteps.allocationsInSteps != 0 ||
                               displaySteps.allocationsInSteps != displaySteps.steps;
    if (stepsAllocate)
        std::printf("FAIL: plain steps allocate, or display text allocates more than once a step\n");
    return stepsAllocate ? 1 : 0;
}
