#pragma once

#include <QAbstractNativeEventFilter>
#include <QString>
#include <memory>

class QApplication;
class QWidget;

namespace halvern::qt {

// What a desktop program does around its window rather than in it: opening the display with a
// plain answer when there is none, naming the application to assistive technology, and ending
// when the window system takes the window away. It builds no controls.

// Creates the application. Where no display can be opened, says so on one line of standard
// error, naming DISPLAY and WAYLAND_DISPLAY, and ends the process with status 1 rather than
// the toolkit's abort.
std::unique_ptr<QApplication> openDisplay(int& argc, char** argv);

// Announces the application to assistive technology by its display name.
void nameApplicationForAssistiveTechnology();

// Quits the application when another X client destroys `window`, which the toolkit would
// otherwise not notice, leaving a process with nothing on screen.
class WindowDestroyedWatcher final : public QAbstractNativeEventFilter {
public:
    explicit WindowDestroyedWatcher(const QWidget& window);
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    quint32 m_windowId = 0;
};

} // namespace halvern::qt
