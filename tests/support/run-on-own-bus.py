#!/usr/bin/python3
"""Runs a command on a session bus of its own and exits with its status:

    run-on-own-bus.py [--activatable NAME=PROGRAM]... COMMAND [ARG...]

The bus (session-bus.conf) activates only the services named here, never the
machine's: a desktop's portals and notification daemons, once activated, would
outlive the test and hold its output open. When the command ends, so does
every process started under it, the bus and what it activated included: this
process is their subreaper, so they stay its descendants however they fork."""
import ctypes
import os
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PR_SET_CHILD_SUBREAPER = 36


def descendants():
    """The live processes below this one, found through /proc."""
    children = {}
    for entry in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/stat" % entry) as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
        except (OSError, IndexError, ValueError):
            continue
        if fields[0] != "Z":
            children.setdefault(int(fields[1]), []).append(int(entry))
    found, stack = [], [os.getpid()]
    while stack:
        below = children.get(stack.pop(), [])
        found += below
        stack += below
    return found


def end_descendants(grace=5):
    deadline = time.monotonic() + grace
    sig = signal.SIGTERM
    while True:
        try:
            while os.waitpid(-1, os.WNOHANG)[0]:
                pass
        except ChildProcessError:
            pass
        left = descendants()
        if not left:
            return
        for pid in left:
            try:
                os.kill(pid, sig)
            except ProcessLookupError:
                pass
        if time.monotonic() > deadline:
            sig = signal.SIGKILL
        time.sleep(0.1)


def main():
    args = sys.argv[1:]
    services = {}
    while len(args) > 1 and args[0] == "--activatable":
        name, program = args[1].split("=", 1)
        services[name] = program
        args = args[2:]
    if not args:
        sys.exit(__doc__)
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(128 + signal.SIGTERM))
    with tempfile.TemporaryDirectory(prefix="vantrel-bus-") as folder:
        os.mkdir(folder + "/services")
        for name, program in services.items():
            with open("%s/services/%s.service" % (folder, name), "w") as service:
                service.write("[D-BUS Service]\nName=%s\nExec=%s\n" % (name, program))
        with open(folder + "/bus.conf", "w") as config:
            config.write("<busconfig>\n  <include>%s/session-bus.conf</include>\n  <servicedir>%s/services</servicedir>\n"
                         "</busconfig>\n" % (HERE, folder))
        try:
            read, write = os.pipe()
            subprocess.Popen(["dbus-daemon", "--config-file=" + folder + "/bus.conf", "--nofork",
                              "--print-address=%d" % write], pass_fds=[write], stdin=subprocess.DEVNULL)
            os.close(write)
            with os.fdopen(read) as printed:
                address = printed.readline().strip()
            if not address:
                return "dbus-daemon did not start"
            return subprocess.call(args, env=dict(os.environ, DBUS_SESSION_BUS_ADDRESS=address))
        finally:
            end_descendants()


if __name__ == "__main__":
    sys.exit(main())
