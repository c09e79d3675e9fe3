"""A desktop session of a test's own for the real launcher: a scratch home,
the accessibility bus, the development service, optionally a headless Wayland
compositor and a fake tray host, and helpers that act as a screen-reader user
does over the accessibility bus (AT-SPI). Run the test under
tests/support/run-on-own-bus.py, so the session bus is private to it; the
accessibility bus is the one service it activates (org.a11y.Bus)."""
import glob
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def wait_for(what, probe, timeout=60):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    raise SystemExit("timed out waiting for " + what)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Lines:
    """The lines a process prints, collected as they come."""

    def __init__(self, stream):
        self.lines = []
        self._thread = threading.Thread(target=self._read, args=(stream,), daemon=True)
        self._thread.start()

    def _read(self, stream):
        for line in iter(stream.readline, ""):
            self.lines.append(line.rstrip("\n"))

    def starting(self, prefix):
        return next((line for line in self.lines if line.startswith(prefix)), None)


class Session:
    def __init__(self):
        self.home = tempfile.mkdtemp(prefix="vantrel-session-")
        self.env = dict(os.environ, HOME=self.home, XDG_CONFIG_HOME=self.home + "/config",
                        XDG_CACHE_HOME=self.home + "/cache", XDG_DATA_HOME=self.home + "/data",
                        XDG_RUNTIME_DIR=self.home + "/run", LANGUAGE="en", LANG="C.UTF-8",
                        QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
        os.makedirs(self.env["XDG_RUNTIME_DIR"], mode=0o700)
        # pyatspi finds the accessibility bus through the session bus, from this process.
        os.environ.update({k: self.env[k] for k in ("HOME", "XDG_RUNTIME_DIR")})
        # What the bus activates (the accessibility bus) lives in this home too, as a desktop session arranges.
        from gi.repository import GLib
        scratch = {k: v for k, v in self.env.items() if k == "HOME" or k.startswith("XDG_")}
        _call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "UpdateActivationEnvironment",
              GLib.Variant("(a{ss})", (scratch,)))
        self.procs = []
        self.launcher = None
        self.output = None
        self.tray = None

    def start(self, args, **kwargs):
        proc = subprocess.Popen(args, env=self.env, **kwargs)
        self.procs.append(proc)
        return proc

    def start_devserver(self, devserver, catalog="multi"):
        port = free_port()
        log = open(self.home + "/devserver.log", "w+")
        self.start([devserver, "--port", str(port), "--data", self.home + "/dev", "--catalog", catalog],
                   stdout=log, stderr=subprocess.STDOUT)
        wait_for("the development service", lambda: "listening on" in open(log.name).read())
        keys = subprocess.run([devserver, "--print-public-key", "--data", self.home + "/dev"], capture_output=True,
                              text=True, check=True).stdout.strip()
        self.env.update(VANTREL_MANIFEST_URL="http://127.0.0.1:%d/api/launcher/manifest" % port,
                        VANTREL_API_URL="http://127.0.0.1:%d" % port, VANTREL_CATALOG_PUBLIC_KEYS=keys)

    def start_headless_weston(self):
        """weston on its headless backend: outputs, no seat, no keyboard, no pointer."""
        name = "vantrel-test-wayland"
        self.start(["weston", "--backend=headless-backend.so", "--socket=" + name, "--idle-time=0",
                    "--no-config", "--log=" + self.home + "/weston.log"])
        wait_for("weston's socket", lambda: os.path.exists(os.path.join(self.env["XDG_RUNTIME_DIR"], name)))
        self.env.update(WAYLAND_DISPLAY=name, QT_QPA_PLATFORM="wayland")
        for variable in ("DISPLAY", "QT_IM_MODULE"):
            self.env.pop(variable, None)

    def start_tray_host(self):
        """The fake StatusNotifierWatcher; returns the lines it prints."""
        watcher = self.start([sys.executable, os.path.join(HERE, "fake_status_notifier_watcher.py")],
                             stdout=subprocess.PIPE, text=True)
        lines = Lines(watcher.stdout)
        wait_for("the fake tray host", lambda: lines.starting("watching"))
        return lines

    def start_launcher(self, launcher, *args):
        """The launcher, reporting its first frame on its output."""
        self.env["VANTREL_REPORT_FIRST_FRAME"] = "1"
        self.launcher = self.start([launcher, *args], stdout=subprocess.PIPE, text=True)
        self.output = Lines(self.launcher.stdout)
        return self.launcher

    def start_wayland_desktop(self, launcher, devserver):
        """A tray host, headless weston, the development service and the launcher on them."""
        self.tray = self.start_tray_host()
        self.start_headless_weston()
        self.start_devserver(devserver)
        return self.start_launcher(launcher)

    def tray_item(self):
        """The bus name of the launcher's StatusNotifierItem, once it registered with the tray host."""
        return wait_for("the launcher's tray item", lambda: self.tray.starting("registered "))[len("registered "):]

    def wait_for_first_frame(self, timeout=60):
        def drawn():
            if self.launcher.poll() is not None:
                raise SystemExit("the launcher ended with status %d before its first frame" % self.launcher.returncode)
            return self.output.starting("first-frame")
        return wait_for("the launcher's first frame", drawn, timeout)

    def close(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(10)
                except subprocess.TimeoutExpired:
                    proc.kill()
        shutil.rmtree(self.home, ignore_errors=True)


# Acting as a screen-reader user does, over the accessibility bus.

def _pyatspi():
    import pyatspi
    return pyatspi


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
    return node.getState().contains(_pyatspi().STATE_SHOWING)


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
    names = [actions.getName(i).lower() for i in range(actions.nActions)]
    if action not in names:
        raise SystemExit("%r offers %s, not %s" % (node.name, names, action))
    actions.doAction(names.index(action))


def application(pid):
    """The launcher's application node on the accessibility bus, once it shows a window."""
    desktop = _pyatspi().Registry.getDesktop(0)
    return wait_for("the launcher on the bus", lambda: next(
        (a for a in desktop if a is not None and a.get_process_id() == pid and a.childCount > 0), None))


def windows(app):
    return [app[i] for i in range(app.childCount) if app[i] is not None]


def install_starter(app, name):
    """Onboarding: tick the starter app, continue, dismiss announcements; returns its tile once installed."""
    pyatspi = _pyatspi()
    starter = wait_for(name + " as a starter", lambda: find(app, pyatspi.ROLE_CHECK_BOX, lambda n: n == name))
    act(starter, "toggle")
    wait_for(name + " ticked", lambda: starter.getState().contains(pyatspi.STATE_CHECKED))
    act(find(app, pyatspi.ROLE_PUSH_BUTTON, lambda n: n == "Continue"), "press")

    # Announcements pop up after onboarding; "Not now" dismisses each.
    def installed_tile():
        dismiss = find(app, pyatspi.ROLE_PUSH_BUTTON, lambda n: n == "Not now")
        if dismiss:
            act(dismiss, "press")
            return None
        return find(app, pyatspi.ROLE_PUSH_BUTTON, lambda n: n.startswith(name + ", Installed"))

    return wait_for(name + " installed", installed_tile, timeout=120)


# A tray host's side of a StatusNotifierItem, over the session bus.

ITEM_PATH = "/StatusNotifierItem"
ITEM_INTERFACE = "org.kde.StatusNotifierItem"


def _bus():
    from gi.repository import Gio
    return Gio.bus_get_sync(Gio.BusType.SESSION, None)


def _call(service, path, interface, method, args=None):
    from gi.repository import Gio
    reply = _bus().call_sync(service, path, interface, method, args, None, Gio.DBusCallFlags.NONE, 5000, None)
    return reply.unpack() if reply is not None else ()


def item_property(service, name):
    from gi.repository import GLib
    return _call(service, ITEM_PATH, "org.freedesktop.DBus.Properties", "Get",
                 GLib.Variant("(ss)", (ITEM_INTERFACE, name)))[0]


def activate_item(service):
    """What a click on the icon in the tray does."""
    from gi.repository import GLib
    _call(service, ITEM_PATH, ITEM_INTERFACE, "Activate", GLib.Variant("(ii)", (0, 0)))


def item_menu(service):
    """The item's menu entries that have a label: {label: id}."""
    from gi.repository import GLib
    path = item_property(service, "Menu")
    layout = _call(service, path, "com.canonical.dbusmenu", "GetLayout", GLib.Variant("(iias)", (0, -1, [])))[1]
    entries = {}
    stack = [layout]
    while stack:
        entry_id, properties, children = stack.pop()
        if properties.get("label"):
            entries[properties["label"].replace("_", "")] = entry_id
        stack.extend(children)
    return path, entries


def choose_from_item_menu(service, label):
    """What choosing the entry in the icon's menu does."""
    from gi.repository import GLib
    path, entries = item_menu(service)
    if label not in entries:
        raise SystemExit("the tray menu offers %s, not %r" % (sorted(entries), label))
    _call(service, path, "com.canonical.dbusmenu", "Event",
          GLib.Variant("(isvu)", (entries[label], "clicked", GLib.Variant("s", ""), 0)))


def on_headless_wayland(steps):
    """Runs steps(session, launcher process) against the real launcher on headless weston with a tray host and the
    development service (LAUNCHER DEVSERVER from the command line); skipped where Wayland is missing."""
    launcher, devserver = sys.argv[1:3]
    skip_without_wayland()
    session = Session()
    try:
        steps(session, session.start_wayland_desktop(launcher, devserver))
    finally:
        session.close()


def skip_without_wayland():
    """Exits 77 (skipped), saying why, where weston or Qt's Wayland platform is missing."""
    if not shutil.which("weston") or not glob.glob("/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so"):
        print("skipped: weston or qt6-wayland is not installed (scripts/setup.sh installs them)")
        sys.exit(77)
