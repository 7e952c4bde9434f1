#include "pages/PageIcons.h"

#include "resources/resource.h"

namespace {

HICON LoadProgramIcon(int widthMetric, int heightMetric) {
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                           IMAGE_ICON, ::GetSystemMetrics(widthMetric),
                                           ::GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR));
}

}  // namespace

CPageIcons::CPageIcons()
    : m_large(LoadProgramIcon(SM_CXICON, SM_CYICON)), m_small(LoadProgramIcon(SM_CXSMICON, SM_CYSMICON)) {}

CPageIcons::~CPageIcons() {
    if (m_large != nullptr) ::DestroyIcon(m_large);
    if (m_small != nullptr) ::DestroyIcon(m_small);
}
