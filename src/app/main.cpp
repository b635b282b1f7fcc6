// Starts the program: the application object, then the platform's start,
// which runs the toolkit and the application object's InitInstance.
#include <cstdio>
#include <cstdlib>

#include "demo_app.h"

namespace {

// The toolkit aborts when it finds no display; say what to do instead.
bool HaveDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform) return true;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

}  // namespace

int main(int argc, char** argv) {
    if (!HaveDisplay()) {
        std::fprintf(stderr,
                     "korvel: no display found (DISPLAY is not set); run it in a desktop session "
                     "or under a virtual display: xvfb-run -a korvel\n");
        return 1;
    }
    CDemoApp theApp;
    return AfxWinMain(argc, argv);
}
