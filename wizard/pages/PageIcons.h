#pragma once
#include <windows.h>

// The wizard's icon (resource 128) at the sizes the system uses for a window's large
// and small icon (SM_CXICON, SM_CXSMICON), so it stays sharp at any DPI. Owns both.
class CPageIcons {
public:
    // Loads both sizes from the program's resources; a size that cannot be loaded is nullptr.
    CPageIcons();
    ~CPageIcons();
    CPageIcons(const CPageIcons&) = delete;
    CPageIcons& operator=(const CPageIcons&) = delete;

    HICON Large() const { return m_large; }
    HICON Small() const { return m_small; }

private:
    HICON m_large;
    HICON m_small;
};
