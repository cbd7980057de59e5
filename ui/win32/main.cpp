#include "ui/win32/CalculatorWindow.h"

// Windows headers depend on their order.
// clang-format off
#include <windows.h>
#include <objbase.h>
#include <commctrl.h>
// clang-format on

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); // for the screen readers' names
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    int status = 0;
    {
        halvern::win32::CalculatorWindow form1(instance);
        form1.endProgramOnClose();
        form1.show(showCommand);
        MSG message{};
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (!form1.translate(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        status = static_cast<int>(message.wParam);
    }
    CoUninitialize();
    return status;
}
