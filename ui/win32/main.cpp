#include "ui/win32/CalculatorWindow.h"
#include "ui/win32/WindowThread.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
    const halvern::win32::WindowThread thread; // outlives the window
    halvern::win32::CalculatorWindow form1(instance, thread);
    form1.endProgramOnClose();
    form1.show(showCommand);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!form1.translate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
