#include "ui/qt/Startup.h"

#include <QAccessible>
#include <QAccessibleApplication>
#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace halvern::qt {

namespace {

// Qt's messages while the display is being opened: held back, since on failure the user gets
// one line of ours instead, and passed on as they were once the display is open.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
std::vector<HeldMessage> heldMessages;
QtMessageHandler previousHandler = nullptr;

void holdWhileOpening(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        heldMessages.push_back({type, QByteArray(context.category), text});
        return;
    }
    const QByteArray display = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    std::fprintf(stderr,
                 "halvern-fee: cannot open a display (DISPLAY=%s, WAYLAND_DISPLAY=%s): start it "
                 "from a desktop session, or set DISPLAY or WAYLAND_DISPLAY to a running one\n",
                 display.isEmpty() ? "unset" : display.constData(),
                 wayland.isEmpty() ? "unset" : wayland.constData());
    std::fflush(stderr);
    std::_Exit(EXIT_FAILURE);
}

class NamedApplication final : public QAccessibleApplication {
public:
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return QGuiApplication::applicationDisplayName();
        return QAccessibleApplication::text(t);
    }
};

// cppcheck-suppress constParameter ; the signature is Qt's factory type
QAccessibleInterface* namedApplication(const QString& className, QObject* object) {
    if (object == qApp && className == QLatin1String("QApplication"))
        return new NamedApplication;
    return nullptr;
}

// An X DestroyNotify event as the protocol lays it out: its code in the first byte (the top bit
// marks events sent by other clients), the destroyed window at byte 8.
constexpr quint8 destroyNotifyCode = 17;
constexpr std::size_t destroyedWindowOffset = 8;

} // namespace

std::unique_ptr<QApplication> openDisplay(int& argc, char** argv) {
    previousHandler = qInstallMessageHandler(holdWhileOpening);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previousHandler);
    for (const HeldMessage& message : heldMessages) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        qt_message_output(message.type, context, message.text);
    }
    heldMessages.clear();
    return app;
}

void nameApplicationForAssistiveTechnology() {
    QAccessible::installFactory(namedApplication);
}

WindowDestroyedWatcher::WindowDestroyedWatcher(const QWidget& window)
    : m_windowId(static_cast<quint32>(window.winId())) {}

bool WindowDestroyedWatcher::nativeEventFilter(const QByteArray& eventType, void* message,
                                               qintptr* /*result*/) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* bytes = static_cast<const unsigned char*>(message);
    if ((bytes[0] & 0x7fU) != destroyNotifyCode)
        return false;
    quint32 window = 0;
    std::memcpy(&window, bytes + destroyedWindowOffset, sizeof window);
    if (window == m_windowId)
        QCoreApplication::quit();
    return false;
}

} // namespace halvern::qt
