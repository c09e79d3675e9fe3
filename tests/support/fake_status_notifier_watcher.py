#!/usr/bin/python3
"""A tray host as Wayland desktops run one: org.kde.StatusNotifierWatcher on
the session bus, with a host registered. Prints "watching" once it owns the
name, then "registered SERVICE" for every item that registers."""
import sys

from gi.repository import Gio, GLib

INTERFACE = """
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
</node>
"""
PATH = "/StatusNotifierWatcher"
NAME = "org.kde.StatusNotifierWatcher"
items = []


def say(line):
    print(line, flush=True)


def method_call(connection, sender, path, interface, method, parameters, invocation):
    if method == "RegisterStatusNotifierItem":
        # An item names its service, or only its object path on the sender's connection.
        service = parameters.unpack()[0]
        if service.startswith("/"):
            service = sender
        items.append(service)
        connection.emit_signal(None, PATH, NAME, "StatusNotifierItemRegistered", GLib.Variant("(s)", (service,)))
        say("registered " + service)
    invocation.return_value(None)


def get_property(connection, sender, path, interface, name):
    return {
        "RegisteredStatusNotifierItems": GLib.Variant("as", items),
        "IsStatusNotifierHostRegistered": GLib.Variant("b", True),
        "ProtocolVersion": GLib.Variant("i", 0),
    }[name]


def main():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    info = Gio.DBusNodeInfo.new_for_xml(INTERFACE).interfaces[0]
    bus.register_object(PATH, info, method_call, get_property, None)
    loop = GLib.MainLoop()

    def acquired(connection, name):
        say("watching")

    def lost(connection, name):
        say("could not own " + name)
        loop.quit()

    Gio.bus_own_name_on_connection(bus, NAME, Gio.BusNameOwnerFlags.NONE, acquired, lost)
    loop.run()
    return 1


if __name__ == "__main__":
    sys.exit(main())
