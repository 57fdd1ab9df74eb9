#include "toolkit/x11_drop_target.h"

#include <X11/Xatom.h>

#include <cstdlib>
#include <string>

#include "toolkit/platform_window.h"

namespace {

constexpr long kVersion = 5;

// "file:///a%20b" → "/a b"; other schemes are kept as they are.
std::string pathFromUri(const std::string& uri) {
  std::string s = uri;
  if (s.rfind("file://", 0) == 0) {
    s.erase(0, 7);
    const size_t slash = s.find('/');  // skip a host name
    s.erase(0, slash == std::string::npos ? s.size() : slash);
  }
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size()) {
      out += static_cast<char>(std::strtol(s.substr(i + 1, 2).c_str(), nullptr, 16));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

}  // namespace

X11DropTarget::X11DropTarget(Display* connection) : display(connection) {
  aware = XInternAtom(display, "XdndAware", False);
  enter = XInternAtom(display, "XdndEnter", False);
  typeList = XInternAtom(display, "XdndTypeList", False);
  position = XInternAtom(display, "XdndPosition", False);
  status = XInternAtom(display, "XdndStatus", False);
  leave = XInternAtom(display, "XdndLeave", False);
  drop = XInternAtom(display, "XdndDrop", False);
  finished = XInternAtom(display, "XdndFinished", False);
  selection = XInternAtom(display, "XdndSelection", False);
  actionCopy = XInternAtom(display, "XdndActionCopy", False);
  uriList = XInternAtom(display, "text/uri-list", False);
  utf8 = XInternAtom(display, "UTF8_STRING", False);
  property = XInternAtom(display, "QUILLSTAVE_DROP", False);
}

void X11DropTarget::announce(Window window) {
  const long version = kVersion;
  XChangeProperty(display, window, aware, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&version), 1);
}

bool X11DropTarget::offers(const XClientMessageEvent& enterMessage, Atom type) {
  for (int i = 2; i < 5; ++i)
    if (Atom(enterMessage.data.l[i]) == type) return true;
  // A source with more than three types lists them all on its own window.
  if (!(enterMessage.data.l[1] & 1)) return false;
  Atom actual;
  int format;
  unsigned long count = 0, after;
  unsigned char* data = nullptr;
  bool found = false;
  if (XGetWindowProperty(display, source, typeList, 0, 1 << 16, False, XA_ATOM, &actual, &format,
                         &count, &after, &data) == Success &&
      data && actual == XA_ATOM && format == 32) {
    const auto* atoms = reinterpret_cast<const unsigned long*>(data);  // 32-bit data as longs
    for (unsigned long i = 0; i < count && !found; ++i) found = Atom(atoms[i]) == type;
  }
  if (data) XFree(data);
  return found;
}

void X11DropTarget::reply(Window window, Atom type, long accepted) {
  XEvent m{};
  m.xclient.type = ClientMessage;
  m.xclient.display = display;
  m.xclient.window = source;
  m.xclient.message_type = type;
  m.xclient.format = 32;
  m.xclient.data.l[0] = long(window);
  m.xclient.data.l[1] = accepted;
  m.xclient.data.l[2] = type == status ? 0 : (accepted ? long(actionCopy) : 0);
  m.xclient.data.l[4] = long(actionCopy);
  XSendEvent(display, source, False, NoEventMask, &m);
  XFlush(display);
}

bool X11DropTarget::handle(const XEvent& e, Window window, WindowEvents* events) {
  if (e.type == SelectionNotify && e.xselection.requestor == window &&
      e.xselection.property == property) {
    deliver(e.xselection, window, events);
    return true;
  }
  if (e.type != ClientMessage || e.xclient.window != window) return false;
  const XClientMessageEvent& m = e.xclient;
  if (m.message_type == enter) {
    source = Window(m.data.l[0]);
    wanted = offers(m, uriList) ? uriList : utf8;
  } else if (m.message_type == position) {
    source = Window(m.data.l[0]);
    Window child;
    int x = 0, y = 0;
    XTranslateCoordinates(display, DefaultRootWindow(display), window, int(m.data.l[2] >> 16),
                          int(m.data.l[2] & 0xFFFF), &x, &y, &child);
    where = CPoint(x, y);
    reply(window, status, 1);
  } else if (m.message_type == leave) {
    source = 0;
  } else if (m.message_type == drop) {
    source = Window(m.data.l[0]);
    XConvertSelection(display, selection, wanted, property, window, Time(m.data.l[2]));
    XFlush(display);
  } else {
    return false;
  }
  return true;
}

void X11DropTarget::deliver(const XSelectionEvent& e, Window window, WindowEvents* events) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  XGetWindowProperty(display, window, e.property, 0, 1 << 20, True, AnyPropertyType, &type, &format,
                     &count, &after, &data);
  CDropItems items;
  if (data) {
    const std::string text(reinterpret_cast<const char*>(data), count);
    XFree(data);
    if (e.target == uriList) {
      size_t at = 0;
      while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] != '#') items.items.push_back(pathFromUri(line));
        at = end + 1;
      }
    } else {
      items.kind = CDropKind::kText;
      items.items.push_back(text);
    }
  }
  if (events && items.count() > 0) events->windowDrop(items, where);
  if (source) reply(window, finished, items.count() > 0 ? 1 : 0);
  source = 0;
}
