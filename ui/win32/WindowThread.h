#pragma once

namespace halvern::win32 {

// What the thread that runs the window needs before it makes it: a COM apartment, in which the
// window names its fields for screen readers, and the common controls' window classes. The
// apartment ends with it.
class WindowThread {
public:
    WindowThread();
    ~WindowThread();
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;
    WindowThread(WindowThread&&) = delete;
    WindowThread& operator=(WindowThread&&) = delete;

private:
    bool m_apartment = false;
};

} // namespace halvern::win32
