#pragma once

// The window's texts cross between the calculation's UTF-8 and Windows' UTF-16 here.
#include <string>
#include <string_view>
#include <windows.h>

namespace halvern::win32 {

std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view text);
// What a window or control shows: its caption, or a field's text.
std::wstring windowText(HWND window);

} // namespace halvern::win32
