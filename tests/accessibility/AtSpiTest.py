# The client side of AtSpiTest.sh: reads and works the viewer's window as a
# screen reader does, through AT-SPI.
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

checks = 0
failures = []
descriptions = []


def check(condition, message):
    global checks
    checks += 1
    if not condition:
        failures.append(message)
        print("FAIL:", message, file=sys.stderr)


def pump(seconds, until=lambda: False):
    end = time.monotonic() + seconds
    while time.monotonic() < end and not until():
        while GLib.MainContext.default().iteration(False):
            pass
        time.sleep(0.05)
    return until()


def find_window():
    def app():
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            child = desktop.get_child_at_index(i)
            if child and child.get_name() == "Kelderwyn Map" and child.get_child_count() > 0:
                return child
        return None
    if not pump(20, lambda: app() is not None):
        sys.exit("FAIL: the viewer did not appear on the AT-SPI bus")
    return app().get_child_at_index(0)


def tree(node):
    yield node
    for i in range(node.get_child_count()):
        yield from tree(node.get_child_at_index(i))


def on_description(event):
    if event.source.get_name() == "Map":
        event.source.clear_cache()
        descriptions.append(event.source.get_description())


window = find_window()
listener = Atspi.EventListener.new(on_description)
listener.register("object:property-change:accessible-description")
nodes = {node.get_name(): node for node in tree(window) if node.get_name()}

check(window.get_role_name() == "frame", "the window's role is " + window.get_role_name())
others = [node for node in tree(window) if node != window and node.get_role_name() == "frame"]
check(not others, "decorations with the role frame: %d" % len(others))
expected_roles = {"Map": "filler", "Map picture": "filler", "Tools": "filler", "Zoom In": "push button",
                  "Zoom Out": "push button", "Actual Size": "push button", "Go": "push button",
                  "Location": "combo box", "Scroll map left and right": "scroll bar",
                  "Scroll map up and down": "scroll bar"}
for name, role in expected_roles.items():
    check(name in nodes and nodes[name].get_role_name() == role, "no %s named %s" % (role, name))
map_panel, picture, bar, locations = (nodes["Map"], nodes["Map picture"], nodes["Scroll map up and down"],
                                      nodes["Location"])
check(map_panel.get_description() == "Zoom level 0 of 6, near Kelder",
      "at start the map says " + map_panel.get_description())

# At level 0 the vertical bar is disabled: a value set from outside is ignored.
before = picture.get_extents(Atspi.CoordType.WINDOW)
bar.set_current_value(99999)
pump(0.5)
after = picture.get_extents(Atspi.CoordType.WINDOW)
check(bar.get_current_value() == 0 and (after.x, after.y) == (before.x, before.y),
      "the disabled bar took a value: %g, picture at %d,%d" % (bar.get_current_value(), after.x, after.y))

nodes["Zoom In"].do_action(0)
check(pump(5, lambda: "Zoom level 1 of 6, near Kelder" in descriptions),
      "after a zoom the map announced %s" % descriptions)

# Choose a place from the keyboard and press Return: Go runs.
check(locations.grab_focus(), "the location list took no focus")
pump(0.5)
for key in (0xFF54, 0xFF0D):  # Down, Return
    Atspi.generate_keyboard_event(key, None, Atspi.KeySynthType.SYM)
    pump(0.5)
check(locations.get_name() == "Location" and locations.get_text(0, -1) == "Harrowgate",
      "after a choice the list is %s with the text %s" % (locations.get_name(), locations.get_text(0, -1)))
check(pump(10, lambda: "Zoom level 4 of 6, near Harrowgate" in descriptions),
      "after Go the map announced %s" % descriptions)

print("%d passed, %d failed" % (checks - len(failures), len(failures)))
sys.exit(1 if failures else 0)
