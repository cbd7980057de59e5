// How long the Windows window's edit control takes with a field at its bound, run under Wine
// (the slowest edit control the program meets): the paste of a full field, then a key typed at
// its end and a backspace, at the bound and at lengths around it. Figures, not a test: the goal
// is no pause over 250 ms at the bound.
//   full-field-benchmark.exe [rounds, default 5]
#include "ui/shared/FieldEdits.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <windows.h>

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
    HWND parent = CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  400, 100, nullptr, nullptr, nullptr, nullptr);
    HWND edit =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10,
                        10, 89, 19, parent, nullptr, nullptr, nullptr);
    SendMessageW(edit, EM_SETLIMITTEXT, 1'000'000, 0);
    const std::size_t bound = halvern::ui::maxFieldLength;
    std::printf("Wine's edit control, median of %d rounds\n%10s %12s %10s %12s\n", rounds,
                "characters", "paste ms", "key ms", "backspace ms");
    for (const std::size_t length : {bound / 4, bound / 2, bound, bound * 2}) {
        std::vector<double> paste, key, erase;
        const std::wstring text(length, L'9');
        for (int round = 0; round < rounds; ++round) {
            SetWindowTextW(edit, L"");
            auto start = Clock::now();
            SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
            UpdateWindow(edit);
            paste.push_back(since(start));
            start = Clock::now();
            SendMessageW(edit, WM_CHAR, L'1', 0);
            UpdateWindow(edit);
            key.push_back(since(start));
            start = Clock::now();
            SendMessageW(edit, WM_CHAR, L'\b', 0);
            UpdateWindow(edit);
            erase.push_back(since(start));
        }
        std::printf("%10zu %12.1f %10.1f %12.1f%s\n", length, median(paste), median(key),
                    median(erase), length == bound ? "   <- the bound" : "");
    }
    DestroyWindow(parent);
    return 0;
}
