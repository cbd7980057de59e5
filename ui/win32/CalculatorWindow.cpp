#include "ui/win32/CalculatorWindow.h"

#include "ui/shared/CaptionFit.h"
#include "ui/shared/ControlTable.h"
#include "ui/shared/FieldEdits.h"
#include "ui/shared/Layout.h"
#include "ui/win32/Logo.h"
#include "ui/win32/Resources.h"
#include "ui/win32/WideText.h"

#include <algorithm>
#include <commctrl.h>
#include <cstdlib>
#include <initguid.h>
#include <oleacc.h>
#include <utility>

namespace halvern::win32 {

namespace {

using namespace halvern::ui;

constexpr const wchar_t* windowClass = L"HalvernFeeCalculator";
constexpr int firstControlId = 100; // clear of IDOK and IDCANCEL, which the keyboard sends
// Posted by a field that refused a typed character, to tell the user once the key is handled;
// its wParam is the field.
constexpr UINT typingRefused = WM_APP + 1;
constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD windowExStyle = 0;

std::wstring clipboardText(HWND owner) {
    std::wstring text;
    if (OpenClipboard(owner) == FALSE)
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text.assign(chars, wcsnlen(chars, GlobalSize(data) / sizeof(wchar_t)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// The decimal mark of the user's locale, with the user's own change to it in the region
// settings; read at each key, as the user may change it while the window is open.
char16_t userDecimalMark() {
    std::array<wchar_t, 5> mark{};
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, mark.data(),
                                       static_cast<int>(mark.size()));
    return length == 2 ? static_cast<char16_t>(mark[0]) : char16_t{};
}

HFONT fontOfSize(const LOGFONTW& base, int pixels) {
    LOGFONTW font = base;
    font.lfHeight = -pixels;
    font.lfWidth = 0;
    return CreateFontIndirectW(&font);
}

// Screen readers name an edit field after the static text before it in Z order, which is its
// caption here; each field is given its caption's text explicitly all the same, so no change of
// order can take it away.
void nameForAssistiveTechnology(HWND field, const std::wstring& caption) {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&services))))
        return;
    services->SetHwndPropStr(field, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                             caption.c_str());
    services->Release();
}

} // namespace

CalculatorWindow::CalculatorWindow(HINSTANCE instance, const WindowThread& /*preparedThread*/)
    : m_instance(instance)
    , m_windowBrush(CreateSolidBrush(windowColour))
    , m_greyBrush(CreateSolidBrush(lightGrey))
    , m_logo(std::make_unique<Logo>(instance)) {
    WNDCLASSEXW windowClassInfo{};
    windowClassInfo.cbSize = sizeof windowClassInfo;
    windowClassInfo.lpfnWndProc = &CalculatorWindow::windowProcedure;
    windowClassInfo.hInstance = instance;
    windowClassInfo.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClassInfo.hbrBackground = m_windowBrush;
    windowClassInfo.lpszClassName = windowClass;
    RegisterClassExW(&windowClassInfo); // fails harmlessly for a second window in one process

    // Sized for the system's density first; layout() then fits the client area exactly.
    const UINT systemDpi = GetDpiForSystem();
    const PixelRect client = clientRect(static_cast<int>(systemDpi));
    RECT frame{0, 0, client.width, client.height};
    AdjustWindowRectExForDpi(&frame, windowStyle, FALSE, windowExStyle, systemDpi);
    m_window = CreateWindowExW(windowExStyle, windowClass, wide(formCaption).c_str(), windowStyle,
                               CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                               frame.bottom - frame.top, nullptr, nullptr, instance, this);
    m_dpi = GetDpiForWindow(m_window);
    createControls();
    layout(m_dpi);
}

CalculatorWindow::~CalculatorWindow() {
    if (IsWindow(m_window))
        DestroyWindow(m_window);
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(m_captionFont), static_cast<HGDIOBJ>(m_fieldFont),
                           static_cast<HGDIOBJ>(m_buttonFont), static_cast<HGDIOBJ>(m_windowBrush),
                           static_cast<HGDIOBJ>(m_greyBrush)})
        DeleteObject(object);
    for (HICON icon : {m_bigIcon, m_smallIcon})
        DestroyIcon(icon);
}

void CalculatorWindow::show(int showCommand) {
    ShowWindow(m_window, showCommand);
    UpdateWindow(m_window);
    // Named after the first paint, since loading the accessibility services is a large share of
    // the start-up; still before any message is read, so no screen reader asks first.
    for (const FieldRow& row : fieldTable)
        nameForAssistiveTechnology(field(row.field), windowText(control(row.caption)));
    SetFocus(m_controls.at(tabChain.front()));
}

HWND CalculatorWindow::control(const char* name) const {
    const std::size_t row = rowOf(name);
    return row < m_controls.size() ? m_controls.at(row) : nullptr;
}

void CalculatorWindow::createControls() {
    for (std::size_t i = 0; i < controlTable.size(); ++i) {
        const ControlRow& spec = controlTable[i];
        const wchar_t* kind = L"STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE;
        DWORD exStyle = 0;
        std::wstring text = wide(spec.text);
        switch (spec.kind) {
        case ControlKind::textField:
            kind = L"EDIT";
            style |= ES_AUTOHSCROLL | ES_LEFT;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case ControlKind::pushButton:
            kind = L"BUTTON";
            style |= BS_PUSHBUTTON;
            break;
        case ControlKind::label:
            style |= SS_LEFT | SS_NOPREFIX;
            break;
        case ControlKind::picture:
            style |= SS_OWNERDRAW;
            text = wide(logoText);
            break;
        }
        if (takesFocus(spec))
            style |= WS_TABSTOP;
        const auto id = static_cast<INT_PTR>(firstControlId + static_cast<int>(i));
        HWND control = CreateWindowExW(exStyle, kind, text.c_str(), style, 0, 0, 0, 0, m_window,
                                       reinterpret_cast<HMENU>(id), m_instance, nullptr);
        m_controls.at(i) = control;
        if (spec.kind == ControlKind::textField) {
            // The edit control would cut a paste at its limit without a word; pastes are
            // weighed first (fieldProcedure), so the limit only stops typing past the bound.
            SendMessageW(control, EM_SETLIMITTEXT, maxFieldLength, 0);
            SetWindowSubclass(control, &CalculatorWindow::fieldProcedure, 1,
                              reinterpret_cast<DWORD_PTR>(this));
        }
    }
    // Screen readers go through the controls in their Z order: the order a person reads them.
    // Tab follows the tab chain instead (translate), not the dialog manager's Z order.
    HWND previous = HWND_TOP;
    for (const std::size_t row : readingOrder()) {
        SetWindowPos(m_controls.at(row), previous, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = m_controls.at(row);
    }
}

// The title bar's and the task switcher's icons at the window's density: the program icon's own
// images up to 32 pixels, its larger ones beyond, so a dense screen never shows 32 pixels blown up.
void CalculatorWindow::setIcons() {
    const auto load = [this](int size) {
        const wchar_t* resource = size > 32 ? MAKEINTRESOURCEW(largeIconResource) : iconResource;
        return static_cast<HICON>(
            LoadImageW(m_instance, resource, IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    };
    HICON big = load(GetSystemMetricsForDpi(SM_CXICON, m_dpi));
    HICON small = load(GetSystemMetricsForDpi(SM_CXSMICON, m_dpi));
    SendMessageW(m_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(m_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    for (HICON old : {m_bigIcon, m_smallIcon}) {
        if (old != nullptr)
            DestroyIcon(old);
    }
    m_bigIcon = big;
    m_smallIcon = small;
}

void CalculatorWindow::layout(UINT dpi) {
    m_dpi = dpi;
    for (std::size_t i = 0; i < controlTable.size(); ++i) {
        const PixelRect box = pixelRect(controlTable[i], static_cast<int>(dpi));
        MoveWindow(m_controls.at(i), box.left, box.top, box.width, box.height, TRUE);
    }
    // The frame as it is now drawn, rather than as computed for the density: the two differ
    // while the system still draws the frame at another one.
    RECT outer{}, inner{};
    GetWindowRect(m_window, &outer);
    GetClientRect(m_window, &inner);
    const int frameWidth = (outer.right - outer.left) - inner.right;
    const int frameHeight = (outer.bottom - outer.top) - inner.bottom;
    const PixelRect client = clientRect(static_cast<int>(dpi));
    SetWindowPos(m_window, nullptr, 0, 0, client.width + frameWidth, client.height + frameHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    fitFonts();
    setIcons();
}

void CalculatorWindow::fitFonts() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, m_dpi);
    const LOGFONTW& desktop = metrics.lfMessageFont;
    const int edge = 2 * GetSystemMetricsForDpi(SM_CXEDGE, m_dpi);
    const Frames frames{edge, edge + 2 * MulDiv(3, static_cast<int>(m_dpi), 96), edge};

    HDC dc = GetDC(m_window);
    HFONT font = nullptr; // one per size: creating fonts is the cost here
    int fontPixels = 0;
    const FontSizes sizes = fitFontSizes(
        std::abs(static_cast<int>(desktop.lfHeight)), static_cast<int>(m_dpi), frames,
        [&](FontGroup, int size, std::string_view text) {
            if (font == nullptr || fontPixels != size) {
                if (font != nullptr)
                    DeleteObject(font);
                font = fontOfSize(desktop, size);
                fontPixels = size;
            }
            const HGDIOBJ previous = SelectObject(dc, font);
            const std::wstring wideText = wide(text);
            SIZE extent{};
            GetTextExtentPoint32W(dc, wideText.c_str(), static_cast<int>(wideText.size()), &extent);
            TEXTMETRICW textMetrics{};
            GetTextMetricsW(dc, &textMetrics);
            SelectObject(dc, previous);
            return Extent{extent.cx, textMetrics.tmHeight};
        });
    if (font != nullptr)
        DeleteObject(font);
    ReleaseDC(m_window, dc);

    for (HFONT old : {m_captionFont, m_fieldFont, m_buttonFont}) {
        if (old != nullptr)
            DeleteObject(old);
    }
    m_captionFont = fontOfSize(desktop, sizes.captions);
    m_fieldFont = fontOfSize(desktop, sizes.fields);
    m_buttonFont = fontOfSize(desktop, sizes.button);
    for (std::size_t i = 0; i < controlTable.size(); ++i) {
        const auto group = fontGroupOf(controlTable[i].kind);
        HFONT fitted = m_captionFont;
        if (group == FontGroup::fields)
            fitted = m_fieldFont;
        else if (group == FontGroup::button)
            fitted = m_buttonFont;
        SendMessageW(m_controls.at(i), WM_SETFONT, reinterpret_cast<WPARAM>(fitted), TRUE);
    }
}

// Control+Tab too, which the dialog manager would otherwise take round the controls in their Z
// order: the reading order, not the tab chain.
bool CalculatorWindow::translate(MSG& message) {
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB &&
        (message.hwnd == m_window || IsChild(m_window, message.hwnd) != FALSE) &&
        GetKeyState(VK_MENU) >= 0) {
        const auto at = std::find(m_controls.begin(), m_controls.end(), GetFocus());
        HWND next = m_controls.at(nextInTabChain(static_cast<std::size_t>(at - m_controls.begin()),
                                                 GetKeyState(VK_SHIFT) < 0));
        // As the dialog manager does: the keyboard now shows where the focus is, and a field
        // reached by Tab has its whole text selected.
        SendMessageW(m_window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        SetFocus(next);
        if ((SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0)
            SendMessageW(next, EM_SETSEL, 0, -1);
        return true;
    }
    return IsDialogMessageW(m_window, &message) != FALSE;
}

std::string CalculatorWindow::text(Field which) const {
    return utf8(windowText(field(which)));
}

void CalculatorWindow::setText(Field which, const std::string& text) {
    SetWindowTextW(field(which), wide(text).c_str());
}

HWND CalculatorWindow::field(Field which) const {
    return m_controls.at(rowOf(which));
}

void CalculatorWindow::Command1_Click() {
    pressButton(*this);
}

void CalculatorWindow::report(const Report& report) {
    if (report.alert)
        MessageBeep(MB_ICONWARNING);
    const UINT icon = report.severity == Severity::error ? MB_ICONERROR : MB_ICONWARNING;
    MessageBoxW(m_window, wide(report.words).c_str(), wide(formCaption).c_str(), MB_OK | icon);
    if (!report.field)
        return;
    HWND edit = field(*report.field);
    SetFocus(edit);
    if (report.selectField)
        SendMessageW(edit, EM_SETSEL, 0, -1);
}

// The brush and colours of a control whose background the control table fixes; none for the
// controls the theme paints.
HBRUSH CalculatorWindow::fixedBrush(HWND control, HDC dc) const {
    for (std::size_t i = 0; i < controlTable.size(); ++i) {
        if (m_controls.at(i) != control)
            continue;
        const auto colour = fixedBackground(controlTable[i]);
        if (!colour)
            return nullptr;
        // Text on a colour the window fixes is black with it, whatever the desktop's theme.
        SetTextColor(dc, textOnFixedColour);
        SetBkColor(dc, *colour);
        return *colour == lightGrey ? m_greyBrush : m_windowBrush;
    }
    return nullptr;
}

LRESULT CALLBACK CalculatorWindow::fieldProcedure(HWND field, UINT message, WPARAM wParam,
                                                  LPARAM lParam, UINT_PTR /*id*/, DWORD_PTR self) {
    // The edit control pastes on Shift+Insert without a WM_PASTE of its own to weigh.
    const bool shiftInsert = message == WM_KEYDOWN && wParam == VK_INSERT &&
                             GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0;
    auto* window = reinterpret_cast<CalculatorWindow*>(self);
    // The character a key types comes in a WM_CHAR of its own, made from the key's WM_KEYDOWN
    // by the keyboard layout: the key itself is known only from that, and only for that
    // character (an input method sends characters with no key of their own).
    if (message == WM_KEYDOWN)
        window->m_keypadDecimalKey = wParam == VK_DECIMAL;
    if (message == WM_CHAR && wParam <= 0xFFFF) {
        const bool keypadDecimalKey = std::exchange(window->m_keypadDecimalKey, false);
        std::wstring kept = windowText(field);
        DWORD start = 0, end = 0;
        SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        kept.erase(start, end - start);
        const std::u16string_view around(reinterpret_cast<const char16_t*>(kept.data()),
                                         kept.size());
        wParam = typedCharacter(
            {static_cast<char16_t>(wParam), keypadDecimalKey, userDecimalMark()}, around);
    }
    if (message != WM_PASTE && !shiftInsert)
        return DefSubclassProc(field, message, wParam, lParam);
    // The edit control's own paste cuts at its limit and at the first line break, without a
    // word. The text is weighed first, then goes in whole as one replacement of the selection,
    // or not at all.
    const std::wstring clipboard = clipboardText(field);
    const std::u16string_view pasted(reinterpret_cast<const char16_t*>(clipboard.data()),
                                     clipboard.size());
    const std::size_t length = pastedLength(pasted);
    DWORD start = 0, end = 0;
    SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    if (!fitsField(static_cast<std::size_t>(GetWindowTextLengthW(field)), end - start, length)) {
        for (const FieldRow& row : fieldTable) {
            if (window->field(row.field) == field)
                refuseLongText(*window, row.field, length,
                               lengthAfter(static_cast<std::size_t>(GetWindowTextLengthW(field)),
                                           end - start, length));
        }
        return 0;
    }
    const std::u16string kept = pastedText(pasted);
    const std::wstring text(kept.begin(), kept.end());
    SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    return 0;
}

void CalculatorWindow::rememberFocus() {
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(m_window, focus) != FALSE)
        m_focusBefore = focus;
}

LRESULT CALLBACK CalculatorWindow::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                                   LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
        static_cast<CalculatorWindow*>(creation->lpCreateParams)->m_window = window;
    }
    auto* self = reinterpret_cast<CalculatorWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT CalculatorWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const auto id = static_cast<int>(LOWORD(wParam));
        if (HIWORD(wParam) == EN_MAXTEXT) {
            for (const FieldRow& row : fieldTable) {
                if (field(row.field) == reinterpret_cast<HWND>(lParam))
                    PostMessageW(m_window, typingRefused, static_cast<WPARAM>(row.field), 0);
            }
            return 0;
        }
        const auto button = firstControlId + static_cast<int>(rowOf("Command1"));
        // Enter sends IDOK: it presses the button only while the button has the focus.
        if ((id == button && HIWORD(wParam) == BN_CLICKED) ||
            (id == IDOK && GetFocus() == control("Command1")))
            Command1_Click();
        return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        if (HBRUSH brush =
                fixedBrush(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)))
            return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->hwndItem != control("Image1"))
            break;
        FillRect(item->hDC, &item->rcItem, m_windowBrush);
        m_logo->draw(item->hDC, item->rcItem, m_dpi);
        return TRUE;
    }
    case WM_DPICHANGED: {
        // The suggested rectangle whole: at its old size the window could lie mostly on the
        // monitor it left and be sent back to it. The layout then sizes it to the frame as drawn.
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(m_window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        layout(HIWORD(wParam));
        return 0;
    }
    case typingRefused:
        refuseTyping(*this, static_cast<Field>(wParam));
        return 0;
    // The desktop's text size changed while the window is open: its texts are fitted again, as a
    // window opened now would have them.
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETNONCLIENTMETRICS)
            fitFonts();
        break;
    // A plain window takes the focus itself when it is activated again, after a report box or
    // another program, or restored after it was minimised: the keyboard would then reach no
    // control until a click. As a dialog does, it keeps the control that had the focus as it is
    // left or minimised, and passes the focus on to a control: the one that just lost it, the one
    // kept, or else the tab chain's first.
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED)
            rememberFocus();
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            rememberFocus();
        break;
    case WM_SETFOCUS: {
        auto target = reinterpret_cast<HWND>(wParam);
        if (target == nullptr || IsChild(m_window, target) == FALSE)
            target = m_focusBefore;
        if (target == nullptr)
            target = m_controls.at(tabChain.front());
        if (target != nullptr)
            SetFocus(target);
        return 0;
    }
    case WM_DESTROY:
        if (m_endsProgram)
            PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

} // namespace halvern::win32
