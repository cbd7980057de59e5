#include "ui/win32/WindowThread.h"

// Windows headers depend on their order.
// clang-format off
#include <windows.h>
#include <objbase.h>
#include <commctrl.h>
// clang-format on

namespace halvern::win32 {

WindowThread::WindowThread()
    : m_apartment(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

WindowThread::~WindowThread() {
    if (m_apartment)
        CoUninitialize();
}

} // namespace halvern::win32
