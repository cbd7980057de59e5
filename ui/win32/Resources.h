#pragma once

// Resource identifiers shared by the resource script and the code that loads them. Plain
// numbers, so the resource compiler reads this file as it is.
#define HALVERN_LOGO_RESOURCE 101
#define HALVERN_DOUBLED_LOGO_RESOURCE 102
#define HALVERN_LARGE_ICON_RESOURCE 103

#ifdef __cplusplus
namespace halvern::win32 {
inline constexpr const wchar_t* iconResource = L"IDI_ICON1"; // named in the version resource
inline constexpr int logoResource = HALVERN_LOGO_RESOURCE;
inline constexpr int doubledLogoResource = HALVERN_DOUBLED_LOGO_RESOURCE;
// The icon at 48 to 256 pixels, for the window's big icon on dense screens. Numbered, so it sorts
// after the named program icon, which Explorer shows for the file.
inline constexpr int largeIconResource = HALVERN_LARGE_ICON_RESOURCE;
} // namespace halvern::win32
#endif
