#!/usr/bin/python3
"""A small drag source, as a file manager would be: one window that offers
the given host files as text/uri-list (file:// URIs) to an XDND drop target.

    drag_source.py [--title T] [--x X] [--y Y] [--size S] FILE...

The window's whole area starts the drag. Lines on standard output tell the
driving script what happened: "ready" once the window is mapped, "offered"
when a target asked for the data, and "drag-end ok" / "drag-end failed"
when the drag is over (failed: the target refused or there was none). The
program ends by itself after the drag or after --life seconds.
"""
import argparse
import os
import sys
import urllib.parse

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Gdk", "3.0")
from gi.repository import Gdk, GLib, Gtk  # noqa: E402

URI_LIST = 0


def say(line):
    print(line, flush=True)


def file_uri(path):
    # Names are bytes on Linux; quote them byte for byte as file managers do.
    raw = os.fsencode(os.path.abspath(path))
    return "file://" + urllib.parse.quote_from_bytes(raw, safe="/")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--title", default="drag source")
    parser.add_argument("--x", type=int, default=0)
    parser.add_argument("--y", type=int, default=0)
    parser.add_argument("--size", type=int, default=120)
    parser.add_argument("--life", type=float, default=60.0)
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()

    missing = [f for f in args.files if not os.path.isfile(f)]
    if missing:
        print("drag_source: no such file: " + ", ".join(missing), file=sys.stderr)
        return 2
    uris = [file_uri(f) for f in args.files]

    window = Gtk.Window(title=args.title)
    window.set_default_size(args.size, args.size)
    window.set_resizable(False)
    window.move(args.x, args.y)
    window.connect("destroy", Gtk.main_quit)

    # An event box so that a press anywhere in the window starts the drag.
    area = Gtk.EventBox()
    area.add(Gtk.Label(label="\n".join(os.path.basename(f) for f in args.files)))
    window.add(area)

    targets = [Gtk.TargetEntry.new("text/uri-list", 0, URI_LIST)]
    area.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, targets,
                         Gdk.DragAction.COPY)

    def on_get(_widget, _context, data, info, _time):
        if info == URI_LIST:
            data.set_uris(uris)
            say("offered")

    outcome = {"ok": None}

    def on_end(_widget, _context):
        # drag-failed comes first when the drop did not take.
        if outcome["ok"] is None:
            outcome["ok"] = True
        say("drag-end " + ("ok" if outcome["ok"] else "failed"))
        GLib.timeout_add(200, Gtk.main_quit)

    def on_failed(_widget, _context, result):
        outcome["ok"] = False
        say("drag-failed " + result.value_nick)
        return False

    area.connect("drag-data-get", on_get)
    area.connect("drag-end", on_end)
    area.connect("drag-failed", on_failed)

    def on_mapped(*_):
        say("ready")

    window.connect("map-event", on_mapped)
    window.show_all()

    def give_up():
        say("timeout")
        Gtk.main_quit()
        return False

    GLib.timeout_add(int(args.life * 1000), give_up)
    Gtk.main()
    return 0 if outcome["ok"] else 1


if __name__ == "__main__":
    sys.exit(main())
