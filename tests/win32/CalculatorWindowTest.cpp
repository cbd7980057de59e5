// The Win32 window in the process, under Wine's null graphics driver.
#include "ui/win32/CalculatorWindow.h"

#include "Scenarios.h"
#include "SeenDump.h"
#include "ui/shared/ControlTable.h"
#include "ui/shared/Layout.h"
#include "ui/win32/WideText.h"
#include "ui/win32/WindowThread.h"

// Windows headers depend on their order.
// clang-format off
#include <windows.h>
#include <objidl.h>
#include <oleacc.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using halvern::win32::CalculatorWindow;
using halvern::win32::utf8;
using halvern::win32::wide;
using halvern::win32::windowText;
namespace cases = halvern::testing;
namespace ui = halvern::ui;

// A control's name in the program, which its user never sees.
std::string nameOf(const CalculatorWindow& window, HWND item) {
    for (const ui::ControlRow& spec : ui::controlTable) {
        if (window.control(spec.name) == item)
            return spec.name;
    }
    return item == window.handle() ? "the window itself" : "(not in the control table)";
}

void pump() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The scenarios' acts and observations. Keys go through the window's own keyboard handling first,
// as the program's message loop sends them.
class Win32Driver final : public cases::ScenarioDriver {
public:
    explicit Win32Driver(CalculatorWindow& window)
        : m_window(window)
        , m_hook(SetWindowsHookExW(WH_CBT, &Win32Driver::hook, nullptr, GetCurrentThreadId())) {
        current = this;
    }
    ~Win32Driver() override {
        UnhookWindowsHookEx(m_hook);
        current = nullptr;
    }
    Win32Driver(const Win32Driver&) = delete;
    Win32Driver& operator=(const Win32Driver&) = delete;
    Win32Driver(Win32Driver&&) = delete;
    Win32Driver& operator=(Win32Driver&&) = delete;

    void closeReportsWith(const std::string& key) override {
        m_closeKey = key == "Escape" ? VK_ESCAPE : VK_RETURN;
    }
    void set(const std::string& name, const std::string& text) override {
        SetWindowTextW(control(name), wide(text).c_str());
    }
    void type(const std::string& name, const std::string& text) override {
        click(name);
        SendMessageW(control(name), EM_SETSEL, 0, -1);
        for (const wchar_t c : wide(text))
            send({GetFocus(), WM_CHAR, c, 1, 0, {}});
    }
    void click(const std::string& name) override {
        SendMessageW(control(name), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(control(name), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        pump();
    }
    void key(const std::string& name) override {
        static const std::map<std::string, std::pair<WPARAM, int>> keys{
            {"Tab", {VK_TAB, 0}},
            {"Shift+Tab", {VK_TAB, VK_SHIFT}},
            {"Control+Tab", {VK_TAB, VK_CONTROL}},
            {"Enter", {VK_RETURN, 0}},
            {"Space", {VK_SPACE, 0}},
            {"Escape", {VK_ESCAPE, 0}},
            {"Backspace", {VK_BACK, 0}},
            {"Control+z", {'Z', VK_CONTROL}},
            {"Control+v", {'V', VK_CONTROL}},
            {"Shift+Insert", {VK_INSERT, VK_SHIFT}},
        };
        const auto found = keys.find(name);
        if (found != keys.end()) {
            press(found->second.first, found->second.second);
            return;
        }
        // The keypad's decimal key, and the character a keyboard layout makes of it: the
        // messages the loop delivers for it, whatever layout this Wine has.
        constexpr std::string_view keypad = "Keypad";
        if (name.rfind(keypad, 0) == 0) {
            constexpr LPARAM keypadDecimal = 0x530001; // its scan code, one stroke
            HWND focused = GetFocus();
            SendMessageW(focused, WM_KEYDOWN, VK_DECIMAL, keypadDecimal);
            SendMessageW(focused, WM_CHAR, wide(name.substr(keypad.size())).at(0), keypadDecimal);
            SendMessageW(focused, WM_KEYUP, VK_DECIMAL, keypadDecimal | 0xC0000000);
            pump();
            return;
        }
        for (const wchar_t c : wide(name))
            press(static_cast<WPARAM>(LOBYTE(VkKeyScanW(c))), 0);
    }
    void select(int from, int to) override {
        SendMessageW(GetFocus(), EM_SETSEL, static_cast<WPARAM>(from), to);
    }
    void paste(const std::string& route, const std::string& text) override {
        if (route != "Control+v" && route != "Shift+Insert") {
            ADD_FAILURE() << "no paste by " << route << " in a Windows edit control";
            return;
        }
        putOnClipboard(wide(text));
        key(route);
    }
    void compose(const std::string& /*text*/) override {
        ADD_FAILURE() << "no input method to compose with under Wine";
    }

    std::string text(const std::string& name) override { return utf8(windowText(control(name))); }
    std::string focused() override { return nameOf(m_window, GetFocus()); }
    std::pair<int, int> selection() override {
        DWORD start = 0, end = 0;
        SendMessageW(GetFocus(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return {static_cast<int>(start), static_cast<int>(end)};
    }
    int length(const std::string& name) override { return GetWindowTextLengthW(control(name)); }
    // A single-line edit control answers with its first visible character.
    bool showsFromStart(const std::string& name) override {
        return SendMessageW(control(name), EM_GETFIRSTVISIBLELINE, 0, 0) == 0;
    }
    std::vector<cases::SeenReport> reports() override {
        pump();
        return std::exchange(m_reports, {});
    }

private:
    HWND control(const std::string& name) const { return m_window.control(name.c_str()); }

    void send(MSG message) {
        if (!m_window.translate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        pump();
    }
    // A key pressed and released on the focused control, with a modifier held down.
    void press(WPARAM virtualKey, int modifier) {
        std::array<BYTE, 256> keys{};
        GetKeyboardState(keys.data());
        if (modifier != 0)
            keys.at(static_cast<std::size_t>(modifier)) = 0x80;
        SetKeyboardState(keys.data());
        for (const UINT type : {UINT{WM_KEYDOWN}, UINT{WM_KEYUP}})
            send({GetFocus(), type, virtualKey, type == WM_KEYUP ? 0xC0000001 : 1, 0, {}});
        if (modifier != 0)
            keys.at(static_cast<std::size_t>(modifier)) = 0;
        SetKeyboardState(keys.data());
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

    // A report is the calculator's titled box, owned by it, with OK alone and its icon.
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam) {
        std::array<wchar_t, 64> className{};
        auto* box = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_ACTIVATE && current != nullptr &&
            GetClassNameW(box, className.data(), static_cast<int>(className.size())) > 0 &&
            std::wstring(className.data()) == L"#32770") {
            Seen seen;
            EnumChildWindows(box, &Win32Driver::collect, reinterpret_cast<LPARAM>(&seen));
            std::string kind = seen.icon == LoadIconW(nullptr, IDI_ERROR) ? "error"
                               : seen.icon == LoadIconW(nullptr, IDI_WARNING)
                                   ? "warning"
                                   : "report without its icon";
            if (windowText(box) != windowText(current->m_window.handle()) ||
                GetWindow(box, GW_OWNER) != current->m_window.handle() || seen.buttons != 1)
                kind += " (not titled as the calculator, owned by it and with OK alone)";
            current->m_reports.push_back({kind, seen.words});
            PostMessageW(box, WM_KEYDOWN, current->m_closeKey, 1);
            PostMessageW(box, WM_KEYUP, current->m_closeKey, 0xC0000001);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    struct Seen {
        std::string words;
        HICON icon = nullptr; // the system's shared icon the box shows
        int buttons = 0;
    };
    static BOOL CALLBACK collect(HWND child, LPARAM into) {
        auto& seen = *reinterpret_cast<Seen*>(into);
        seen.words += utf8(windowText(child)) + "\n";
        std::array<wchar_t, 16> className{};
        GetClassNameW(child, className.data(), static_cast<int>(className.size()));
        seen.buttons += lstrcmpiW(className.data(), L"Button") == 0 ? 1 : 0;
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            seen.icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        return TRUE;
    }

    static inline Win32Driver* current = nullptr;
    CalculatorWindow& m_window;
    HHOOK m_hook;
    WPARAM m_closeKey = VK_RETURN;
    std::vector<cases::SeenReport> m_reports;
};

// What the window gives screen readers through the accessibility annotation service: Wine's
// oleacc keeps annotations to itself, so this process registers a service of its own under the
// service's class, which the window's CoCreateInstance then finds, and reads back what it was
// given. Registering needs the apartment the window's thread makes: without one, no name.
// COM interfaces have no virtual destructor: their objects end through Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class NameStore final : public IAccPropServices, public IClassFactory {
public:
    // The name given to a control's own object, or "" where none was.
    std::string given(HWND control) const {
        const auto found = m_names.find(control);
        return found == m_names.end() ? "" : found->second;
    }
    HRESULT registerInProcess() {
        return CoRegisterClassObject(CLSID_AccPropServices, static_cast<IClassFactory*>(this),
                                     CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_cookie);
    }
    void revoke() const { CoRevokeClassObject(m_cookie); }

    HRESULT WINAPI QueryInterface(REFIID id, void** object) override {
        *object = id == IID_IUnknown || id == IID_IAccPropServices
                      ? static_cast<IAccPropServices*>(this)
                  : id == IID_IClassFactory ? static_cast<void*>(static_cast<IClassFactory*>(this))
                                            : nullptr;
        if (*object == nullptr)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    // Counted, not ended: the store lives as long as the tests.
    ULONG WINAPI AddRef() override { return ++m_references; }
    ULONG WINAPI Release() override { return --m_references; }
    ULONG references() const { return m_references; }
    HRESULT WINAPI CreateInstance(IUnknown* outer, REFIID id, void** object) override {
        if (refusing) {
            *object = nullptr;
            return E_OUTOFMEMORY;
        }
        return outer != nullptr ? CLASS_E_NOAGGREGATION : QueryInterface(id, object);
    }
    bool refusing = false; // as a service that cannot be made
    HRESULT WINAPI LockServer(BOOL /*lock*/) override { return S_OK; }

    HRESULT WINAPI SetHwndPropStr(HWND hwnd, DWORD idObject, DWORD idChild, MSAAPROPID idProp,
                                  LPCWSTR str) override {
        if (idObject == static_cast<DWORD>(OBJID_CLIENT) && idChild == CHILDID_SELF &&
            idProp == PROPID_ACC_NAME)
            m_names[hwnd] = utf8(str);
        return S_OK;
    }
    // The rest of the service, which the window does not use.
    // clang-format off
    HRESULT WINAPI SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT WINAPI SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope) override { return E_NOTIMPL; }
    HRESULT WINAPI ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
    HRESULT WINAPI SetHwndProp(HWND, DWORD, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT WINAPI SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope) override { return E_NOTIMPL; }
    HRESULT WINAPI ClearHwndProps(HWND, DWORD, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
    HRESULT WINAPI ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override { return E_NOTIMPL; }
    HRESULT WINAPI DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) override { return E_NOTIMPL; }
    HRESULT WINAPI SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT WINAPI SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT WINAPI SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope) override { return E_NOTIMPL; }
    HRESULT WINAPI ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
    HRESULT WINAPI ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override { return E_NOTIMPL; }
    HRESULT WINAPI DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override { return E_NOTIMPL; }
    // clang-format on

private:
    std::map<HWND, std::string> m_names;
    DWORD m_cookie = 0;
    ULONG m_references = 1;
};
#pragma GCC diagnostic pop

class Win32Window : public ::testing::Test {
protected:
    // The thread as the program prepares it, with the name store in its apartment.
    static void SetUpTestSuite() {
        thread = std::make_unique<halvern::win32::WindowThread>();
        registered = names.registerInProcess();
    }
    static void TearDownTestSuite() {
        if (SUCCEEDED(registered))
            names.revoke();
        thread.reset();
    }

    void SetUp() override {
        window = std::make_unique<CalculatorWindow>(GetModuleHandleW(nullptr), *thread);
        window->show(SW_SHOWNORMAL);
        SetForegroundWindow(window->handle());
        window->show(SW_SHOWNORMAL);
        pump();
    }
    void TearDown() override { window.reset(); }

    HWND control(const char* name) const { return window->control(name); }
    // The window on a screen of another density, as Windows tells it when it is moved there.
    // It must then stand where Windows suggests, on that screen.
    void moveToDpi(UINT dpi) const {
        RECT frame{};
        GetWindowRect(window->handle(), &frame);
        OffsetRect(&frame, 16, 8);
        SendMessageW(window->handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&frame));
        RECT now{};
        GetWindowRect(window->handle(), &now);
        EXPECT_EQ(std::pair(now.left, now.top), std::pair(frame.left, frame.top));
    }

    std::unique_ptr<CalculatorWindow> window;
    static inline std::unique_ptr<halvern::win32::WindowThread> thread;
    static inline NameStore names;
    static inline HRESULT registered = E_FAIL;
};

// What a control is to its user, by its window class and style.
std::string kindOf(HWND control) {
    std::array<wchar_t, 32> className{};
    GetClassNameW(control, className.data(), static_cast<int>(className.size()));
    const std::wstring kind = className.data();
    if (lstrcmpiW(kind.c_str(), L"Edit") == 0)
        return "field";
    if (lstrcmpiW(kind.c_str(), L"Button") == 0)
        return "button";
    if (lstrcmpiW(kind.c_str(), L"Static") == 0)
        return (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_OWNERDRAW ? "picture"
                                                                                  : "label";
    return "class " + utf8(kind);
}

// A control's background where the window fixes it, with black text on it, or "theme" where the
// window answers as the system would.
std::string backgroundOf(HWND window, HWND control) {
    const std::string kind = kindOf(control);
    const bool editable =
        kind == "field" && (GetWindowLongW(control, GWL_STYLE) & ES_READONLY) == 0;
    const UINT message = editable           ? WM_CTLCOLOREDIT
                         : kind == "button" ? WM_CTLCOLORBTN
                                            : WM_CTLCOLORSTATIC;
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(250, 250, 250));
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
        window, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    LOGBRUSH fill{};
    GetObjectW(brush, sizeof fill, &fill);
    const bool black = GetTextColor(dc) == RGB(0, 0, 0) && GetBkColor(dc) == fill.lbColor;
    const auto system = reinterpret_cast<HBRUSH>(DefWindowProcW(
        window, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    DeleteDC(dc);
    return brush == system ? "theme"
                           : cases::fixedColour(GetRValue(fill.lbColor), GetGValue(fill.lbColor),
                                                GetBValue(fill.lbColor), black);
}

// The window's controls, in Z order: the order screen readers follow.
std::vector<HWND> controlsOf(HWND window) {
    std::vector<HWND> controls;
    for (HWND item = GetWindow(window, GW_CHILD); item != nullptr;
         item = GetWindow(item, GW_HWNDNEXT))
        controls.push_back(item);
    return controls;
}

// A control's box in its window's client area.
RECT boxIn(HWND window, HWND item) {
    RECT box{};
    GetWindowRect(item, &box);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
    return box;
}

// The window's dump (SeenDump.h) at 96 and 192 dpi, in Z order, which screen readers follow; Tab
// places as a keyboard user finds them, from where the window puts the focus as it opens, until
// it comes back.
TEST_F(Win32Window, DumpsWhatUsersSee) {
    ASSERT_TRUE(SUCCEEDED(registered)) << "the window's thread has no COM apartment";
    std::map<HWND, int> places;
    {
        Win32Driver driver(*window);
        for (HWND reached = GetFocus(); reached != nullptr && !places.contains(reached) &&
                                        places.size() < ui::controlTable.size();
             reached = GetFocus()) {
            places.emplace(reached, static_cast<int>(places.size()) + 1);
            driver.key("Tab");
        }
    }
    for (const int scale : {1, 2}) {
        moveToDpi(static_cast<UINT>(96 * scale));
        RECT client{};
        GetClientRect(window->handle(), &client);
        LOGBRUSH fill{};
        GetObjectW(reinterpret_cast<HBRUSH>(GetClassLongPtrW(window->handle(), GCLP_HBRBACKGROUND)),
                   sizeof fill, &fill);
        cases::printSeen(scale,
                         {ui::formName, "window", 0, 0, client.right, client.bottom,
                          cases::fixedColour(GetRValue(fill.lbColor), GetGValue(fill.lbColor),
                                             GetBValue(fill.lbColor), true),
                          0, "", utf8(windowText(window->handle()))});
        for (HWND item : controlsOf(window->handle())) {
            const RECT box = boxIn(window->handle(), item);
            const auto place = places.find(item);
            // The style that tells Windows' own tools which controls Tab reaches.
            EXPECT_EQ((GetWindowLongW(item, GWL_STYLE) & WS_TABSTOP) != 0, place != places.end())
                << nameOf(*window, item);
            cases::printSeen(scale, {nameOf(*window, item), kindOf(item), box.left, box.top,
                                     box.right - box.left, box.bottom - box.top,
                                     backgroundOf(window->handle(), item),
                                     place == places.end() ? 0 : place->second, names.given(item),
                                     utf8(windowText(item))});
        }
    }
    moveToDpi(96);
}

// Back from another program, given the focus itself or restored after it was minimised, the
// window passes the keyboard on to a control: the one that had it, or had it when the person left;
// the first of the tab chain where none had. The window itself takes no key.
TEST_F(Win32Window, GivesTheFocusBackToAControl) {
    SetFocus(nullptr);
    SetFocus(window->handle());
    EXPECT_EQ(nameOf(*window, GetFocus()), "amount")
        << "focused itself, before any control lost it";
    HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    const auto back = [&](HWND from) {
        SetFocus(from);
        SetForegroundWindow(other);
        pump();
        SetForegroundWindow(window->handle());
        pump();
        return nameOf(*window, GetFocus());
    };
    EXPECT_EQ(back(nullptr), "amount") << "back from another program, with no control focused";
    EXPECT_EQ(back(control("gprice")), "gprice") << "back from another program";
    SetFocus(nullptr);
    SetFocus(window->handle());
    EXPECT_EQ(nameOf(*window, GetFocus()), "gprice") << "focused itself, after another program";
    DestroyWindow(other);
    SetFocus(control("Command1"));
    ShowWindow(window->handle(), SW_MINIMIZE);
    pump();
    SetFocus(nullptr); // as Windows leaves a minimised window, where Wine leaves the control's
    SendMessageW(window->handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    pump();
    EXPECT_EQ(nameOf(*window, GetFocus()), "Command1") << "restored";
}

// The window lets the service go once it has named its fields, as it is shown: every reference
// it took is given back, or each window would keep the service alive until the program ends. It
// shows as it is told to, here minimised, as a shortcut set to run minimised starts it.
TEST_F(Win32Window, ShowsAsToldAndGivesBackTheScreenReadersService) {
    ASSERT_TRUE(SUCCEEDED(registered));
    const ULONG before = names.references();
    CalculatorWindow another(GetModuleHandleW(nullptr), *thread);
    another.show(SW_SHOWMINNOACTIVE);
    EXPECT_NE(IsIconic(another.handle()), FALSE);
    EXPECT_NE(names.given(another.control("amount")), "");
    EXPECT_EQ(names.references(), before);
}

// The window's thread is a single-threaded apartment, as a thread that owns windows must be for
// COM to call into it; and the window goes with the object that made it, as no object is left to
// answer its messages.
TEST_F(Win32Window, LivesInAWindowsApartmentAndGoesWithItsObject) {
    APTTYPE apartment{};
    APTTYPEQUALIFIER qualifier{};
    ASSERT_EQ(CoGetApartmentType(&apartment, &qualifier), S_OK);
    EXPECT_TRUE(apartment == APTTYPE_MAINSTA || apartment == APTTYPE_STA) << apartment;
    const HWND handle = window->handle();
    window.reset();
    EXPECT_FALSE(IsWindow(handle));
}

// The close box closes the window; only the program's own window ends the thread's message loop.
TEST_F(Win32Window, ClosesFromItsCloseBox) {
    const HWND handle = window->handle();
    SendMessageW(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(handle));
    MSG quit{};
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// What the user types or pastes crosses to the calculation and back unit for unit, whatever
// the code page of the user's language: a Persian decimal mark, the isolates a report quotes
// with, a character beyond the Basic Multilingual Plane.
TEST(WideText, CrossesWholeBothWays) {
    const std::vector<std::pair<std::string, std::wstring>> rows = {
        {"1\xd9\xab\x35", L"1\u066b5"},
        {"\xe2\x81\xa8\x31,000\xe2\x81\xa9", L"\u20681,000\u2069"},
        {"\xf0\x9f\xaa\x99", L"\U0001FA99"},
    };
    for (const auto& [text, units] : rows) {
        EXPECT_EQ(wide(text), units);
        EXPECT_EQ(utf8(units), text);
    }
}

// A window's thread ends the apartment it began, and leaves one the thread was already in, of
// another kind, to the code that began it.
TEST(WindowThread, EndsItsOwnApartmentAlone) {
    HRESULT afterItsOwn = S_OK, afterAnother = E_FAIL;
    std::thread([&] {
        APTTYPE apartment{};
        APTTYPEQUALIFIER qualifier{};
        { const halvern::win32::WindowThread own; }
        afterItsOwn = CoGetApartmentType(&apartment, &qualifier);
        if (SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
            { const halvern::win32::WindowThread inAnother; }
            afterAnother = CoGetApartmentType(&apartment, &qualifier);
            CoUninitialize();
        }
    }).join();
    EXPECT_EQ(afterItsOwn, CO_E_NOTINITIALIZED) << "its own apartment left behind";
    EXPECT_EQ(afterAnother, S_OK) << "the apartment it found ended";
}

// Where the service that names the fields for screen readers cannot be made, the window still
// shows: only the fields' names are lost.
TEST(ScreenReaderNames, WithoutTheirServiceTheWindowStillShows) {
    const halvern::win32::WindowThread thread;
    NameStore service;
    service.refusing = true;
    ASSERT_HRESULT_SUCCEEDED(service.registerInProcess());
    bool shown = false;
    {
        CalculatorWindow window(GetModuleHandleW(nullptr), thread);
        window.show(SW_SHOWNORMAL);
        shown = IsWindowVisible(window.handle()) != FALSE;
    }
    service.revoke();
    EXPECT_TRUE(shown);
}

// The window's client area and each control's box in it, as left, top, right and bottom.
std::vector<std::array<LONG, 4>> boxesOf(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    std::vector<std::array<LONG, 4>> boxes{{client.left, client.top, client.right, client.bottom}};
    for (HWND item : controlsOf(window)) {
        const RECT box = boxIn(window, item);
        boxes.push_back({box.left, box.top, box.right, box.bottom});
    }
    return boxes;
}

// The window opens laid out for the density of its screen, as when it is moved to one: on a
// dense screen from the start (the second Wine run's is 150 %).
TEST_F(Win32Window, OpensLaidOutForItsScreen) {
    const auto opened = boxesOf(window->handle());
    moveToDpi(GetDpiForWindow(window->handle()));
    EXPECT_EQ(opened, boxesOf(window->handle()));
}

// A fixed size with a minimise box, as the Linux window has; sunken fields, as every Windows text
// field is; a button that shows its text, without a default button's heavy frame, as Enter in a
// field presses nothing.
TEST_F(Win32Window, LooksAsAWindowsProgram) {
    EXPECT_EQ(GetWindowLongW(window->handle(), GWL_STYLE) &
                  (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrW(window->handle(), GCLP_HCURSOR)),
              LoadCursorW(nullptr, IDC_ARROW)); // else the pointer keeps whatever it was
    for (HWND item : controlsOf(window->handle())) {
        SCOPED_TRACE(kindOf(item));
        EXPECT_EQ((GetWindowLongW(item, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0,
                  kindOf(item) == "field");
        if (kindOf(item) == "button") {
            EXPECT_EQ(GetWindowLongW(item, GWL_STYLE) & (BS_TYPEMASK | BS_BITMAP | BS_ICON),
                      BS_PUSHBUTTON);
        }
    }
}

// The title bar's and the task switcher's icons at 96 and 192 dpi: each as large as the system
// draws it there, and drawn for that size, not a smaller image blown up (which repeats every
// pixel in 2 x 2 blocks). Those of the density before are destroyed, not left behind.
TEST_F(Win32Window, IconsSuitTheDensity) {
    std::vector<HICON> before;
    for (const UINT dpi : {96U, 192U}) {
        moveToDpi(dpi);
        for (HICON old : std::exchange(before, {})) {
            ICONINFO left{};
            EXPECT_FALSE(GetIconInfo(old, &left)) << "an icon of the density before is left";
        }
        for (const auto& [which, metric] :
             {std::pair{WPARAM{ICON_SMALL}, SM_CXSMICON}, {WPARAM{ICON_BIG}, SM_CXICON}}) {
            const int size = GetSystemMetricsForDpi(metric, dpi);
            SCOPED_TRACE(testing::Message() << size << " px at " << dpi << " dpi");
            ICONINFO icon{};
            before.push_back(
                reinterpret_cast<HICON>(SendMessageW(window->handle(), WM_GETICON, which, 0)));
            ASSERT_TRUE(GetIconInfo(before.back(), &icon));
            BITMAP image{};
            GetObjectW(icon.hbmColor, sizeof image, &image);
            EXPECT_EQ(std::pair(image.bmWidth, image.bmHeight), std::pair(LONG{size}, LONG{size}));
            BITMAPINFO format{};
            format.bmiHeader = {
                sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
            std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size * size));
            HDC screen = GetDC(nullptr);
            EXPECT_EQ(GetDIBits(screen, icon.hbmColor, 0, static_cast<UINT>(size), pixels.data(),
                                &format, DIB_RGB_COLORS),
                      size);
            ReleaseDC(nullptr, screen);
            DeleteObject(icon.hbmColor);
            DeleteObject(icon.hbmMask);
            int detailed = 0;
            for (int y = 0; y + 1 < size; y += 2) {
                for (int x = 0; x + 1 < size; x += 2) {
                    const auto at = [&](int dx, int dy) {
                        return pixels[static_cast<std::size_t>((y + dy) * size + x + dx)];
                    };
                    detailed +=
                        at(1, 0) != at(0, 0) || at(0, 1) != at(0, 0) || at(1, 1) != at(0, 0);
                }
            }
            EXPECT_GT(detailed, 0) << "a smaller image blown up";
        }
    }
    moveToDpi(96);
}

// The user's locale, as the window reads it: the scenarios of that locale run.
std::string userLocale() {
    std::array<wchar_t, LOCALE_NAME_MAX_LENGTH> name{};
    GetUserDefaultLocaleName(name.data(), static_cast<int>(name.size()));
    return utf8(name.data());
}

TEST_F(Win32Window, RunsInAScenarioLocale) {
    EXPECT_TRUE(cases::isScenarioLocale(userLocale()))
        << "no scenario runs in the locale " << userLocale()
        << ": run under LC_ALL=en_US.UTF-8 or de_DE.UTF-8";
}

// Each scenario of this window and the user's locale, a test named after its line of the table.
class Win32Scenario : public Win32Window, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(Win32Scenario, Plays) {
    Win32Driver driver(*window);
    for (const std::string& failure : cases::runScenario(cases::scenarios().at(GetParam()), driver))
        ADD_FAILURE() << failure;
}

std::vector<std::size_t> scenariosHere() {
    std::vector<std::size_t> here;
    for (std::size_t i = 0; i < cases::scenarios().size(); ++i) {
        if (cases::scenarios()[i].runsIn("win32", userLocale()))
            here.push_back(i);
    }
    return here;
}

INSTANTIATE_TEST_SUITE_P(Table, Win32Scenario, ::testing::ValuesIn(scenariosHere()),
                         [](const ::testing::TestParamInfo<std::size_t>& scenario) {
                             std::string name = cases::scenarios().at(scenario.param).name;
                             for (char& c : name)
                                 c = std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
                             return name;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Win32Scenario);

// Has `use` draw on and read a bitmap as large as a control's client area, as the screen would.
template <typename Use>
void onCanvas(HWND control, Use use) {
    RECT box{};
    GetClientRect(control, &box);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, box.right, box.bottom);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ previous = SelectObject(dc, bitmap);
    use(dc, box);
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

// A logo as ImageMagick decodes it, or shrinks it: RGBA rows, `pixels` of them in all, or none
// where the file holds another number.
std::vector<std::uint8_t> decodedLogo(const std::string& name, std::size_t pixels) {
    std::vector<std::uint8_t> decoded(4 * pixels + 1);
    std::ifstream file(std::string(HALVERN_DECODED_LOGOS) + name + ".rgba", std::ios::binary);
    file.read(reinterpret_cast<char*>(decoded.data()),
              static_cast<std::streamsize>(decoded.size()));
    decoded.resize(file.gcount() + 1 == static_cast<std::streamsize>(decoded.size()) ? 4 * pixels
                                                                                     : 0);
    return decoded;
}

// The window's colour, which shows through the logo's transparent corners.
constexpr COLORREF windowGround = RGB(192, 192, 0);

void drawLogo(const CalculatorWindow& window, HDC dc, RECT box) {
    DRAWITEMSTRUCT item{ODT_STATIC, 0, 0, 0, 0, window.control("Image1"), dc, box, 0};
    SendMessageW(window.handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
}

// The logo, pixel for pixel as ImageMagick decodes it, the doubled one where the screen is dense;
// the window colour shows through its transparent corners.
TEST_F(Win32Window, LogoDrawsWithItsTransparency) {
    for (const auto& [dpi, name] : {std::pair{96U, "logo"}, std::pair{192U, "logo@2x"}}) {
        SCOPED_TRACE(dpi);
        moveToDpi(dpi);
        onCanvas(control("Image1"), [&](HDC dc, RECT box) {
            const auto width = static_cast<std::size_t>(box.right);
            const auto decoded = decodedLogo(name, width * static_cast<std::size_t>(box.bottom));
            ASSERT_FALSE(decoded.empty()) << "the box is not the decoded " << name << "'s size";
            drawLogo(*window, dc, box);
            EXPECT_EQ(GetPixel(dc, 0, 0), windowGround) << "a transparent corner";
            int differing = 0;
            for (std::size_t at = 0; at < decoded.size(); at += 4) {
                const std::uint8_t* p = &decoded[at];
                differing += p[3] == 255 &&
                             GetPixel(dc, static_cast<int>(at / 4 % width),
                                      static_cast<int>(at / 4 / width)) != RGB(p[0], p[1], p[2]);
            }
            EXPECT_EQ(differing, 0);
        });
    }
}

// At 150 % the doubled logo shrinks to three quarters, each pixel the average of the part of
// the picture it covers, as ImageMagick's -scale shrinks it: within two levels of that, over the
// window colour. A filter that weighs the parts otherwise is off by tens of levels at the edges.
TEST_F(Win32Window, LogoShrinksAtOneAndAHalfAsImageMagickScalesIt) {
    moveToDpi(144);
    onCanvas(control("Image1"), [&](HDC dc, RECT box) {
        const auto width = static_cast<std::size_t>(box.right);
        const auto shrunk =
            decodedLogo("logo@2x-at-150", width * static_cast<std::size_t>(box.bottom));
        ASSERT_FALSE(shrunk.empty()) << "the box is not the shrunk logo's size";
        drawLogo(*window, dc, box);
        const std::array<int, 3> under{GetRValue(windowGround), GetGValue(windowGround),
                                       GetBValue(windowGround)};
        int differing = 0;
        for (std::size_t at = 0; at < shrunk.size(); at += 4) {
            const COLORREF drawn =
                GetPixel(dc, static_cast<int>(at / 4 % width), static_cast<int>(at / 4 / width));
            const std::array<int, 3> got{GetRValue(drawn), GetGValue(drawn), GetBValue(drawn)};
            const double alpha = shrunk[at + 3] / 255.0;
            bool within = true;
            for (std::size_t c = 0; c < 3; ++c)
                within = within &&
                         std::abs(shrunk[at + c] * alpha + under[c] * (1 - alpha) - got[c]) <= 2;
            differing += within ? 0 : 1;
        }
        EXPECT_EQ(differing, 0);
    });
    moveToDpi(96);
}

// How many more GDI objects the process may make. Windows and Wine hold a process's GDI objects in
// a table of fixed size, so an object that drawing forgets leaves one fewer here.
std::size_t gdiHeadroom() {
    std::vector<HBITMAP> made;
    while (made.size() < 100000) {
        HBITMAP bitmap = CreateBitmap(1, 1, 1, 1, nullptr);
        if (bitmap == nullptr)
            break;
        made.push_back(bitmap);
    }
    for (HBITMAP bitmap : made)
        DeleteObject(bitmap);
    return made.size();
}

// Drawing the logo, and moving to another density (the texts fitted again, the icons loaded again
// at its size), give back every GDI object they make: a window that kept one a paint would, left
// open, run the program out of them.
TEST_F(Win32Window, GivesBackWhatItDrawsWith) {
    const auto drawAndRefit = [&] {
        for (const UINT dpi : {144U, 96U}) {
            moveToDpi(dpi);
            for (int paint = 0; paint < 10; ++paint)
                onCanvas(control("Image1"), [&](HDC dc, RECT box) { drawLogo(*window, dc, box); });
        }
    };
    drawAndRefit(); // what is made once and kept, made
    const std::size_t before = gdiHeadroom();
    ASSERT_LT(before, 100000U) << "no limit to GDI objects here: a leak would not show";
    drawAndRefit();
    EXPECT_EQ(gdiHeadroom(), before);
}

// A window starts owning no GDI object: one made where memory last held another's live font
// must leave that font alone when it makes and later frees its own.
TEST_F(Win32Window, FreesNoObjectItDidNotMake) {
    LOGFONTW face{};
    face.lfHeight = -12;
    HFONT someoneElses = CreateFontIndirectW(&face);
    alignas(CalculatorWindow) std::array<HFONT, sizeof(CalculatorWindow) / sizeof(HFONT) + 1>
        memory;
    memory.fill(someoneElses);
    (new (memory.data()) CalculatorWindow(GetModuleHandleW(nullptr), *thread))->~CalculatorWindow();
    EXPECT_EQ(GetObjectType(someoneElses), static_cast<DWORD>(OBJ_FONT));
    DeleteObject(someoneElses);
}

// The dark pixels a control draws in its client area, a few pixels in from the edges where its
// frame and focus cue go: its text, on every ground a text of the window stands on. And the
// first column with a dark pixel, from the very edge.
struct Ink {
    int dark = 0;
    int left = std::numeric_limits<int>::max();
};
Ink ink(HWND control) {
    Ink ink;
    onCanvas(control, [&](HDC dc, RECT box) {
        SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                     PRF_CLIENT | PRF_ERASEBKGND);
        constexpr int edge = 3;
        for (int y = edge; y < box.bottom - edge; ++y) {
            for (int x = 0; x < box.right; ++x) {
                const COLORREF pixel = GetPixel(dc, x, y);
                if (GetRValue(pixel) * 30 + GetGValue(pixel) * 59 + GetBValue(pixel) * 11 >= 9600)
                    continue;
                ink.dark += x >= edge && x < box.right - edge ? 1 : 0;
                ink.left = std::min(ink.left, x);
            }
        }
    });
    return ink;
}

// A control draws as much of its text in its own box as in one three times as large, with the
// same font; a caption from the same left edge in both.
void expectWhole(HWND item) {
    RECT box{};
    GetWindowRect(item, &box);
    const Ink shown = ink(item);
    SetWindowPos(item, nullptr, 0, 0, 3 * (box.right - box.left), 3 * (box.bottom - box.top),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const Ink wide = ink(item);
    SetWindowPos(item, nullptr, 0, 0, box.right - box.left, box.bottom - box.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (GetWindowTextLengthW(item) > 0) {
        EXPECT_GT(wide.dark, 0) << "no text drawn";
    }
    // Anti-aliasing shades a glyph's edge a little differently at another offset.
    EXPECT_GE(shown.dark * 100, wide.dark * 97) << "shows " << shown.dark << " of " << wide.dark;
    if (kindOf(item) == "label") {
        EXPECT_EQ(shown.left, wide.left) << "a caption that moves with its box's width";
    }
}

HFONT fontOf(HWND control) {
    return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
}

// What `measure` finds on the control's device context, in the control's font made `larger`
// pixels larger.
template <typename Measure>
auto measuredIn(HWND control, int larger, Measure measure) {
    LOGFONTW font{};
    GetObjectW(fontOf(control), sizeof font, &font);
    font.lfHeight -= font.lfHeight < 0 ? larger : -larger;
    HFONT sized = CreateFontIndirectW(&font);
    HDC dc = GetDC(control);
    const HGDIOBJ previous = SelectObject(dc, sized);
    const auto measured = measure(dc);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    DeleteObject(sized);
    return measured;
}

TEXTMETRICW metricsOf(HWND control, int larger = 0) {
    return measuredIn(control, larger, [](HDC dc) {
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        return metrics;
    });
}

// Whether the caption's text would still show on one line in its box one pixel larger.
bool fitsOnePixelLarger(HWND caption) {
    RECT room{};
    GetClientRect(caption, &room);
    const RECT needed = measuredIn(caption, 1, [caption](HDC dc) {
        RECT extent{};
        DrawTextW(dc, windowText(caption).c_str(), -1, &extent,
                  DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        return extent;
    });
    return needed.right <= room.right && needed.bottom <= room.bottom;
}

// The height of the control's characters in pixels, as the desktop's font size gives it (a
// negative lfHeight), give or take the pixel GDI rounds it by: a font asked for by its cell
// height draws them smaller.
int pixelsOf(HWND control) {
    const TEXTMETRICW metrics = metricsOf(control);
    return metrics.tmHeight - metrics.tmInternalLeading;
}

// A control's font is the desktop's own, only sized to fit: its face, weight, style and
// proportions as the person chose them.
void expectDesktopFace(HWND control, const LOGFONTW& desktop) {
    LOGFONTW font{};
    GetObjectW(fontOf(control), sizeof font, &font);
    const auto face = [](const LOGFONTW& f) {
        return std::tuple(std::wstring(f.lfFaceName), f.lfWidth, f.lfEscapement, f.lfWeight,
                          f.lfItalic, f.lfUnderline, f.lfStrikeOut, f.lfCharSet, f.lfQuality,
                          f.lfPitchAndFamily);
    };
    EXPECT_TRUE(face(font) == face(desktop))
        << utf8(font.lfFaceName) << " " << font.lfWidth << "x" << font.lfHeight << ", weight "
        << font.lfWeight << "; the desktop's " << utf8(desktop.lfFaceName) << ", weight "
        << desktop.lfWeight;
}

// Every text shows whole where the control draws it, at 96 and at 192 dpi, and a field in the
// desktop font's size, as every program's are; the captions, which share one size, no smaller
// than they need be: below the desktop's size, one pixel larger, one of them would not fit.
TEST_F(Win32Window, EveryTextShowsWhole) {
    for (const UINT dpi : {96U, 192U}) {
        SCOPED_TRACE(dpi);
        moveToDpi(dpi);
        NONCLIENTMETRICSW desktop{};
        desktop.cbSize = sizeof desktop;
        SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof desktop, &desktop, 0, dpi);
        bool captionsFitLarger = true;
        LOGFONTW caption{};
        for (HWND item : controlsOf(window->handle())) {
            if (kindOf(item) == "picture")
                continue;
            SCOPED_TRACE(nameOf(*window, item));
            expectWhole(item);
            expectDesktopFace(item, desktop.lfMessageFont);
            if (kindOf(item) == "field") {
                EXPECT_NEAR(pixelsOf(item), std::abs(desktop.lfMessageFont.lfHeight), 1);
            }
            if (kindOf(item) == "label") {
                GetObjectW(fontOf(item), sizeof caption, &caption);
                captionsFitLarger = captionsFitLarger && fitsOnePixelLarger(item);
            }
        }
        EXPECT_TRUE(std::abs(caption.lfHeight) >= std::abs(desktop.lfMessageFont.lfHeight) ||
                    !captionsFitLarger)
            << "the captions' " << std::abs(caption.lfHeight) << " px would fit one pixel larger";
    }
    moveToDpi(96);
}

// A desktop font too large for the boxes: every text still shows whole, in a smaller size; a
// field's no smaller than it need be: one pixel larger, its line would not fit inside its edge.
TEST_F(Win32Window, EveryTextShowsWholeUnderALargeDesktopFont) {
    NONCLIENTMETRICSW desktop{};
    desktop.cbSize = sizeof desktop;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof desktop, &desktop, 0);
    NONCLIENTMETRICSW large = desktop;
    large.lfMessageFont.lfHeight *= 2;
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof large, &large, 0);
    window = std::make_unique<CalculatorWindow>(GetModuleHandleW(nullptr), *thread);
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof desktop, &desktop, 0);
    window->show(SW_SHOWNORMAL);
    pump();
    for (HWND item : controlsOf(window->handle())) {
        SCOPED_TRACE(nameOf(*window, item));
        if (kindOf(item) != "picture")
            expectWhole(item);
        if (kindOf(item) == "field") {
            RECT room{};
            GetClientRect(item, &room);
            EXPECT_GT(metricsOf(item, 1).tmHeight, room.bottom) << "would fit one pixel larger";
        }
    }
}

// The paints each control has had.
std::map<HWND, int> paints;
LRESULT CALLBACK countPaints(HWND item, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR) {
    paints[item] += message == WM_PAINT ? 1 : 0;
    return DefSubclassProc(item, message, wParam, lParam);
}

// The desktop's text made smaller while the window is open, then put back, each change told as
// Windows tells its windows: the fields follow, in the desktop font's size, and every text is
// drawn again in its new size, not left as it was until something covers the window.
TEST_F(Win32Window, FollowsTheDesktopFont) {
    NONCLIENTMETRICSW desktop{};
    desktop.cbSize = sizeof desktop;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof desktop, &desktop, 0);
    NONCLIENTMETRICSW small = desktop;
    small.lfMessageFont.lfHeight = -8;
    for (HWND item : controlsOf(window->handle()))
        SetWindowSubclass(item, &countPaints, 1, 0);
    for (NONCLIENTMETRICSW* now : {&small, &desktop}) {
        pump();
        paints.clear();
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof *now, now, 0);
        SendMessageW(window->handle(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS,
                     reinterpret_cast<LPARAM>(L"WindowMetrics"));
        pump();
        EXPECT_NEAR(pixelsOf(control("amount")), std::abs(now->lfMessageFont.lfHeight), 1);
        for (HWND item : controlsOf(window->handle()))
            EXPECT_GT(paints[item], 0) << nameOf(*window, item) << " is not drawn again";
    }
}

} // namespace
