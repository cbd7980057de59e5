#pragma once

#include "calc/Errors.h"
#include "ui/shared/ControlTable.h"
#include "ui/shared/WindowRules.h"

#include <array>
#include <memory>
#include <string>
#include <windows.h>

namespace halvern::win32 {

class Logo;
class WindowThread;

// The program's one window on Windows: the controls of the control table as plain Win32 EDIT,
// BUTTON and STATIC windows, laid out in twips at the window's DPI, and the three text fields
// offered to the calculation as its form. Presses and refused edits go through the rules every
// window shares; the window computes, words and decides nothing itself.
class CalculatorWindow final : public ui::WindowPort {
public:
    // Creates the window, hidden, with its controls; show() shows it with the focus in amount.
    // It is made on a thread already prepared: without the thread's apartment the fields would
    // reach screen readers unnamed, and nothing would tell.
    CalculatorWindow(HINSTANCE instance, const WindowThread& preparedThread);
    // A thread prepared for the moment of the call alone would end its apartment under the window.
    CalculatorWindow(HINSTANCE instance, const WindowThread&& preparedThread) = delete;
    ~CalculatorWindow() override;
    CalculatorWindow(const CalculatorWindow&) = delete;
    CalculatorWindow& operator=(const CalculatorWindow&) = delete;
    CalculatorWindow(CalculatorWindow&&) = delete;
    CalculatorWindow& operator=(CalculatorWindow&&) = delete;

    void show(int showCommand);
    // Closing the window then ends the thread's message loop.
    void endProgramOnClose() { m_endsProgram = true; }
    HWND handle() const { return m_window; }
    // A control by its name in the control table ("amount", "Command1", "Label4", "Image1", ...).
    HWND control(const char* name) const;

    // The keyboard's dialog navigation for a message of the message loop: Tab and Shift+Tab,
    // Control held or not, round the tab chain, Space and Enter on the button. True where the
    // message was handled here.
    bool translate(MSG& message);

    std::string text(Field field) const override;
    void setText(Field field, const std::string& text) override;
    void report(const Report& report) override;

    // Lays the controls out for a density, as on a move to a screen of another DPI.
    void layout(UINT dpi);

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    static LRESULT CALLBACK fieldProcedure(HWND field, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR id, DWORD_PTR self);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    void createControls();
    void fitFonts();
    void setIcons();
    void Command1_Click();
    HWND field(Field which) const;
    HBRUSH fixedBrush(HWND control, HDC dc) const;
    // Keeps the control with the focus, if one has it, to give the focus back to.
    void rememberFocus();

    HINSTANCE m_instance;
    HWND m_window = nullptr;
    std::array<HWND, ui::controlTable.size()> m_controls{}; // in the order of the control table
    UINT m_dpi = 96;
    bool m_endsProgram = false;
    HWND m_focusBefore = nullptr;    // the control that had the focus when the window lost it
    bool m_keypadDecimalKey = false; // whether the last key down in a field was that key
    HBRUSH m_windowBrush;
    HBRUSH m_greyBrush;
    HFONT m_captionFont = nullptr;
    HFONT m_fieldFont = nullptr;
    HFONT m_buttonFont = nullptr;
    HICON m_bigIcon = nullptr;
    HICON m_smallIcon = nullptr;
    std::unique_ptr<Logo> m_logo;
};

} // namespace halvern::win32
