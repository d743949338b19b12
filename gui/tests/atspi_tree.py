#!/usr/bin/python3
"""The window as a screen reader meets it, through the desktop's accessibility bus (AT-SPI).

Starts a private X server, a private session bus and the accessibility bus, then the real window;
types a simulation into it through the bus (as dictation would), prints the tree a screen reader
walks, and checks that every figure carries its caption as name and its value as text, that the
insurance list and the frames are named by their captions, and that the error panel is an alert
announced as it appears. Exits 77 (skipped) only when no session bus can be started.

Usage: atspi_tree.py <simulator-credit>
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77


def start_x():
    read, write = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
        pass_fds=[write], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    # The server writes the number and then a newline: closing the pipe before the newline has
    # come would kill it.
    answer = b""
    while not answer.endswith(b"\n"):
        chunk = os.read(read, 64)
        if not chunk:
            break
        answer += chunk
    os.close(read)
    number = answer.decode().strip()
    if not number:
        sys.exit("Xvfb did not start")
    return server, ":" + number


def start_session_bus():
    daemon = shutil.which("dbus-daemon")
    if daemon is None:
        print("SKIP: no dbus-daemon, so no session bus for the accessibility bus")
        sys.exit(SKIP)
    bus = subprocess.Popen([daemon, "--session", "--nofork", "--print-address=1"],
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    address = bus.stdout.readline().strip()
    if not address:
        print("SKIP: a session bus could not be started here: " + bus.stderr.read().strip())
        sys.exit(SKIP)
    return bus, address


def walk(node, depth=0, out=None):
    """Every accessible below `node` as (depth, role, name, text), in order."""
    out = [] if out is None else out
    try:
        text = node.queryText().getText(0, -1)
    except NotImplementedError:
        text = None
    out.append((depth, node, node.getRoleName(), node.name, text))
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            walk(child, depth + 1, out)
    return out


RETRY = 3  # the buses came up, but the window never showed on them


def main():
    """Up to three sessions, each in a process of its own: the accessibility library keeps its
    connection for the life of the process, and a loaded machine now and then starts the
    accessibility bus too late for the first one."""
    if len(sys.argv) == 3 and sys.argv[1] == "--once":
        return once(sys.argv[2])
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    for attempt in range(3):
        code = subprocess.run([sys.executable, __file__, "--once", sys.argv[1]]).returncode
        if code != RETRY:
            return code
        print(f"attempt {attempt + 1}: the window did not appear on the bus; again", flush=True)
    return 1


def once(program):
    children = []
    try:
        server, display = start_x()
        children.append(server)
        bus, address = start_session_bus()
        children.append(bus)
        os.environ.update(DISPLAY=display, DBUS_SESSION_BUS_ADDRESS=address,
                          XDG_RUNTIME_DIR=tempfile.mkdtemp(prefix="atspi-"),
                          QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                          NO_AT_BRIDGE="0")
        launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        children.append(launcher)
        # The accessibility bus is up once the launcher answers with its address; its registry
        # starts with it.
        for _ in range(100):
            answer = subprocess.run(
                ["dbus-send", "--session", "--dest=org.a11y.Bus", "--print-reply",
                 "/org/a11y/bus", "org.a11y.Bus.GetAddress"], capture_output=True, text=True)
            if answer.returncode == 0 and "unix:" in answer.stdout:
                break
            time.sleep(0.1)
        else:
            sys.exit("the accessibility bus did not start")
        time.sleep(1.0)
        import pyatspi  # connects to the accessibility bus of the environment above
        from gi.repository import GLib

        window = subprocess.Popen([program], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        children.append(window)

        def pump(seconds):
            end = time.time() + seconds
            context = GLib.MainContext.default()
            while time.time() < end:
                while context.pending():
                    context.iteration(False)
                time.sleep(0.02)

        app = None
        for _ in range(200):
            desktop = pyatspi.Registry.getDesktop(0)
            for i in range(desktop.childCount):
                candidate = desktop.getChildAtIndex(i)
                if candidate is not None and candidate.name.startswith("simulator-credit"):
                    app = candidate
            if app is not None and app.childCount > 0:
                break
            pump(0.1)
        if app is None:
            print("the window never appeared on the accessibility bus", flush=True)
            return RETRY

        shown = []

        def heard(event):
            if event.detail1 == 1 and event.source.getRoleName() == "alert":
                shown.append(event.source.name)

        pyatspi.Registry.registerEventListener(heard, "object:state-changed:showing")

        def find(role, name):
            for _, node, r, n, _ in walk(app):
                if r == role and n == name:
                    return node
            sys.exit(f"no {role} named {name!r}")

        for name, text in [("Venit Net", "4200"), ("Valoare Produs", "3500"), ("Avans", "500"),
                           ("Durata Creditului", "24")]:
            find("text", name).queryEditableText().setTextContents(text)
            pump(0.2)

        tree = walk(app)
        for depth, _, role, name, text in tree:
            print("  " * depth + f"{role} {name!r}" + ("" if text is None else f" text={text!r}"))

        failures = []

        def expect(condition, what):
            if not condition:
                failures.append(what)

        def texts(role, name):
            """The texts of the accessibles of that role and name that hold one (a caption
            label beside a figure has the same name and holds none)."""
            return [t for _, _, r, n, t in tree if r == role and n == name and t is not None]

        for caption in ["Total de Plata", "Cost Total", "Asigurare - prima luna",
                        "Comision de gestiune - prima luna"]:
            values = texts("label", caption)
            expect(len(values) == 1 and re.fullmatch(r"-?\d+(\.\d+)? RON", values[0] or ""),
                   f"label {caption!r} holds {values}")
        expect(re.fullmatch(r"\d+\.\d\d %", (texts("label", "DAE") or [""])[0] or ""),
               f"label 'DAE' holds {texts('label', 'DAE')}")
        for caption in ["Rata TLXF", "Indice BNR", "Valoare maxima bunuri"]:
            values = texts("text", caption)
            expect(len(values) == 1 and values[0], f"text {caption!r} holds {values}")
        expect(any(r == "combo box" and n == "Prima de asigurare" for _, _, r, n, _ in tree),
               "the insurance list is not named 'Prima de asigurare'")
        for caption in ["Date Personale", "Informatii Credit", "Costuri", "RATA"]:
            expect(any(n == caption for _, _, _, n, _ in tree), f"no frame named {caption!r}")
        expect(sum(r == "alert" and n == "Eroare" for _, _, r, n, _ in tree) == 2,
               "the two verdict panels are not alerts")

        find("text", "Durata Creditului").queryEditableText().setTextContents("70")
        pump(1.0)
        expect("Eroare" in shown, "the error panel appeared unannounced")
        if failures:
            print("\n".join("FAIL: " + f for f in failures))
            return 1
        print("every figure, the list, the frames and the error alert as a screen reader hears them")
        return 0
    finally:
        for child in reversed(children):
            child.terminate()
            try:
                child.wait(timeout=5)
            except subprocess.TimeoutExpired:
                child.kill()


if __name__ == "__main__":
    sys.exit(main())
