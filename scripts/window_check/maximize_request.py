# Asks the window manager to maximise an X window (_NET_WM_STATE, both directions), as a
# taskbar's or a title bar's maximise does: maximize_request.py <window id>.
import sys

from Xlib import X, display, protocol

d = display.Display()
root = d.screen().root
window = d.create_resource_object("window", int(sys.argv[1]))
state = d.intern_atom("_NET_WM_STATE")
vert = d.intern_atom("_NET_WM_STATE_MAXIMIZED_VERT")
horz = d.intern_atom("_NET_WM_STATE_MAXIMIZED_HORZ")
add, source_application = 1, 1
event = protocol.event.ClientMessage(window=window, client_type=state,
                                     data=(32, [add, vert, horz, source_application, 0]))
root.send_event(event, event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask)
d.flush()
