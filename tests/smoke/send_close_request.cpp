// Sends the window manager's close request (WM_DELETE_WINDOW) to the windows with the given title, as a
// close box would, waiting up to the given number of seconds for such a window to appear. The toolkit
// may keep a second native window of the same title, so every match gets the request.
// Usage: send_close_request TITLE [SECONDS]

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

void findWindows(Display* display, Window window, const std::string& title, std::vector<Window>& found) {
    XTextProperty name;
    if (XGetWMName(display, window, &name) && name.value) {
        if (title == reinterpret_cast<const char*>(name.value)) found.push_back(window);
        XFree(name.value);
    }
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return;
    for (unsigned int i = 0; i < count; ++i) findWindows(display, children[i], title, found);
    if (children) XFree(children);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s TITLE [SECONDS]\n", argv[0]);
        return 2;
    }
    const std::string title = argv[1];
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 20;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no display\n");
        return 2;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    std::vector<Window> windows;
    for (;;) {
        findWindows(display, DefaultRootWindow(display), title, windows);
        if (!windows.empty()) break;
        if (std::chrono::steady_clock::now() > deadline) {
            std::fprintf(stderr, "window '%s' not found\n", title.c_str());
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    for (const Window window : windows) {
        XEvent event;
        std::memset(&event, 0, sizeof event);
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
    }
    XFlush(display);
    XCloseDisplay(display);
    return 0;
}
