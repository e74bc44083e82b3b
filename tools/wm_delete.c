/* wm_delete WINDOW_ID: asks a window to close, as a window manager's close box does
 * (an ICCCM WM_DELETE_WINDOW message), for tests on an X server without a window manager. */
#include <X11/Xlib.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  Display* d = XOpenDisplay(NULL);
  if (!d) return 1;
  Window w = (Window)strtoul(argv[1], NULL, 0);
  XEvent ev = {0};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = w;
  ev.xclient.format = 32;
  ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  ev.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
  ev.xclient.data.l[1] = CurrentTime;
  Status ok = XSendEvent(d, w, False, NoEventMask, &ev);
  XSync(d, False);
  XCloseDisplay(d);
  return ok ? 0 : 1;
}
