#!/usr/bin/python3
"""The tray on Wayland desktops: the real launcher on headless weston with a
fake StatusNotifierWatcher on the test's private session bus. The launcher's
item registers with it, names the launcher in its tooltip and carries its icon; activating
the item opens the tray panel and activating it again closes it; the item's
menu opens the About window. Run on a bus of its own that activates the accessibility
bus (as tests/ui/CMakeLists.txt registers it):

    tray_status_notifier.py LAUNCHER DEVSERVER
"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from desktop_session import (activate_item, application, choose_from_item_menu, find, item_menu,  # noqa: E402
                             item_property, on_headless_wayland, wait_for, windows)


def steps(session, proc):
    session.wait_for_first_frame()
    item = session.tray_item()
    tooltip = item_property(item, "ToolTip")
    expect(tooltip[2] == "Vantrel", "the item's tooltip is titled %r" % (tooltip[2],))
    icons = item_property(item, "IconPixmap")
    expect(icons and all(w > 0 and h > 0 and len(data) == 4 * w * h for w, h, data in icons),
           "the item carries no icon")
    expect({"Open Vantrel…", "About Vantrel", "Quit"} <= set(item_menu(item)[1]),
           "the item's menu holds %s" % sorted(item_menu(item)[1]))

    import pyatspi
    app = application(proc.pid)

    def window_named(name):
        return next((w for w in windows(app) if w.name == name and w.getState().contains(pyatspi.STATE_SHOWING)), None)

    def panel_shown():
        return find(app, pyatspi.ROLE_PUSH_BUTTON, lambda n: n == "Quit")

    activate_item(item)
    wait_for("the panel after activating the item", panel_shown, timeout=20)
    activate_item(item)
    wait_for("the panel to close after activating the item again", lambda: not panel_shown(), timeout=20)
    print("activation opens and closes the panel")

    choose_from_item_menu(item, "About Vantrel")
    about = wait_for("the About window", lambda: window_named("About Vantrel"), timeout=20)
    version = subprocess.run([proc.args[0], "--version"], capture_output=True, text=True, check=True).stdout.split()[-1]
    wait_for("the version in the About window", lambda: find(about, pyatspi.ROLE_LABEL, lambda n: version in n), timeout=20)
    print("the item's menu opens About")


def expect(condition, problem):
    if not condition:
        raise SystemExit(problem)


if __name__ == "__main__":
    on_headless_wayland(steps)
