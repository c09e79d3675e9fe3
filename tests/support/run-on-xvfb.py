#!/usr/bin/python3
"""Runs a command on a virtual X server of its own and exits with its status:

    run-on-xvfb.py COMMAND [ARG...]

The server never resets (-noreset). By default it resets whenever its last
client leaves, and refuses connections meanwhile: a launcher started just as a
helper of the test disconnected could not open its window. Xvfb also picks the
display number itself (-displayfd), taking one only when every socket of it is
its own; `xvfb-run -a` looks only for lock files."""
import os
import subprocess
import sys
import tempfile


def main():
    with tempfile.TemporaryFile() as log:
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen", "0", "1280x800x24"],
                                stdout=subprocess.PIPE, stderr=log)
        try:
            number = xvfb.stdout.readline().decode().strip()  # written once the server takes connections
            if not number.isdigit():
                log.seek(0)
                sys.stderr.write("Xvfb did not start:\n" + log.read().decode(errors="replace"))
                return 1
            # Local clients need no cookie on a server started without -auth.
            env = dict(os.environ, DISPLAY=":" + number, XAUTHORITY=os.devnull)
            return subprocess.call(sys.argv[1:], env=env)
        finally:
            xvfb.terminate()
            xvfb.wait()


if __name__ == "__main__":
    sys.exit(main())
