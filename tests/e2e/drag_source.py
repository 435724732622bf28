#!/usr/bin/python3
# A drag source, as a file manager is: a window at the top left of the
# display, 120 pixels square, whose whole area drags the given files to an
# XDND target as text/uri-list. Prints "ready" once mapped and, when the drag
# is over, "drag-end ok" or "drag-end failed"; ends by itself after 40 s.
#
#     drag_source.py FILE...
import os
import sys
import urllib.parse

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, GLib, Gtk  # noqa: E402

# Names are bytes on Linux; quote them byte for byte as file managers do.
uris = ["file://" + urllib.parse.quote_from_bytes(os.fsencode(os.path.abspath(f)), safe="/") for f in sys.argv[1:]]
window = Gtk.Window(title="drop source")
window.set_default_size(120, 120)
area = Gtk.EventBox()
area.add(Gtk.Label(label="files"))
window.add(area)
area.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [Gtk.TargetEntry.new("text/uri-list", 0, 0)], Gdk.DragAction.COPY)
outcome = {"failed": False}
area.connect("drag-data-get", lambda _w, _c, data, _i, _t: data.set_uris(uris))
area.connect("drag-failed", lambda *_: outcome.update(failed=True) or False)
area.connect("drag-end", lambda *_: (print("drag-end", "failed" if outcome["failed"] else "ok", flush=True),
                                     GLib.timeout_add(200, Gtk.main_quit)))
window.connect("map-event", lambda *_: print("ready", flush=True))
window.connect("destroy", Gtk.main_quit)
window.show_all()
GLib.timeout_add(40000, Gtk.main_quit)
Gtk.main()
