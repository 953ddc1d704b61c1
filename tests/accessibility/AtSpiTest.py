# The client of AtSpiTest.sh: reads and works the viewer as a screen reader does.
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

results = []
announced = []


def check(condition, message):
    results.append(condition)
    if not condition:
        print("FAIL:", message, file=sys.stderr)


def pump(seconds, until=lambda: False):
    end = time.monotonic() + seconds
    while not until() and time.monotonic() < end:
        while GLib.MainContext.default().iteration(False):
            pass
        time.sleep(0.05)
    return until()


def tree(node):
    yield node
    for i in range(node.get_child_count()):
        yield from tree(node.get_child_at_index(i))


def on_description(event):
    if event.source.get_name() == "Map":
        event.source.clear_cache()
        announced.append(event.source.get_description())


def viewer():
    desktop = Atspi.get_desktop(0)
    apps = [desktop.get_child_at_index(i) for i in range(desktop.get_child_count())]
    return next((app for app in apps if app.get_name() == "Kelderwyn Map" and app.get_child_count()), None)


if not pump(20, lambda: viewer() is not None):
    sys.exit("FAIL: the viewer did not appear on the AT-SPI bus")
window = viewer().get_child_at_index(0)
Atspi.EventListener.new(on_description).register("object:property-change:accessible-description")
nodes = {node.get_name(): node for node in tree(window) if node.get_name()}

frames = [node for node in tree(window) if node.get_role_name() == "frame"]
check(frames == [window], "frames: %s" % [node.get_name() for node in frames])
for role, names in {"push button": ["Zoom In", "Zoom Out", "Actual Size", "Go"], "combo box": ["Location"],
                    "scroll bar": ["Scroll map left and right", "Scroll map up and down"],
                    "filler": ["Map", "Map picture", "Tools"]}.items():
    for name in names:
        check(name in nodes and nodes[name].get_role_name() == role, "no %s named %s" % (role, name))
panel, picture, bar, places = nodes["Map"], nodes["Map picture"], nodes["Scroll map up and down"], nodes["Location"]
check(panel.get_description() == "Zoom level 0 of 6, near Kelder", "at start: " + panel.get_description())

# At level 0 the vertical bar is disabled: a value set from outside is ignored.
before = picture.get_extents(Atspi.CoordType.WINDOW)
bar.set_current_value(99999)
after = picture.get_extents(Atspi.CoordType.WINDOW)
check(bar.get_current_value() == 0 and (after.x, after.y) == (before.x, before.y),
      "the disabled bar took %g, the picture is at %d,%d" % (bar.get_current_value(), after.x, after.y))

nodes["Zoom In"].do_action(0)
check(pump(5, lambda: "Zoom level 1 of 6, near Kelder" in announced), "after a zoom: %s" % announced)

# A place chosen from the keyboard, and Return: Go runs.
check(places.grab_focus(), "the location list took no focus")
for key in (0xFF54, 0xFF0D):  # Down, Return
    pump(0.5)
    Atspi.generate_keyboard_event(key, None, Atspi.KeySynthType.SYM)
check(pump(10, lambda: "Zoom level 4 of 6, near Harrowgate" in announced), "after Go: %s" % announced)
check((places.get_name(), places.get_text(0, -1)) == ("Location", "Harrowgate"),
      "the list is %s with the text %s" % (places.get_name(), places.get_text(0, -1)))

print("%d passed, %d failed" % (results.count(True), results.count(False)))
sys.exit(0 if all(results) else 1)
