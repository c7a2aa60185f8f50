#!/usr/bin/python3
"""Lists the sliders of a running program as a screen reader finds them over AT-SPI.

Usage: atspi_sliders.py <application name> [seconds to wait]
Prints one line per slider, "name|value|minimum|maximum|step", in the order of the tree, and
exits 1 when the application or its sliders are not found in time.
"""
import sys
import time

import pyatspi


def sliders(node, found):
    if node is None:
        return
    try:
        if node.getRole() == pyatspi.ROLE_SLIDER:
            value = node.queryValue()
            found.append("%s|%g|%g|%g|%g" % (node.name, value.currentValue, value.minimumValue,
                                              value.maximumValue, value.minimumIncrement))
        for child in node:
            sliders(child, found)
    except Exception:  # an object that went away while we walked
        pass


def main():
    name = sys.argv[1]
    deadline = time.monotonic() + (float(sys.argv[2]) if len(sys.argv) > 2 else 30)
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                found = []
                sliders(app, found)
                if found:
                    print("\n".join(found))
                    return 0
        time.sleep(0.2)
    print("no sliders of %s found" % name, file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
