#include "platform/ui.h"

#include <cstdio>
#include <cstdlib>

namespace kivo {

namespace {
UiServices* g_ui = nullptr;
}

UiServices& Ui() {
    if (!g_ui) {
        std::fputs("kivotool: no UI services installed\n", stderr);
        std::abort();
    }
    return *g_ui;
}

void SetUi(UiServices* services) { g_ui = services; }

}  // namespace kivo
