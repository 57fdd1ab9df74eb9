// Receiving drops on an X11 window through the drag-and-drop protocol of X
// (version 5): file lists arrive as text/uri-list, anything else as text.
#pragma once

#include <X11/Xlib.h>

#include "toolkit/point.h"

class WindowEvents;

class X11DropTarget {
 public:
  explicit X11DropTarget(Display* display);

  // Marks window as accepting drops.
  void announce(Window window);
  // Handles the protocol's messages for window; false for other events.
  bool handle(const XEvent& e, Window window, WindowEvents* events);

 private:
  void reply(Window window, Atom type, long accepted);
  // Whether the drag source offers the type, in its enter message or its type list.
  bool offers(const XClientMessageEvent& enterMessage, Atom type);
  void deliver(const XSelectionEvent& e, Window window, WindowEvents* events);

  Display* display;
  Atom aware, enter, typeList, position, status, leave, drop, finished, selection, actionCopy;
  Atom uriList, utf8, property;
  Window source = 0;
  Atom wanted = 0;
  CPoint where;
};
