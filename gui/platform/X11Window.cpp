#include "gui/platform/X11Window.h"

#include "gui/CFrame.h"
#include "gui/platform/Surface.h"
#include "plugin/VstInterface.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <poll.h>
#include <vector>

namespace GUI::platform {

namespace {

constexpr Time kDoubleClickTime = 500; // ms

// Xlib's error handler is process-wide and by default ends the process. Errors on our own
// connections (a window the host already destroyed, say) are ignored; others go to
// whichever handler was installed before.
struct ErrorTrap {
    std::vector<Display*> displays;
    XErrorHandler previous = nullptr;
    int errors = 0;
};

ErrorTrap& trap() {
    static ErrorTrap instance;
    return instance;
}

int onXError(Display* display, XErrorEvent* event) {
    ErrorTrap& t = trap();
    if (std::find(t.displays.begin(), t.displays.end(), display) != t.displays.end()) {
        ++t.errors;
        return 0;
    }
    return t.previous ? t.previous(display, event) : 0;
}

void trapErrors(Display* display) {
    ErrorTrap& t = trap();
    if (t.displays.empty()) t.previous = XSetErrorHandler(&onXError);
    t.displays.push_back(display);
}

void releaseErrors(Display* display) {
    ErrorTrap& t = trap();
    t.displays.erase(std::remove(t.displays.begin(), t.displays.end(), display), t.displays.end());
    if (!t.displays.empty()) return;
    // Put the earlier handler back unless someone replaced ours meanwhile.
    XErrorHandler current = XSetErrorHandler(t.previous);
    if (current != &onXError) XSetErrorHandler(current);
    t.previous = nullptr;
}

struct KeyEntry {
    KeySym sym;
    unsigned char virt;
};

constexpr KeyEntry kVirtualKeys[] = {
    {XK_BackSpace, VKEY_BACK},
    {XK_Tab, VKEY_TAB},
    {XK_ISO_Left_Tab, VKEY_TAB},
    {XK_Clear, VKEY_CLEAR},
    {XK_Return, VKEY_RETURN},
    {XK_Pause, VKEY_PAUSE},
    {XK_Escape, VKEY_ESCAPE},
    {XK_space, VKEY_SPACE},
    {XK_End, VKEY_END},
    {XK_Home, VKEY_HOME},
    {XK_Left, VKEY_LEFT},
    {XK_Up, VKEY_UP},
    {XK_Right, VKEY_RIGHT},
    {XK_Down, VKEY_DOWN},
    {XK_Page_Up, VKEY_PAGEUP},
    {XK_Page_Down, VKEY_PAGEDOWN},
    {XK_Select, VKEY_SELECT},
    {XK_Print, VKEY_PRINT},
    {XK_KP_Enter, VKEY_ENTER},
    {XK_Insert, VKEY_INSERT},
    {XK_Delete, VKEY_DELETE},
    {XK_Help, VKEY_HELP},
    {XK_KP_Multiply, VKEY_MULTIPLY},
    {XK_KP_Add, VKEY_ADD},
    {XK_KP_Separator, VKEY_SEPARATOR},
    {XK_KP_Subtract, VKEY_SUBTRACT},
    {XK_KP_Decimal, VKEY_DECIMAL},
    {XK_KP_Divide, VKEY_DIVIDE},
    {XK_Num_Lock, VKEY_NUMLOCK},
    {XK_Scroll_Lock, VKEY_SCROLL},
    {XK_Shift_L, VKEY_SHIFT},
    {XK_Shift_R, VKEY_SHIFT},
    {XK_Control_L, VKEY_CONTROL},
    {XK_Control_R, VKEY_CONTROL},
    {XK_Alt_L, VKEY_ALT},
    {XK_Alt_R, VKEY_ALT},
    {XK_KP_Equal, VKEY_EQUALS},
    {XK_KP_Left, VKEY_LEFT},
    {XK_KP_Up, VKEY_UP},
    {XK_KP_Right, VKEY_RIGHT},
    {XK_KP_Down, VKEY_DOWN},
};

CPoint at(int x, int y) {
    return {x, y};
}

bool handled(CMouseEventResult result) {
    return result != kMouseEventNotHandled && result != kMouseEventNotImplemented;
}

} // namespace

struct X11Window::Impl {
    CFrame& frame;
    Display* display = nullptr;
    Window parent = 0;
    Window window = 0;
    GC gc = nullptr;
    Visual* visual = nullptr;
    int depth = 0;
    bool alive = false;
    Time lastPressTime = 0;
    unsigned int lastPressButton = 0;
    // X buttons whose press went to the host: their releases follow it there.
    unsigned long forwardedButtons = 0;
    bool drained = false; // no event can be waiting but on the socket

    Impl(CFrame& f) : frame(f) {}
    ~Impl();
    bool open(Window parentWindow);
    void dispatch(XEvent& event, CRect& exposed);
    void onButtonPress(XButtonEvent& e);
    void onButtonRelease(XButtonEvent& e);
    void onKey(XKeyEvent& e, bool down);
    void forwardButton(const XButtonEvent& e, long mask);
};

bool X11Window::Impl::open(Window parentWindow) {
    display = XOpenDisplay(nullptr);
    if (!display) return false;
    trapErrors(display);
    parent = parentWindow;
    XWindowAttributes parentAttributes;
    const int errorsBefore = trap().errors;
    if (!XGetWindowAttributes(display, parent, &parentAttributes) || trap().errors != errorsBefore)
        return false;
    const CRect& size = frame.getViewSize();
    XSetWindowAttributes attributes{};
    // No background: the whole window is always painted from the frame's image.
    attributes.background_pixmap = None;
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask |
                            StructureNotifyMask;
    window = XCreateWindow(display, parent, int(size.left), int(size.top),
                           unsigned(std::max<CCoord>(size.width(), 1)),
                           unsigned(std::max<CCoord>(size.height(), 1)), 0, CopyFromParent,
                           InputOutput, CopyFromParent, CWBackPixmap | CWEventMask, &attributes);
    XWindowAttributes own;
    if (!window || !XGetWindowAttributes(display, window, &own) || trap().errors != errorsBefore)
        return false;
    alive = true;
    visual = own.visual;
    depth = own.depth;
    gc = XCreateGC(display, window, 0, nullptr);
    XMapWindow(display, window);
    XFlush(display);
    return true;
}

X11Window::Impl::~Impl() {
    if (!display) return;
    if (gc) XFreeGC(display, gc);
    if (alive) XDestroyWindow(display, window);
    XSync(display, False);
    XCloseDisplay(display);
    releaseErrors(display);
}

void X11Window::Impl::onButtonPress(XButtonEvent& e) {
    bool used = false;
    if (e.button >= 4 && e.button <= 7) {
        const bool vertical = e.button <= 5;
        const float distance = (e.button == 4 || e.button == 6) ? 1.f : -1.f;
        used = frame.onWheel(at(e.x, e.y), vertical ? kMouseWheelAxisY : kMouseWheelAxisX, distance,
                             buttonsFromState(e.state) & ~(kLButton | kMButton | kRButton));
    } else if (const CButtonState bit = buttonBit(e.button)) {
        CButtonState buttons = bit | (buttonsFromState(e.state) & ~0xeL);
        if (e.button == lastPressButton && e.time - lastPressTime <= kDoubleClickTime)
            buttons |= kDoubleClick;
        lastPressButton = e.button;
        lastPressTime = e.time;
        CPoint where = at(e.x, e.y);
        used = handled(frame.onMouseDown(where, buttons));
    }
    if (used || !alive) return;
    if (e.button < 8 * sizeof forwardedButtons) forwardedButtons |= 1ul << e.button;
    forwardButton(e, ButtonPressMask);
}

void X11Window::Impl::onButtonRelease(XButtonEvent& e) {
    const unsigned long bit = e.button < 8 * sizeof forwardedButtons ? 1ul << e.button : 0;
    if (forwardedButtons & bit) {
        forwardedButtons &= ~bit;
        if (alive) forwardButton(e, ButtonReleaseMask);
        return;
    }
    const CButtonState button = buttonBit(e.button);
    if (button == 0) return;
    CPoint where = at(e.x, e.y);
    frame.onMouseUp(where, button | (buttonsFromState(e.state) & ~0xeL));
}

// Our window selects button events, so X never passes them up: a press the frame leaves
// (the host's context menu, say) is sent to the parent as if it had reached it directly.
void X11Window::Impl::forwardButton(const XButtonEvent& e, long mask) {
    XEvent forward{};
    forward.xbutton = e;
    forward.xbutton.window = parent;
    forward.xbutton.subwindow = window;
    Window ignored = 0;
    // Asked each time: the host may have moved our window inside its own.
    XTranslateCoordinates(display, window, parent, e.x, e.y, &forward.xbutton.x, &forward.xbutton.y,
                          &ignored);
    XSendEvent(display, parent, True, mask, &forward);
    XFlush(display);
    drained = false;
}

void X11Window::Impl::onKey(XKeyEvent& e, bool down) {
    KeySym sym = NoSymbol;
    char text[8];
    XLookupString(&e, text, sizeof text, &sym, nullptr);
    VstKeyCode key = keyCodeFromKeySym(sym, e.state);
    const int32_t used = down ? frame.onKeyDown(key) : frame.onKeyUp(key);
    if (used > 0 || !alive) return;
    // Keys the editor does not use belong to the host.
    XEvent forward{};
    forward.xkey = e;
    forward.xkey.window = parent;
    XSendEvent(display, parent, True, down ? KeyPressMask : KeyReleaseMask, &forward);
    XFlush(display);
}

void X11Window::Impl::dispatch(XEvent& event, CRect& exposed) {
    if (event.xany.window != window) return;
    switch (event.type) {
    case Expose: {
        const XExposeEvent& e = event.xexpose;
        exposed.unite(CRect(e.x, e.y, CCoord(e.x) + e.width, CCoord(e.y) + e.height));
        break;
    }
    case ButtonPress:
        onButtonPress(event.xbutton);
        break;
    case ButtonRelease:
        onButtonRelease(event.xbutton);
        break;
    case MotionNotify:
    case EnterNotify: {
        // Enter and motion carry x, y and state at the same place.
        const XMotionEvent& e = event.xmotion;
        CPoint where = at(e.x, e.y);
        frame.onMouseMoved(where, buttonsFromState(e.state));
        break;
    }
    case LeaveNotify: {
        const XCrossingEvent& e = event.xcrossing;
        CPoint where = at(e.x, e.y);
        frame.onMouseExited(where, buttonsFromState(e.state));
        break;
    }
    case KeyPress:
    case KeyRelease:
        onKey(event.xkey, event.type == KeyPress);
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == window) alive = false;
        break;
    default:
        break;
    }
}

X11Window::X11Window(std::unique_ptr<Impl> i) : impl(std::move(i)) {}

X11Window::~X11Window() = default;

std::unique_ptr<X11Window> X11Window::create(void* parent, CFrame& frame) {
    auto impl = std::make_unique<Impl>(frame);
    if (!impl->open(Window(reinterpret_cast<uintptr_t>(parent)))) return nullptr;
    return std::unique_ptr<X11Window>(new X11Window(std::move(impl)));
}

void X11Window::pumpEvents(CRect& exposed) {
    Display* d = impl->display;
    // An idle pass with nothing from the server costs no read (Xlib's flush reads too, so
    // every request is flushed where it is made). A round trip can leave events inside
    // Xlib with nothing left on the socket, so after one the next pass reads.
    if (impl->drained && XEventsQueued(d, QueuedAlready) == 0) {
        pollfd fd{ConnectionNumber(d), POLLIN, 0};
        if (poll(&fd, 1, 0) <= 0) return;
    }
    impl->drained = true;
    for (int n = XPending(d); impl->alive && n > 0; n = XEventsQueued(d, QueuedAlready)) {
        XEvent event;
        XNextEvent(d, &event);
        impl->dispatch(event, exposed);
    }
}

void X11Window::present(const Surface& image, const CRect& area) {
    CRect r = area;
    r.bound(CRect(0, 0, image.width(), image.height()));
    if (!impl->alive || r.isEmpty()) return;
    const unsigned char* pixels = image.data();
    Visual* v = impl->visual;
    XImage* out = nullptr;
    if (v->red_mask == 0xff0000 && v->green_mask == 0xff00 && v->blue_mask == 0xff &&
        (impl->depth == 24 || impl->depth == 32)) {
        // The image's own layout is the window's: send its rows as they are.
        out = XCreateImage(impl->display, v, unsigned(impl->depth), ZPixmap, 0,
                           reinterpret_cast<char*>(const_cast<unsigned char*>(pixels)),
                           unsigned(image.width()), unsigned(image.height()), 32, image.stride());
        if (!out) return;
        out->byte_order = LSBFirst; // 0xAARRGGBB words in this machine's order
        XPutImage(impl->display, impl->window, impl->gc, out, int(r.left), int(r.top), int(r.left),
                  int(r.top), unsigned(r.width()), unsigned(r.height()));
        out->data = nullptr; // not ours to free
    } else {
        // Any other visual: convert pixel by pixel into an image of the window's format.
        out = XCreateImage(impl->display, v, unsigned(impl->depth), ZPixmap, 0, nullptr,
                           unsigned(r.width()), unsigned(r.height()), 32, 0);
        if (!out) return;
        out->data = static_cast<char*>(std::malloc(size_t(out->bytes_per_line) * out->height));
        if (!out->data) {
            XDestroyImage(out);
            return;
        }
        const auto channel = [](uint32_t value, unsigned long mask) {
            if (!mask) return 0ul;
            int shift = 0;
            while (!(mask >> shift & 1)) ++shift;
            const unsigned long top = mask >> shift;
            return (value * top / 255) << shift;
        };
        for (CCoord y = r.top; y < r.bottom; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(pixels + y * image.stride());
            for (CCoord x = r.left; x < r.right; ++x) {
                const uint32_t p = row[x];
                XPutPixel(out, int(x - r.left), int(y - r.top),
                          channel(p >> 16 & 255, v->red_mask) |
                              channel(p >> 8 & 255, v->green_mask) |
                              channel(p & 255, v->blue_mask));
            }
        }
        XPutImage(impl->display, impl->window, impl->gc, out, 0, 0, int(r.left), int(r.top),
                  unsigned(r.width()), unsigned(r.height()));
    }
    XDestroyImage(out);
    XFlush(impl->display);
}

bool X11Window::isAlive() const {
    return impl->alive;
}

unsigned long X11Window::getWindowId() const {
    return impl->window;
}

CButtonState X11Window::buttonsFromState(unsigned int state) {
    CButtonState b = 0;
    if (state & Button1Mask) b |= kLButton;
    if (state & Button2Mask) b |= kMButton;
    if (state & Button3Mask) b |= kRButton;
    if (state & ShiftMask) b |= kShift;
    if (state & ControlMask) b |= kControl;
    if (state & Mod1Mask) b |= kAlt;
    if (state & Mod4Mask) b |= kApple;
    return b;
}

CButtonState X11Window::buttonBit(unsigned int button) {
    switch (button) {
    case 1:
        return kLButton;
    case 2:
        return kMButton;
    case 3:
        return kRButton;
    case 8:
        return kButton4;
    case 9:
        return kButton5;
    default:
        return 0;
    }
}

VstKeyCode X11Window::keyCodeFromKeySym(unsigned long keysym, unsigned int state) {
    VstKeyCode key{};
    if (state & ShiftMask) key.modifier |= MODIFIER_SHIFT;
    if (state & Mod1Mask) key.modifier |= MODIFIER_ALTERNATE;
    if (state & Mod4Mask) key.modifier |= MODIFIER_COMMAND;
    if (state & ControlMask) key.modifier |= MODIFIER_CONTROL;
    for (const KeyEntry& k : kVirtualKeys)
        if (k.sym == keysym) {
            key.virt = k.virt;
            return key;
        }
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) {
        key.virt = static_cast<unsigned char>(VKEY_NUMPAD0 + (keysym - XK_KP_0));
    } else if (keysym >= XK_F1 && keysym <= XK_F12) {
        key.virt = static_cast<unsigned char>(VKEY_F1 + (keysym - XK_F1));
    } else if (keysym >= 0x20 && keysym <= 0x7e) {
        KeySym lower = keysym;
        KeySym upper = keysym;
        XConvertCase(keysym, &lower, &upper);
        key.character = int32_t(lower);
    }
    return key;
}

} // namespace GUI::platform
