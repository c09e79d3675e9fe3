#!/usr/bin/python3
"""A screen-reader user's walk through the real launcher over the desktop
accessibility bus (AT-SPI): tick a starter app on onboarding, continue,
dismiss the announcement, wait for the app to be installed and open its page,
with accessibility actions only. Run under dbus-run-session and a virtual X server
(tests/support/run-on-xvfb.py):

    a11y_bus_walk.py LAUNCHER DEVSERVER
"""
import os
import socket
import subprocess
import sys
import tempfile
import time


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for(what, probe, timeout=60):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        found = probe()
        if found:
            return found
        time.sleep(0.2)
    raise SystemExit("timed out waiting for " + what)


def start_services(launcher, devserver, home):
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/config", XDG_CACHE_HOME=home + "/cache",
               XDG_DATA_HOME=home + "/data", XDG_RUNTIME_DIR=home + "/run", LANGUAGE="en", LANG="C.UTF-8",
               QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    os.makedirs(home + "/run", mode=0o700)
    procs = [subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env)]
    port = free_port()
    log = open(home + "/devserver.log", "w+")
    procs.append(subprocess.Popen([devserver, "--port", str(port), "--data", home + "/dev", "--catalog", "multi"],
                                  stdout=log, stderr=subprocess.STDOUT, env=env))
    wait_for("the development service", lambda: "listening on" in open(log.name).read())
    keys = subprocess.run([devserver, "--print-public-key", "--data", home + "/dev"], capture_output=True,
                          text=True, check=True).stdout.strip()
    env.update(VANTREL_MANIFEST_URL="http://127.0.0.1:%d/api/launcher/manifest" % port,
               VANTREL_API_URL="http://127.0.0.1:%d" % port, VANTREL_CATALOG_PUBLIC_KEYS=keys)
    os.environ.update({k: env[k] for k in ("HOME", "XDG_RUNTIME_DIR")})
    procs.append(subprocess.Popen([launcher], env=env))
    return procs


def main():
    launcher, devserver = sys.argv[1:3]
    home = tempfile.mkdtemp(prefix="vantrel-a11y-")
    procs = start_services(launcher, devserver, home)
    try:
        walk(procs[-1].pid)
        print("walk done")
    finally:
        for p in reversed(procs):
            p.terminate()
            try:
                p.wait(10)
            except subprocess.TimeoutExpired:
                p.kill()


def walk(pid):
    import pyatspi

    def nodes(root):
        stack = [root]
        while stack:
            node = stack.pop()
            if node is None:
                continue
            yield node
            try:
                stack.extend(node[i] for i in reversed(range(node.childCount)))
            except Exception:
                pass

    def showing(node):
        return node.getState().contains(pyatspi.STATE_SHOWING)

    def find(root, role, name=lambda n: True):
        for node in nodes(root):
            try:
                if node.getRole() == role and showing(node) and name(node.name or ""):
                    return node
            except Exception:
                pass  # gone while walking: a refresh replaced its view
        return None

    def act(node, action):
        actions = node.queryAction()
        names = [actions.getName(i) for i in range(actions.nActions)]
        if action not in [n.lower() for n in names]:
            raise SystemExit("%r offers %s, not %s" % (node.name, names, action))
        actions.doAction([n.lower() for n in names].index(action))

    desktop = pyatspi.Registry.getDesktop(0)
    app = wait_for("the launcher on the bus", lambda: next(
        (a for a in desktop if a is not None and a.get_process_id() == pid and a.childCount > 0), None))
    # Only the shown main window: the preferences window and the tray panel are not made yet.
    if app.childCount != 1:
        raise SystemExit("expected one window on the bus, found %d" % app.childCount)

    starter = wait_for("the Inkwell starter", lambda: find(app, pyatspi.ROLE_CHECK_BOX, lambda n: n == "Inkwell"))
    act(starter, "toggle")
    wait_for("Inkwell ticked", lambda: starter.getState().contains(pyatspi.STATE_CHECKED))
    act(find(app, pyatspi.ROLE_PUSH_BUTTON, lambda n: n == "Continue"), "press")

    # Announcements pop up after onboarding; "Not now" dismisses each.
    def installed_tile():
        dismiss = find(app, pyatspi.ROLE_PUSH_BUTTON, lambda n: n == "Not now")
        if dismiss:
            act(dismiss, "press")
            return None
        return find(app, pyatspi.ROLE_PUSH_BUTTON, lambda n: n.startswith("Inkwell, Installed"))

    tile = wait_for("Inkwell installed", installed_tile, timeout=120)
    home = find(app, pyatspi.ROLE_PAGE_TAB, lambda n: n == "Home")
    if not home or not home.getState().contains(pyatspi.STATE_SELECTED):
        raise SystemExit("the Home section is not a selected tab")
    act(tile, "press")
    wait_for("Inkwell's page", lambda: find(app, pyatspi.ROLE_PUSH_BUTTON, lambda n: n == "Open"))


if __name__ == "__main__":
    main()
