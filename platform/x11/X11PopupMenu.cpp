#include "platform/x11/X11PopupMenu.h"

#include <algorithm>

#include "platform/freetype/GlyphCache.h"
#include "platform/x11/X11Fonts.h"
#include "platform/x11/X11MenuLayout.h"
#include "platform/x11/X11Window.h"

namespace {

using Layout = X11MenuLayout;

constexpr long kMenuEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask |
                             PointerMotionMask | KeyPressMask | StructureNotifyMask;
constexpr unsigned int kButtonMasks = Button1Mask | Button2Mask | Button3Mask;

const char* textOf(const platform::MenuItem& item) {
    return item.text ? item.text : "";
}

} // namespace

X11PopupMenu::X11PopupMenu(X11Window& window, const platform::MenuItem* menuItems, size_t menuCount)
    : owner(window), display(window.connection()), items(menuItems, menuItems + menuCount),
      count(menuCount), scale(window.scale()) {
    // The caller's texts may go as soon as the menu shows.
    texts.reserve(count);
    for (const platform::MenuItem& item : items) {
        texts.emplace_back(textOf(item));
    }
    int32_t widest = 0;
    const GlyphCache& glyphs = X11Fonts::glyphs();
    for (size_t i = 0; i < count; ++i) {
        items[i].text = texts[i].c_str();
        int32_t w = 0;
        if (!items[i].separator &&
            glyphs.textWidth(Layout::kFont, items[i].text, &w, scale) == platform::Status::ok) {
            widest = std::max(widest, w);
        }
    }
    width = Layout::width(widest, scale);
    height = Layout::height(items.data(), count, scale);
    pixels.assign(size_t(width) * size_t(height), Layout::kFace);
}

X11PopupMenu::~X11PopupMenu() {
    if (!owner.connected()) {
        return;
    }
    if (keyboardGrabbed) {
        XUngrabKeyboard(display, CurrentTime);
    }
    if (pointerGrabbed) {
        XUngrabPointer(display, CurrentTime);
    }
    if (gc) {
        XFreeGC(display, gc);
    }
    if (window) {
        XDestroyWindow(display, window);
    }
    XFlush(display);
}

bool X11PopupMenu::show(int32_t x, int32_t y) {
    XWindowAttributes ownerAttributes{};
    if (!XGetWindowAttributes(display, owner.id(), &ownerAttributes)) {
        return false;
    }
    Screen* screen = ownerAttributes.screen;
    const Window root = RootWindowOfScreen(screen);
    int rootX = 0;
    int rootY = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display, owner.id(), root, x, y, &rootX, &rootY, &child)) {
        return false;
    }
    // Kept on the screen: moved left or up where it would run off.
    left = std::max(0, std::min(int32_t(rootX), WidthOfScreen(screen) - width));
    top = std::max(0, std::min(int32_t(rootY), HeightOfScreen(screen) - height));

    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.save_under = True;
    attributes.background_pixmap = None;
    attributes.border_pixel = 0;
    attributes.colormap = owner.colormap();
    attributes.event_mask = kMenuEvents;
    window = XCreateWindow(display, root, left, top, unsigned(width), unsigned(height), 0,
                           owner.depth(), InputOutput, owner.visual(),
                           CWOverrideRedirect | CWSaveUnder | CWBackPixmap | CWBorderPixel |
                               CWColormap | CWEventMask,
                           &attributes);
    if (!window) {
        return false;
    }
    gc = XCreateGC(display, window, 0, nullptr);
    if (!image.create(display, owner.visual(), owner.depth(), width, height)) {
        return false;
    }
    XMapRaised(display, window);
    draw();
    grabInput();
    XFlush(display);
    return true;
}

void X11PopupMenu::grabInput() {
    // Every click then reaches the menu, inside or out, and so does Escape.
    // Another client may hold the pointer a moment: the owner's next idle
    // asks again.
    if (!window) {
        return;
    }
    if (!pointerGrabbed) {
        pointerGrabbed =
            XGrabPointer(display, window, False,
                         ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                         GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
    }
    if (!keyboardGrabbed) {
        keyboardGrabbed = XGrabKeyboard(display, window, False, GrabModeAsync, GrabModeAsync,
                                        CurrentTime) == GrabSuccess;
    }
}

bool X11PopupMenu::takes(const XEvent& event) const {
    if (window && event.xany.window == window) {
        return true;
    }
    return event.xany.window == owner.id() &&
           (event.type == MotionNotify || event.type == ButtonPress ||
            event.type == ButtonRelease || event.type == KeyPress);
}

X11PopupMenu::Outcome X11PopupMenu::handle(XEvent& event) {
    switch (event.type) {
    case Expose:
        if (event.xexpose.count == 0) {
            draw();
        }
        break;
    case DestroyNotify:
        window = 0; // not by us: nothing left to show
        return Outcome::dismissed;
    // Pointer events count by their root position, whichever of our
    // windows they reached: before the menu holds the pointer, the editor's
    // window may still get them.
    case MotionNotify:
        while (XCheckTypedWindowEvent(display, event.xany.window, MotionNotify, &event)) {
        }
        return pointer(MotionNotify, event.xmotion.x_root, event.xmotion.y_root,
                       event.xmotion.state);
    case ButtonPress:
    case ButtonRelease:
        return pointer(event.type, event.xbutton.x_root, event.xbutton.y_root, event.xbutton.state);
    case KeyPress: {
        const KeySym key = XLookupKeysym(&event.xkey, 0);
        if (key == XK_Escape) {
            return Outcome::dismissed;
        }
        if ((key == XK_Return || key == XK_KP_Enter) && choosable(hovered)) {
            chosen = hovered;
            return Outcome::chosen;
        }
        break;
    }
    default:
        break;
    }
    return Outcome::waiting;
}

X11PopupMenu::Outcome X11PopupMenu::pointer(int type, int32_t rootX, int32_t rootY,
                                            unsigned int state) {
    const int32_t x = rootX - left;
    const int32_t y = rootY - top;
    const bool inside = x >= 0 && y >= 0 && x < width && y < height;
    const int32_t index = Layout::entryAt(items.data(), count, width, x, y, scale);
    switch (type) {
    case MotionNotify:
        highlight(index);
        if ((state & kButtonMasks) && inside) {
            armed = true; // dragged in from the menu's title: a release chooses
        }
        break;
    case ButtonPress:
        if (!inside) {
            return Outcome::dismissed;
        }
        armed = true;
        highlight(index);
        break;
    case ButtonRelease:
        // The release of the click that opened the menu chooses nothing.
        if (armed && choosable(index)) {
            chosen = index;
            return Outcome::chosen;
        }
        break;
    default:
        break;
    }
    return Outcome::waiting;
}

bool X11PopupMenu::choosable(int32_t index) const {
    return index >= 0 && size_t(index) < count && !items[index].separator;
}

void X11PopupMenu::highlight(int32_t index) {
    const int32_t next = choosable(index) ? index : -1;
    if (next != hovered) {
        hovered = next;
        draw();
    }
}

void X11PopupMenu::fill(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width);
    bottom = std::min(bottom, height);
    for (int32_t y = top; y < bottom; ++y) {
        std::fill(pixels.begin() + ptrdiff_t(size_t(y) * size_t(width)) + left,
                  pixels.begin() + ptrdiff_t(size_t(y) * size_t(width)) + right, colour);
    }
}

void X11PopupMenu::drawCheckMark(int32_t centreX, int32_t centreY, uint32_t colour) {
    // A tick of two strokes, two pixels thick at 1x: down-right, then
    // up-right. Each 1x pixel is a block at the scale.
    const int32_t left = centreX - px(4);
    const int32_t top = centreY - px(4);
    auto plot = [&](int32_t x, int32_t y) {
        fill(left + px(x), top + px(y), left + px(x + 1), top + px(y + 1), colour);
    };
    for (int32_t i = 0; i <= 3; ++i) {
        plot(i, i + 3);
        plot(i, i + 4);
    }
    for (int32_t i = 1; i <= 6; ++i) {
        plot(3 + i, 6 - i);
        plot(3 + i, 7 - i);
    }
}

void X11PopupMenu::draw() {
    if (!window) {
        return;
    }
    const int32_t border = px(Layout::kBorder);
    fill(0, 0, width, height, Layout::kFrame);
    fill(border, border, width - border, height - border, Layout::kFace);
    const GlyphCache& glyphs = X11Fonts::glyphs();
    const platform::Surface surface{width, height, pixels.data()};
    for (size_t i = 0; i < count; ++i) {
        const int32_t top = Layout::entryTop(items.data(), i, scale);
        const int32_t bottom = top + Layout::entryHeight(items[i], scale);
        if (items[i].separator) {
            const int32_t line = top + (bottom - top) / 2;
            fill(border + px(2), line, width - border - px(2), line + px(1),
                 Layout::kSeparatorLine);
            continue;
        }
        const bool lit = int32_t(i) == hovered;
        const uint32_t ink = lit ? Layout::kHighlightText : Layout::kText;
        if (lit) {
            fill(border, top, width - border, bottom, Layout::kHighlight);
        }
        if (items[i].checked) {
            drawCheckMark(border + px(Layout::kCheckColumn) / 2, top + (bottom - top) / 2, ink);
        }
        platform::TextRun run;
        run.text = items[i].text;
        run.font = Layout::kFont;
        run.scale = scale;
        run.box = platform::Rect{border + px(Layout::kCheckColumn), top,
                                 width - border - px(Layout::kTextMargin), bottom};
        run.clip = platform::Rect{0, 0, width, height};
        run.align = platform::TextAlign::left;
        run.colour = ink;
        glyphs.drawText(surface, run);
    }
    image.put(display, window, gc, surface, platform::Rect{0, 0, width, height});
    XFlush(display);
}
