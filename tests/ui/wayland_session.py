#!/usr/bin/python3
"""The real launcher on Wayland: weston's headless backend (a compositor with
no seat, no keyboard and no pointer), Qt's Wayland platform, the development
service and a tray host. The launcher draws its first frame, installs a
starter app through the accessibility bus and ends with status 0 when Quit
is chosen from its tray menu. Run on a bus of its own that activates the accessibility
bus (as tests/ui/CMakeLists.txt registers it):

    wayland_session.py LAUNCHER DEVSERVER
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from desktop_session import application, choose_from_item_menu, install_starter, on_headless_wayland  # noqa: E402


def steps(session, proc):
    print(session.wait_for_first_frame())
    install_starter(application(proc.pid), "Inkwell")
    print("installed through the accessibility bus")
    choose_from_item_menu(session.tray_item(), "Quit")
    try:
        status = proc.wait(20)
    except Exception:
        raise SystemExit("the launcher did not end after Quit")
    if status != 0:
        raise SystemExit("the launcher ended with status %d after Quit" % status)
    print("quit with status 0")


if __name__ == "__main__":
    on_headless_wayland(steps)
