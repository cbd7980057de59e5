#include "win32/CalculatorWindow.h"

#include "win32/Logo.h"
#include "win32/Resources.h"
#include "window/CaptionFit.h"
#include "window/ControlTable.h"
#include "window/ErrorReport.h"

#include <algorithm>
#include <commctrl.h>
#include <cstring>
#include <initguid.h>
#include <map>
#include <oleacc.h>
#include <vector>

namespace halvern::win32 {

namespace {

using namespace halvern::window;

constexpr const wchar_t* windowClass = L"HalvernFeeCalculator";
constexpr int firstControlId = 100; // clear of IDOK and IDCANCEL, which the keyboard sends
constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD windowExStyle = 0;

std::wstring wide(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(),
                        length);
    return text;
}

std::string utf8(std::wstring_view text) {
    if (text.empty())
        return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    return bytes;
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

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

std::size_t indexOf(const char* name) {
    for (std::size_t i = 0; i < controlTable.size(); ++i) {
        if (std::strcmp(controlTable[i].name, name) == 0)
            return i;
    }
    return controlTable.size();
}

RECT pixelRect(const ControlSpec& spec, UINT dpi) {
    const int d = static_cast<int>(dpi);
    const int left = twipsToPixels(spec.left, d), top = twipsToPixels(spec.top, d);
    return {left, top, left + twipsToPixels(spec.width, d), top + twipsToPixels(spec.height, d)};
}

HFONT fontOfSize(const LOGFONTW& base, int pixels) {
    LOGFONTW font = base;
    font.lfHeight = -pixels;
    font.lfWidth = 0;
    return CreateFontIndirectW(&font);
}

// Screen readers name an edit field after the static text before it in Z order, and here the
// Z order is the tab order: each field is given its caption's text explicitly.
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

CalculatorWindow::CalculatorWindow(HINSTANCE instance)
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
    RECT frame{0, 0, twipsToPixels(formWidth, static_cast<int>(systemDpi)),
               twipsToPixels(formHeight, static_cast<int>(systemDpi))};
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
    SetFocus(control("amount"));
}

HWND CalculatorWindow::control(const char* name) const {
    const std::size_t index = indexOf(name);
    return index < m_controls.size() ? m_controls.at(index) : nullptr;
}

void CalculatorWindow::createControls() {
    std::map<int, HWND> tabOrder;
    for (std::size_t i = 0; i < controlTable.size(); ++i) {
        const ControlSpec& spec = controlTable[i];
        const wchar_t* kind = L"STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE;
        DWORD exStyle = 0;
        std::wstring text = wide(spec.text);
        switch (spec.kind) {
        case ControlKind::textField:
            kind = L"EDIT";
            style |= WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case ControlKind::pushButton:
            kind = L"BUTTON";
            style |= WS_TABSTOP | BS_PUSHBUTTON;
            break;
        case ControlKind::label:
            style |= SS_LEFT | SS_NOPREFIX;
            break;
        case ControlKind::picture:
            style |= SS_OWNERDRAW;
            text = L"Halvern logo";
            break;
        }
        const auto id = static_cast<INT_PTR>(firstControlId + static_cast<int>(i));
        HWND control = CreateWindowExW(exStyle, kind, text.c_str(), style, 0, 0, 0, 0, m_window,
                                       reinterpret_cast<HMENU>(id), m_instance, nullptr);
        m_controls.at(i) = control;
        if (spec.kind == ControlKind::textField) {
            // The edit control would cut a paste at its limit without a word; pastes are
            // weighed first (fieldProcedure), so the limit only stops typing past the bound.
            SendMessageW(control, EM_SETLIMITTEXT, static_cast<WPARAM>(maxFieldLength), 0);
            SetWindowSubclass(control, &CalculatorWindow::fieldProcedure, 1,
                              reinterpret_cast<DWORD_PTR>(this));
        }
        if (spec.tabIndex != noTabStop)
            tabOrder.emplace(spec.tabIndex, control);
    }
    // Dialog navigation follows the Z order: put the focusable controls in tab order on top.
    HWND previous = HWND_TOP;
    for (const auto& [index, control] : tabOrder) {
        SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = control;
    }
    for (const FieldCaption& pair : fieldCaptions)
        nameForAssistiveTechnology(control(pair.field), windowText(control(pair.label)));

    const int big = GetSystemMetricsForDpi(SM_CXICON, m_dpi);
    const int small = GetSystemMetricsForDpi(SM_CXSMICON, m_dpi);
    m_bigIcon = static_cast<HICON>(
        LoadImageW(m_instance, iconResource, IMAGE_ICON, big, big, LR_DEFAULTCOLOR));
    m_smallIcon = static_cast<HICON>(
        LoadImageW(m_instance, iconResource, IMAGE_ICON, small, small, LR_DEFAULTCOLOR));
    SendMessageW(m_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon));
    SendMessageW(m_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));
}

void CalculatorWindow::layout(UINT dpi) {
    m_dpi = dpi;
    for (std::size_t i = 0; i < controlTable.size(); ++i) {
        const RECT box = pixelRect(controlTable[i], dpi);
        MoveWindow(m_controls.at(i), box.left, box.top, box.right - box.left, box.bottom - box.top,
                   TRUE);
    }
    // The frame as it is now drawn, rather than as computed for the density: the two differ
    // while the system still draws the frame at another one.
    RECT outer{}, inner{};
    GetWindowRect(m_window, &outer);
    GetClientRect(m_window, &inner);
    const int frameWidth = (outer.right - outer.left) - inner.right;
    const int frameHeight = (outer.bottom - outer.top) - inner.bottom;
    SetWindowPos(m_window, nullptr, 0, 0,
                 twipsToPixels(formWidth, static_cast<int>(dpi)) + frameWidth,
                 twipsToPixels(formHeight, static_cast<int>(dpi)) + frameHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    fitFonts();
}

void CalculatorWindow::fitFonts() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, m_dpi);
    const LOGFONTW& desktop = metrics.lfMessageFont;
    const int desktopPixels = std::abs(static_cast<int>(desktop.lfHeight));

    const auto scaled = [this](int pixels) {
        return MulDiv(pixels, static_cast<int>(m_dpi), 96);
    };
    const int edge = 2 * GetSystemMetricsForDpi(SM_CXEDGE, m_dpi);
    const int buttonMargin = edge + 2 * scaled(3);
    std::vector<std::wstring> labelTexts, fieldTexts, buttonTexts;
    std::vector<Extent> labelRooms, fieldRooms, buttonRooms;
    for (std::size_t i = 0; i < controlTable.size(); ++i) {
        const RECT box = pixelRect(controlTable[i], m_dpi);
        const Extent room{box.right - box.left, box.bottom - box.top};
        switch (controlTable[i].kind) {
        case ControlKind::label:
            labelTexts.push_back(windowText(m_controls.at(i)));
            labelRooms.push_back(room);
            break;
        case ControlKind::textField:
            // What the user types must be one line high inside the sunken edge.
            fieldTexts.emplace_back();
            fieldRooms.push_back({room.width - edge, room.height - edge});
            break;
        case ControlKind::pushButton:
            buttonTexts.push_back(windowText(m_controls.at(i)));
            buttonRooms.push_back({room.width - buttonMargin, room.height - edge});
            break;
        case ControlKind::picture:
            break;
        }
    }

    HDC dc = GetDC(m_window);
    const auto fitted = [&](const std::vector<std::wstring>& texts,
                            const std::vector<Extent>& rooms) {
        HFONT font = nullptr;
        int fontPixels = 0;
        const int pixels = fitPixelSize(desktopPixels, rooms, [&](int size, std::size_t i) {
            if (font == nullptr || fontPixels != size) {
                if (font != nullptr)
                    DeleteObject(font);
                font = fontOfSize(desktop, size);
                fontPixels = size;
            }
            const HGDIOBJ previous = SelectObject(dc, font);
            SIZE extent{};
            const std::wstring& text = texts.at(i);
            GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            TEXTMETRICW textMetrics{};
            GetTextMetricsW(dc, &textMetrics);
            SelectObject(dc, previous);
            return Extent{extent.cx, textMetrics.tmHeight};
        });
        if (font != nullptr)
            DeleteObject(font);
        return fontOfSize(desktop, pixels);
    };
    HFONT captions = fitted(labelTexts, labelRooms);
    HFONT fields = fitted(fieldTexts, fieldRooms);
    HFONT button = fitted(buttonTexts, buttonRooms);
    ReleaseDC(m_window, dc);

    for (std::size_t i = 0; i < controlTable.size(); ++i) {
        HFONT font = captions;
        if (controlTable[i].kind == ControlKind::textField)
            font = fields;
        else if (controlTable[i].kind == ControlKind::pushButton)
            font = button;
        SendMessageW(m_controls.at(i), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    for (HFONT old : {m_captionFont, m_fieldFont, m_buttonFont}) {
        if (old != nullptr)
            DeleteObject(old);
    }
    m_captionFont = captions;
    m_fieldFont = fields;
    m_buttonFont = button;
}

bool CalculatorWindow::translate(MSG& message) {
    return IsDialogMessageW(m_window, &message) != FALSE;
}

std::string CalculatorWindow::amount() const {
    return utf8(windowText(control("amount")));
}

std::string CalculatorWindow::gprice() const {
    return utf8(windowText(control("gprice")));
}

std::string CalculatorWindow::fee() const {
    return utf8(windowText(control("fee")));
}

void CalculatorWindow::setFee(const std::string& text) {
    SetWindowTextW(control("fee"), wide(text).c_str());
}

HWND CalculatorWindow::field(Field which) const {
    switch (which) {
    case Field::amount:
        return control("amount");
    case Field::gprice:
        return control("gprice");
    case Field::fee:
        return control("fee");
    }
    return nullptr;
}

void CalculatorWindow::Command1_Click() {
    // Every error ends here, in front of the user, and the window goes on waiting.
    if (const std::optional<ErrorReport> report = pressButton(*this))
        reportError(*report);
}

void CalculatorWindow::reportError(const ErrorReport& report) {
    MessageBoxW(m_window, wide(report.text).c_str(), wide(formCaption).c_str(),
                MB_OK | MB_ICONERROR);
    // Back where the mistake is, its text selected, ready to be typed over.
    if (report.field) {
        HWND mistaken = field(*report.field);
        SetFocus(mistaken);
        SendMessageW(mistaken, EM_SETSEL, 0, -1);
    }
}

void CalculatorWindow::refuseLongText(HWND field, std::size_t length) {
    MessageBeep(MB_ICONWARNING);
    MessageBoxW(m_window, wide(tooLongNote(length)).c_str(), wide(formCaption).c_str(),
                MB_OK | MB_ICONWARNING);
    SetFocus(field);
}

LRESULT CALLBACK CalculatorWindow::fieldProcedure(HWND field, UINT message, WPARAM wParam,
                                                  LPARAM lParam, UINT_PTR /*id*/, DWORD_PTR self) {
    if (message != WM_PASTE)
        return DefSubclassProc(field, message, wParam, lParam);
    // The edit control's own paste cuts at its limit and at the first line break, without a
    // word. The text is weighed first, then goes in whole as one replacement of the selection,
    // or not at all.
    const std::wstring text = clipboardText(field);
    DWORD start = 0, end = 0;
    SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const auto kept = static_cast<std::size_t>(GetWindowTextLengthW(field)) - (end - start);
    if (kept + text.size() > static_cast<std::size_t>(maxFieldLength)) {
        reinterpret_cast<CalculatorWindow*>(self)->refuseLongText(field, text.size());
        return 0;
    }
    SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    return 0;
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
        const auto button = static_cast<int>(firstControlId + indexOf("Command1"));
        // Enter sends IDOK: it presses the button only while the button has the focus.
        if ((id == button && HIWORD(wParam) == BN_CLICKED) ||
            (id == IDOK && GetFocus() == control("Command1")))
            Command1_Click();
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        // Text on a colour the window fixes is black with it, whatever the desktop's theme.
        SetTextColor(reinterpret_cast<HDC>(wParam), textOnFixedColour);
        SetBkColor(reinterpret_cast<HDC>(wParam), windowColour);
        return reinterpret_cast<LRESULT>(m_windowBrush);
    case WM_CTLCOLOREDIT:
        if (reinterpret_cast<HWND>(lParam) != control("fee"))
            break;
        SetTextColor(reinterpret_cast<HDC>(wParam), textOnFixedColour);
        SetBkColor(reinterpret_cast<HDC>(wParam), lightGrey);
        return reinterpret_cast<LRESULT>(m_greyBrush);
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->hwndItem != control("Image1"))
            break;
        FillRect(item->hDC, &item->rcItem, m_windowBrush);
        m_logo->draw(item->hDC, item->rcItem, m_dpi);
        return TRUE;
    }
    case WM_DPICHANGED: {
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(m_window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        layout(HIWORD(wParam));
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
