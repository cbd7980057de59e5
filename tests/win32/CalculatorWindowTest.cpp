// The Win32 window's wiring, in the process under Wine's null graphics driver: what a user
// sees at start, where the focus goes, what a press, an error and a huge paste do, where every
// control stands and which colours it has at 96 and at 192 DPI, and that every text fits.
#include "ui/win32/CalculatorWindow.h"

#include "WhatUsersSee.h"
#include "WindowCases.h"
#include "ui/shared/ControlTable.h"
#include "ui/shared/GifImage.h"
#include "ui/shared/Layout.h"
#include "ui/win32/Resources.h"

// Windows headers depend on their order.
// clang-format off
#include <windows.h>
#include <objidl.h>
#include <commctrl.h>
// clang-format on

#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

using halvern::win32::CalculatorWindow;
namespace cases = halvern::testing;
namespace ui = halvern::ui;

std::wstring wide(const std::string& text) {
    std::wstring out(text.size(), L'\0');
    out.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                            static_cast<int>(out.size()))));
    return out;
}

std::wstring textOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string narrow(const std::wstring& text) {
    std::string bytes(4 * text.size(), '\0');
    bytes.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                            static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

// Closes the next message box as soon as it is up, keeping its title and words.
class MessageBoxWatcher {
public:
    MessageBoxWatcher() {
        current = this;
        m_hook = SetWindowsHookExW(WH_CBT, &MessageBoxWatcher::hook, nullptr, GetCurrentThreadId());
    }
    ~MessageBoxWatcher() {
        UnhookWindowsHookEx(m_hook);
        current = nullptr;
    }
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher(MessageBoxWatcher&&) = delete;
    MessageBoxWatcher& operator=(MessageBoxWatcher&&) = delete;

    int seen = 0;
    std::string title;
    std::string words;
    HICON icon = nullptr; // the system's shared icon the box shows
    HWND owner = nullptr;
    int buttons = 0;

private:
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE && current != nullptr) {
            auto* box = reinterpret_cast<HWND>(wParam);
            std::array<wchar_t, 64> className{};
            GetClassNameW(box, className.data(), static_cast<int>(className.size()));
            if (std::wstring(className.data()) == L"#32770") {
                ++current->seen;
                current->title = narrow(textOf(box));
                current->owner = GetWindow(box, GW_OWNER);
                current->buttons = 0;
                current->words.clear();
                EnumChildWindows(box, &MessageBoxWatcher::collect, 0);
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static BOOL CALLBACK collect(HWND child, LPARAM /*unused*/) {
        current->words += narrow(textOf(child)) + "\n";
        std::array<wchar_t, 16> className{};
        GetClassNameW(child, className.data(), static_cast<int>(className.size()));
        current->buttons += lstrcmpiW(className.data(), L"Button") == 0 ? 1 : 0;
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            current->icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        return TRUE;
    }

    static inline MessageBoxWatcher* current = nullptr;
    HHOOK m_hook;
};

class Win32Window : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
    }

    void SetUp() override {
        window = std::make_unique<CalculatorWindow>(GetModuleHandleW(nullptr));
        window->show(SW_SHOWNORMAL);
        SetForegroundWindow(window->handle());
        window->show(SW_SHOWNORMAL);
        pump();
    }
    void TearDown() override { window.reset(); }

    HWND control(const char* name) const { return window->control(name); }
    std::string text(const char* name) const { return narrow(textOf(control(name))); }
    void setText(const char* name, const std::string& value) {
        SetWindowTextW(control(name), wide(value).c_str());
    }

    static void pump() {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // A key pressed and released on the focused control, through the window's own keyboard
    // handling first, as the program's message loop does.
    void key(WPARAM virtualKey) {
        for (const UINT type : {UINT{WM_KEYDOWN}, UINT{WM_KEYUP}}) {
            MSG message{GetFocus(), type, virtualKey, type == WM_KEYUP ? 0xC0000001 : 1, 0, {}};
            if (!window->translate(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            pump();
        }
    }
    std::string focused() const {
        for (const ui::ControlRow& spec : ui::controlTable) {
            if (control(spec.name) == GetFocus())
                return spec.name;
        }
        return "(elsewhere)";
    }
    static void putOnClipboard(const std::wstring& text) {
        ASSERT_NE(OpenClipboard(nullptr), FALSE);
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        auto* chars = static_cast<wchar_t*>(GlobalLock(memory));
        std::copy(text.begin(), text.end(), chars);
        chars[text.size()] = L'\0';
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
        CloseClipboard();
    }

    std::unique_ptr<CalculatorWindow> window;
};

// The window as users saw it (what-users-see.tsv): its caption, each control's kind, text, fixed
// colour with black text on it, and whether Tab stops at it; every box at 96 dpi, and at 192
// twice as large to the pixel; Tab and Shift+Tab round the controls in the order seen.
TEST_F(Win32Window, LooksAsUsersSawIt) {
    const auto seen = cases::whatUsersSee();
    // A title bar with the caption, the icon and the system menu that closes it, and a
    // minimise box; a fixed size, as the Linux window has.
    EXPECT_EQ(GetWindowLongW(window->handle(), GWL_STYLE) &
                  (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    HDC dc = CreateCompatibleDC(nullptr);
    for (const cases::SeenControl& row : seen) {
        SCOPED_TRACE(row.name);
        if (row.kind == "window") {
            EXPECT_EQ(narrow(textOf(window->handle())), row.text);
            LOGBRUSH fill{};
            GetObjectW(
                reinterpret_cast<HBRUSH>(GetClassLongPtrW(window->handle(), GCLP_HBRBACKGROUND)),
                sizeof fill, &fill);
            EXPECT_EQ(fill.lbColor, RGB(row.red(), row.green(), row.blue()));
            continue;
        }
        HWND item = control(row.name.c_str());
        std::array<wchar_t, 32> className{};
        GetClassNameW(item, className.data(), static_cast<int>(className.size()));
        const wchar_t* expectedClass = row.kind == "field"    ? L"Edit"
                                       : row.kind == "button" ? L"Button"
                                                              : L"Static";
        EXPECT_EQ(lstrcmpiW(className.data(), expectedClass), 0);
        if (row.kind != "picture") {
            EXPECT_EQ(narrow(textOf(item)), row.text);
        }
        EXPECT_EQ((GetWindowLongW(item, GWL_STYLE) & WS_TABSTOP) != 0, row.tabPlace != 0);
        if (row.background) {
            SetTextColor(dc, RGB(250, 250, 250));
            const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
                window->handle(), row.kind == "field" ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(item)));
            LOGBRUSH fill{};
            GetObjectW(brush, sizeof fill, &fill);
            EXPECT_EQ(fill.lbColor, RGB(row.red(), row.green(), row.blue()));
            EXPECT_EQ(GetBkColor(dc), fill.lbColor);
            EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
        }
    }
    DeleteDC(dc);

    for (const int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        window->layout(static_cast<UINT>(96 * scale));
        for (const cases::SeenControl& row : seen) {
            SCOPED_TRACE(row.name);
            RECT box{};
            if (row.kind == "window") {
                GetClientRect(window->handle(), &box);
            } else {
                GetWindowRect(control(row.name.c_str()), &box);
                MapWindowPoints(nullptr, window->handle(), reinterpret_cast<POINT*>(&box), 2);
            }
            EXPECT_NEAR(box.left, scale * row.left, scale - 1);
            EXPECT_NEAR(box.top, scale * row.top, scale - 1);
            EXPECT_NEAR(box.right - box.left, scale * row.width, scale - 1);
            EXPECT_NEAR(box.bottom - box.top, scale * row.height, scale - 1);
        }
    }
    window->layout(96);

    const std::vector<std::string> order = cases::tabOrder(seen);
    EXPECT_EQ(focused(), order.front());
    for (std::size_t step = 1; step <= order.size(); ++step) {
        key(VK_TAB);
        EXPECT_EQ(focused(), order.at(step % order.size()));
    }
    std::array<BYTE, 256> keys{};
    GetKeyboardState(keys.data());
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys.data());
    for (std::size_t step = order.size(); step-- > 0;) {
        key(VK_TAB);
        EXPECT_EQ(focused(), order.at(step));
    }
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys.data());
    // A click puts the focus in a field too (a click on the button would press it).
    for (const cases::SeenControl& row : seen) {
        if (row.kind != "field")
            continue;
        SendMessageW(control(row.name.c_str()), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(control(row.name.c_str()), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        pump();
        EXPECT_EQ(focused(), row.name);
    }
}

TEST_F(Win32Window, ClickSpaceAndEnterOnTheButtonPress) {
    struct Way {
        const char* name;
        WPARAM key; // 0: a click
    };
    for (const Way way : {Way{"click", 0}, Way{"space", VK_SPACE}, Way{"enter", VK_RETURN}}) {
        for (const cases::PressCase& press : cases::pressCases) {
            SCOPED_TRACE(std::string(way.name) + ", amount " + press.amount);
            setText("amount", press.amount);
            setText("gprice", press.gprice);
            setText("fee", "typed before the press");
            if (way.key == 0) {
                SendMessageW(control("Command1"), BM_CLICK, 0, 0);
            } else {
                SetFocus(control("Command1"));
                key(way.key);
            }
            pump();
            EXPECT_EQ(text("fee"), press.fee);
        }
    }
}

TEST_F(Win32Window, EnterInAFieldPressesNothing) {
    setText("amount", "100");
    for (const char* name : {"amount", "gprice", "fee"}) {
        SetFocus(control(name));
        key(VK_RETURN);
    }
    EXPECT_EQ(text("fee"), "");
}

TEST_F(Win32Window, ErrorsReachTheUserAndTheWindowGoesOn) {
    for (const cases::ErrorCase& error : cases::errorCases) {
        SCOPED_TRACE(error.name);
        setText("amount", error.amount);
        setText("gprice", error.gprice);
        setText("fee", "before");
        SetFocus(control("Command1"));
        const MessageBoxWatcher watcher;
        SendMessageW(control("Command1"), BM_CLICK, 0, 0);
        pump();
        ASSERT_EQ(watcher.seen, 1);
        EXPECT_EQ(watcher.title, "Halvern Fee Calculator");
        EXPECT_EQ(watcher.icon, LoadIconW(nullptr, IDI_ERROR));
        EXPECT_EQ(watcher.owner, window->handle()) << "modal to the calculator";
        EXPECT_EQ(watcher.buttons, 1) << "OK alone";
        EXPECT_NE(watcher.words.find(error.words), std::string::npos) << watcher.words;
        EXPECT_EQ(text("fee"), "before");
        EXPECT_EQ(text("amount"), error.amount);
        EXPECT_EQ(text("gprice"), error.gprice);
        if (error.focus != nullptr) {
            EXPECT_EQ(focused(), error.focus);
            DWORD start = 1, end = 0;
            SendMessageW(GetFocus(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                         reinterpret_cast<LPARAM>(&end));
            EXPECT_EQ(start, 0U);
            EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthW(GetFocus())));
        }
    }
    setText("amount", "10");
    setText("gprice", "550");
    SendMessageW(control("Command1"), BM_CLICK, 0, 0);
    EXPECT_EQ(text("fee"), "0.18");
}

// The edit control cuts a paste at its limit, and a single-line one at the first line break,
// without a word: a field takes a paste whole or refuses it whole, and says so.
TEST_F(Win32Window, PastesAreTakenWholeOrRefusedWhole) {
    HWND amount = control("amount");
    const std::wstring full = L"12" + std::wstring(3'997, L' ') + L"x";
    putOnClipboard(full);
    SetFocus(amount);
    SendMessageW(amount, WM_PASTE, 0, 0);
    EXPECT_EQ(textOf(amount), full);
    {
        const MessageBoxWatcher watcher;
        SendMessageW(control("Command1"), BM_CLICK, 0, 0);
        pump();
        ASSERT_EQ(watcher.seen, 1);
        EXPECT_LT(watcher.words.size(), 400U);
        EXPECT_NE(watcher.words.find("The amount \""), std::string::npos) << watcher.words;
    }

    setText("amount", "100");
    SendMessageW(amount, EM_SETSEL, 0, -1);
    putOnClipboard(std::wstring(4'001, L'9'));
    {
        const MessageBoxWatcher watcher;
        SendMessageW(amount, WM_PASTE, 0, 0);
        pump();
        ASSERT_EQ(watcher.seen, 1);
        EXPECT_NE(watcher.words.find("Not pasted: 4,001 characters is more than a field holds "
                                     "(4,000)."),
                  std::string::npos)
            << watcher.words;
        EXPECT_EQ(watcher.icon, LoadIconW(nullptr, IDI_WARNING));
    }
    EXPECT_EQ(text("amount"), "100");
    EXPECT_EQ(focused(), "amount");

    // A break inside shows as a line separator for the report to quote; trailing ones, from a
    // spreadsheet's cell or a terminal's line, are left behind.
    for (const auto& [pasted, taken] :
         {std::pair{L"1\r\n2", L"1\u20282"}, std::pair{L"100\r\n", L"100"},
          std::pair{L"100\n\n", L"100"}, std::pair{L"7\r", L"7"}}) {
        putOnClipboard(pasted);
        SendMessageW(amount, EM_SETSEL, 0, -1);
        SendMessageW(amount, WM_PASTE, 0, 0);
        EXPECT_EQ(textOf(amount), taken);
    }
    // In at the cursor, over the selection if there is one; what the selection frees counts
    // towards the bound.
    const std::wstring bound(4'000, L'9');
    for (const auto& [from, to, pasted, taken] :
         {std::tuple{1, 1, std::wstring(L"3\r\n"), std::wstring(L"132")},
          std::tuple{0, 1, std::wstring(L"3\r\n"), std::wstring(L"32")},
          std::tuple{0, 2, bound, bound}}) {
        setText("amount", "12");
        putOnClipboard(pasted);
        SendMessageW(amount, EM_SETSEL, static_cast<WPARAM>(from), to);
        SendMessageW(amount, WM_PASTE, 0, 0);
        EXPECT_EQ(textOf(amount), taken);
    }

    // Typing into a full field is refused with a word, not dropped silently, and the focus
    // stays in that field.
    for (const char* name : {"amount", "gprice"}) {
        SCOPED_TRACE(name);
        setText(name, std::string(4'000, '9'));
        SetFocus(control(name));
        {
            const MessageBoxWatcher watcher;
            key('9');
            pump();
            ASSERT_EQ(watcher.seen, 1);
            EXPECT_NE(watcher.words.find("Not typed: a field holds at most 4,000 characters."),
                      std::string::npos)
                << watcher.words;
        }
        EXPECT_EQ(textOf(control(name)).size(), 4'000U);
        EXPECT_EQ(focused(), name);
    }
}

// An icon's colour pixels, top row first, 32 bits each.
std::vector<std::uint32_t> pixelsOf(HICON icon, LONG size) {
    ICONINFO info{};
    if (GetIconInfo(icon, &info) == FALSE)
        return {};
    BITMAP colour{};
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    if (colour.bmWidth != size || colour.bmHeight != size) {
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        ADD_FAILURE() << "a " << colour.bmWidth << " x " << colour.bmHeight << " icon, not "
                      << size;
        return {};
    }
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size * size));
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, info.hbmColor, 0, static_cast<UINT>(size), pixels.data(), &format,
              DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels;
}

// The big icon at each density: the program icon's own 32-pixel image at 100 %, and where the
// density asks for more, images drawn at that size, never the program icon's images blown up.
TEST_F(Win32Window, TheBigIconHasThePixelsTheDensityAsksFor) {
    for (const UINT dpi : {96U, 144U, 192U}) {
        SCOPED_TRACE(dpi);
        window->layout(dpi);
        const LONG size = MulDiv(32, static_cast<int>(dpi), 96);
        auto* icon =
            reinterpret_cast<HICON>(SendMessageW(window->handle(), WM_GETICON, ICON_BIG, 0));
        auto* scaled = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"IDI_ICON1",
                                                     IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        const std::vector<std::uint32_t> shown = pixelsOf(icon, size);
        ASSERT_EQ(shown.size(), static_cast<std::size_t>(size * size));
        EXPECT_EQ(shown == pixelsOf(scaled, size), dpi == 96);
        DestroyIcon(scaled);
    }
}

// The window colour shows through the logo's transparent corners. At its own size and at twice it
// the logo is drawn pixel for pixel from its own image: the doubled one where the screen is dense.
TEST_F(Win32Window, LogoDrawsWithItsTransparency) {
    for (const auto& [dpi, resource] : {std::pair{96U, halvern::win32::logoResource},
                                        std::pair{192U, halvern::win32::doubledLogoResource}}) {
        SCOPED_TRACE(dpi);
        HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(resource), MAKEINTRESOURCEW(10));
        ASSERT_NE(found, nullptr);
        const auto* bytes =
            static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, found)));
        const auto image = ui::decodeGif({bytes, SizeofResource(nullptr, found)});
        ASSERT_TRUE(image.has_value());
        window->layout(dpi);
        RECT box{};
        GetClientRect(control("Image1"), &box);
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, box.right, box.bottom);
        ReleaseDC(nullptr, screen);
        const HGDIOBJ previous = SelectObject(dc, bitmap);
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_STATIC;
        item.hwndItem = control("Image1");
        item.hDC = dc;
        item.rcItem = box;
        SendMessageW(window->handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(GetPixel(dc, 0, 0), RGB(192, 192, 0)) << "a transparent corner";
        ASSERT_EQ(box.right, image->width);
        int differing = 0;
        for (int y = 0; y < image->height; ++y) {
            for (int x = 0; x < image->width; ++x) {
                const std::uint8_t* p =
                    &image->pixels[4 * static_cast<std::size_t>(y * image->width + x)];
                if (p[3] == 255 && GetPixel(dc, x, y) != RGB(p[0], p[1], p[2]))
                    ++differing;
            }
        }
        EXPECT_EQ(differing, 0);
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
}

TEST_F(Win32Window, EveryTextFitsItsBox) {
    for (const UINT dpi : {96U, 192U}) {
        SCOPED_TRACE(dpi);
        window->layout(dpi);
        HDC dc = GetDC(window->handle());
        for (const ui::ControlRow& spec : ui::controlTable) {
            if (spec.kind == ui::ControlKind::picture)
                continue;
            SCOPED_TRACE(spec.name);
            HWND item = control(spec.name);
            const auto font = reinterpret_cast<HFONT>(SendMessageW(item, WM_GETFONT, 0, 0));
            ASSERT_NE(font, nullptr);
            const HGDIOBJ previous = SelectObject(dc, font);
            const std::wstring caption = textOf(item);
            SIZE extent{};
            GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
            TEXTMETRICW metrics{};
            GetTextMetricsW(dc, &metrics);
            SelectObject(dc, previous);
            RECT room{};
            GetClientRect(item, &room);
            if (spec.kind == ui::ControlKind::textField) {
                EXPECT_LE(metrics.tmHeight, room.bottom) << "a line of typing";
            } else if (spec.kind == ui::ControlKind::pushButton) {
                // Inside the button's edges and the caption's margin.
                const int across = 2 * GetSystemMetricsForDpi(SM_CXEDGE, dpi) +
                                   2 * MulDiv(3, static_cast<int>(dpi), 96);
                EXPECT_LE(extent.cx, room.right - across);
            } else {
                EXPECT_LE(extent.cx, room.right);
                EXPECT_LE(metrics.tmHeight, room.bottom);
            }
        }
        ReleaseDC(window->handle(), dc);
    }
}

} // namespace
