// Closes an X window the way a window manager's close button does: a WM_DELETE_WINDOW
// message, which the program may answer as it likes (xdotool can only kill the client).
//   strikora-close-window WINDOW-ID   (on $DISPLAY; status 2 without a window or a display)
#include <X11/Xlib.h>

#include <cstdlib>

int main(int argc, char** argv) {
  Display* display = argc == 2 ? XOpenDisplay(nullptr) : nullptr;
  if (display == nullptr) return 2;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const Status sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  return sent != 0 ? 0 : 1;
}
