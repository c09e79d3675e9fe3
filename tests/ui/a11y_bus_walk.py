#!/usr/bin/python3
"""A screen-reader user's walk through the real launcher over the desktop
accessibility bus (AT-SPI): tick a starter app on onboarding, continue,
dismiss the announcement, wait for the app to be installed and open its page,
then open Preferences and read its explanatory texts, with accessibility
actions only. Run on a virtual X server and a bus of its own
that activates the accessibility bus (as tests/ui/CMakeLists.txt registers it):

    a11y_bus_walk.py LAUNCHER DEVSERVER
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from desktop_session import Session, act, application, find, install_starter, wait_for  # noqa: E402


def main():
    launcher, devserver = sys.argv[1:3]
    session = Session()
    try:
        session.env["QT_QPA_PLATFORM"] = "xcb"
        session.start_devserver(devserver)
        walk(session.start_launcher(launcher).pid)
        print("walk done")
    finally:
        session.close()


def walk(pid):
    import pyatspi

    app = application(pid)
    # Only the shown main window: the preferences window and the tray panel are not made yet.
    if app.childCount != 1:
        raise SystemExit("expected one window on the bus, found %d" % app.childCount)

    tile = install_starter(app, "Inkwell")
    home = find(app, pyatspi.ROLE_PAGE_TAB, lambda n: n == "Home")
    if not home or not home.getState().contains(pyatspi.STATE_SELECTED):
        raise SystemExit("the Home section is not a selected tab")
    act(tile, "press")
    wait_for("Inkwell's page", lambda: find(app, pyatspi.ROLE_PUSH_BUTTON, lambda n: n == "Open"))

    # Preferences: what its texts explain is heard, not only its controls.
    act(find(app, pyatspi.ROLE_PAGE_TAB, lambda n: n == "Preferences"), "press")
    wait_for("the Preferences window", lambda: app.childCount == 2)
    texts = (pyatspi.ROLE_STATIC, pyatspi.ROLE_LABEL, pyatspi.ROLE_TEXT, pyatspi.ROLE_HEADING)
    for text in ("Anywhere on the desktop|Works inside the launcher", "Updates appear here when a new version ships.",
                 "Launch Vantrel at login"):
        wanted = text.split("|")
        wait_for("'%s' on the bus" % text,
                 lambda: any(find(app, role, lambda n: n in wanted) for role in texts))


if __name__ == "__main__":
    main()
