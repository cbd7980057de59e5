// The floor of the Windows toolkit: a plain Win32 window with the calculator's nine controls
// that are windows at their places and nothing else (no icon, logo, colours, font fitting, DPI
// handling or calculation), for the start-up benchmark to compare the Windows program with.
#include <windows.h>

namespace {

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"MinimalWin32";
    RegisterClassW(&windowClass);
    RECT frame{0, 0, 312, 213};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowW(L"MinimalWin32", L"Minimal Win32 window", WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    struct Control {
        const wchar_t* kind;
        const wchar_t* text;
        int left, top, width, height;
    };
    const Control controls[] = {
        {L"EDIT", L"", 200, 136, 89, 19},
        {L"EDIT", L"550", 200, 80, 89, 19},
        {L"BUTTON", L"Calculate fee", 32, 136, 89, 17},
        {L"EDIT", L"", 200, 56, 89, 19},
        {L"STATIC", L"www.hfc.example", 2, 0, 87, 13},
        {L"STATIC", L"This software is free. Feel free to donate to halvern 4711023", 8, 192, 281,
         17},
        {L"STATIC", L"Fee $", 168, 139, 28, 13},
        {L"STATIC", L"Goldprice $/ounce", 104, 82, 89, 17},
        {L"STATIC", L"Input transfered amount $", 72, 59, 121, 17},
    };
    for (const Control& control : controls) {
        const DWORD edge = control.kind[0] == L'E' ? WS_EX_CLIENTEDGE : 0;
        CreateWindowExW(edge, control.kind, control.text, WS_CHILD | WS_VISIBLE, control.left,
                        control.top, control.width, control.height, window, nullptr, instance,
                        nullptr);
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
