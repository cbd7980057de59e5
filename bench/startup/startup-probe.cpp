// Starts one program on the current X display and measures, from the moment before it is started:
// when its first top-level window is mapped, when the first pixels reach the screen after that
// (the first damage), when drawing settles (the last damage before a quiet spell), and the
// program's peak resident memory. Prints one line: map_ms first_paint_ms settled_ms peak_rss_kib.
//   startup-probe <program> [arguments...]
// Damage is watched on the root window, so it sees drawing in any window without racing the
// program to its own window; the display should have no other clients drawing.
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto quietSpell = std::chrono::milliseconds(300);
constexpr auto giveUp = std::chrono::seconds(20);

double millisecondsSince(Clock::time_point start, Clock::time_point then) {
    return std::chrono::duration<double, std::milli>(then - start).count();
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fputs("usage: startup-probe <program> [arguments...]\n", stderr);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("startup-probe: cannot open the display\n", stderr);
        return 1;
    }
    int damageEvent = 0, damageError = 0;
    if (XDamageQueryExtension(display, &damageEvent, &damageError) == 0) {
        std::fputs("startup-probe: the display has no DAMAGE extension\n", stderr);
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    const Damage damage = XDamageCreate(display, root, XDamageReportNonEmpty);
    XSync(display, False);
    // Nothing that happened before the start counts.
    XDamageSubtract(display, damage, None, None);
    XSync(display, False);
    while (XPending(display) > 0) {
        XEvent ignored;
        XNextEvent(display, &ignored);
    }

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        std::perror("startup-probe: exec");
        _exit(127);
    }

    std::optional<Clock::time_point> mapped, firstPaint, lastPaint;
    const int connection = ConnectionNumber(display);
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (now - start > giveUp)
            break;
        if (lastPaint && now - *lastPaint > quietSpell)
            break;
        if (XPending(display) == 0) {
            pollfd ready{connection, POLLIN, 0};
            poll(&ready, 1, 20);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        const Clock::time_point when = Clock::now();
        if (event.type == MapNotify && !mapped) {
            mapped = when;
        } else if (event.type == damageEvent + XDamageNotify) {
            XDamageSubtract(display, damage, None, None);
            if (mapped) {
                if (!firstPaint)
                    firstPaint = when;
                lastPaint = when;
            }
        }
    }

    kill(child, SIGTERM);
    int status = 0;
    rusage usage{};
    while (wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    XDamageDestroy(display, damage);
    XCloseDisplay(display);

    if (!firstPaint) {
        std::fprintf(stderr, "startup-probe: %s showed no window within %lld s\n", argv[1],
                     static_cast<long long>(giveUp.count()));
        return 1;
    }
    std::printf("%.1f %.1f %.1f %ld\n", millisecondsSince(start, *mapped),
                millisecondsSince(start, *firstPaint), millisecondsSince(start, *lastPaint),
                usage.ru_maxrss);
    return 0;
}
