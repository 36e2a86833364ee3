#!/usr/bin/python3
"""The desktop program as a screen reader sees it.

Starts `lintaro` on a virtual X screen (Xvfb) with Qt's accessibility bridge
on (QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1), on a session D-Bus of its own
(dbus-run-session) with the accessibility bus (at-spi-bus-launcher), and
walks the accessibility tree of every window of the program in each state
the user reaches: the start, the records with errors, the tested records
with the field-by-field viewer, Go to Record, Set Error(s), About, Help, the
Report Option dialog and the report window, and a check in progress that
asks for the next file. The dialogs are opened from the keyboard alone (F10
and the menus' letters) and must close on Escape. Fails on any element the
user can focus that has no name or no role, and names each.

  accessibility_tree_test.py --lintaro PATH --cli PATH --gen PATH

Exit status 77 (a skipped test for ctest) only when the accessibility bus
cannot be started on this machine; a missing tool is a failure, since
scripts/deps installs them all.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
TIMEOUT = 60.0  # seconds for any one state to appear (a loaded machine is slow)
INNER = "LINTARO_ACCESSIBILITY_TEST_SESSION"


def fail(message):
    print("accessibility_tree_test: " + message, file=sys.stderr)
    sys.exit(1)


def skip(message):
    print("accessibility_tree_test: SKIPPED: " + message, file=sys.stderr)
    sys.exit(SKIP)


def wait_for(what, probe, timeout=TIMEOUT):
    """Polls probe until it returns something true; fails after timeout."""
    end = time.monotonic() + timeout
    while True:
        try:
            found = probe()
        except Exception:  # the tree changes while it is read
            found = None
        if found:
            return found
        if time.monotonic() > end:
            fail("timed out waiting for " + what)
        time.sleep(0.2)


class Session:
    """The X screen, the accessibility bus and the program."""

    def __init__(self, args):
        self.args = args
        self.work = tempfile.mkdtemp(prefix="lintaro-a11y-")
        self.processes = []

    def start(self, command, **kwargs):
        process = subprocess.Popen(command, **kwargs)
        self.processes.append(process)
        return process

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
        shutil.rmtree(self.work, ignore_errors=True)

    def start_screen(self):
        read, write = os.pipe()
        self.start(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24",
                    "-nolisten", "tcp"], pass_fds=(write,), stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if not number:
            fail("Xvfb did not start")
        os.environ["DISPLAY"] = ":" + number

    def start_bus(self):
        """The accessibility bus and its registry, both started by D-Bus
        activation with this test's screen and runtime folder (the registry
        sends the test's keys and clicks to the screen). A launcher started by
        hand races the one activated by the first question, and the loser
        takes its bus and registry with it when it goes; a launcher that
        does not see the runtime folder shares ~/.cache with every other
        session of the machine."""
        from gi.repository import Gio, GLib
        runtime = os.path.join(self.work, "runtime")
        os.mkdir(runtime, 0o700)
        os.environ["XDG_RUNTIME_DIR"] = runtime
        launcher = "/usr/libexec/at-spi-bus-launcher"
        if not os.access(launcher, os.X_OK):
            fail(launcher + " is missing (Debian package at-spi2-core, in scripts/deps)")
        session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
        session.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus",
                          "org.freedesktop.DBus", "UpdateActivationEnvironment",
                          GLib.Variant("(a{ss})", ({"XDG_RUNTIME_DIR": runtime,
                                                     "DISPLAY": os.environ["DISPLAY"]},)),
                          None, Gio.DBusCallFlags.NONE, 10000, None)

        def bus_address():
            return session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
                                     "GetAddress", None, GLib.VariantType("(s)"),
                                     Gio.DBusCallFlags.NONE, 10000, None).unpack()[0]

        address = self.answer(bus_address)
        if not address:
            skip("the accessibility bus (at-spi-bus-launcher) did not start on this machine")

        # The registry answers before the program starts: the program
        # announces itself to it once, at start.
        def registry_children():
            bus = Gio.DBusConnection.new_for_address_sync(
                address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
                | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None)
            try:
                return bus.call_sync("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root",
                                     "org.a11y.atspi.Accessible", "GetChildren", None, None,
                                     Gio.DBusCallFlags.NONE, 10000, None) is not None
            finally:
                bus.close_sync(None)

        if not self.answer(registry_children):
            skip("the accessibility registry did not answer on this machine")

    @staticmethod
    def answer(question):
        """What question() returns once it returns without an error, or
        None after TIMEOUT."""
        end = time.monotonic() + TIMEOUT
        while time.monotonic() < end:
            try:
                return question()
            except Exception:  # not started yet
                time.sleep(0.2)
        return None

    def prepare_results(self):
        """A program folder with the results of a check that found errors,
        and a submission without its final record."""
        self.home = os.path.join(self.work, "home")
        os.mkdir(self.home)
        found = os.path.join(self.work, "mistakes.txt")
        subprocess.run([self.args.gen, "--records", "60", "--mistakes", found], check=True,
                       stdout=subprocess.DEVNULL)
        checked = subprocess.run([self.args.cli, "check", "--home", self.home, "--quiet", found],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if checked.returncode not in (0, 1):
            fail("lintaro-cli check ended with %d" % checked.returncode)
        clean = os.path.join(self.work, "clean.txt")
        subprocess.run([self.args.gen, "--records", "3000", clean], check=True,
                       stdout=subprocess.DEVNULL)
        with open(clean, "rb") as f:
            data = f.read()
        # The last record (RCF) left out: the check asks for the next file.
        self.unfinished = os.path.join(self.work, "no-final-record.txt")
        with open(self.unfinished, "wb") as f:
            f.write(data[: data.rstrip(b"\r\n").rfind(b"\n") + 1])

    def start_program(self):
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
                   QT_ACCESSIBILITY="1", XDG_CONFIG_HOME=os.path.join(self.work, "config"),
                   XDG_DATA_HOME=os.path.join(self.work, "data"))
        self.program = self.start([self.args.lintaro, "--home", self.home], env=env,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class Tree:
    """The program's accessibility tree, read through pyatspi."""

    def __init__(self, pyatspi):
        self.a = pyatspi
        self.problems = []
        self.main = None

    def app(self):
        desktop = self.a.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == "Lintaro":
                return app
        return None

    def windows(self):
        app = self.app()
        return [app.getChildAtIndex(i) for i in range(app.childCount)] if app else []

    def showing(self, node):
        return node.getState().contains(self.a.STATE_SHOWING)

    def find(self, role, name=None, root=None):
        """The first showing node of role (a role name) and name, if any."""
        for node in self.nodes(root):
            if node.getRoleName() == role and (name is None or node.name == name) \
                    and self.showing(node):
                return node
        return None

    def nodes(self, root=None, limit=5000):
        """Every node under root (or every window), tables and lists only
        to their first rows: a grid may hold a million."""
        stack = [root] if root is not None else list(reversed(self.windows()))
        seen = 0
        while stack and seen < limit:
            node = stack.pop()
            if node is None:
                continue
            seen += 1
            yield node
            count = node.childCount
            if node.getRoleName() in ("table", "tree table", "list", "tree"):
                count = min(count, 40)
            for i in reversed(range(count)):
                stack.append(node.getChildAtIndex(i))

    def walk(self, state):
        """Notes every showing, focusable node without a name or a role."""
        checked = 0
        for node in self.nodes():
            states = node.getState()
            if not (states.contains(self.a.STATE_FOCUSABLE) and self.showing(node)):
                continue
            checked += 1
            role = node.getRoleName()
            name = (node.name or "").strip()
            if role in ("unknown", "invalid", "") or node.getRole() == self.a.ROLE_UNKNOWN:
                self.problems.append("%s: %r has no role" % (state, name))
            if not name and role == "table cell":
                continue  # an empty cell of data, named by its column's heading
            if not name:
                path = []
                parent = node
                while parent is not None and len(path) < 4:
                    path.append(parent.getRoleName() + (" " + repr(parent.name)
                                                        if parent.name else ""))
                    parent = parent.parent
                self.problems.append("%s: a %s has no name (in %s)"
                                     % (state, role, " < ".join(path[1:])))
        if checked == 0:
            self.problems.append(state + ": nothing the user can focus was found")
        shown = [w.name for w in self.windows() if self.showing(w)]
        print("%-30s %3d focusable elements in %s" % (state, checked, " | ".join(shown)))

    def press(self, role, name):
        node = wait_for("%s %r" % (role, name), lambda: self.find(role, name))
        action = node.queryAction()
        for i in range(action.nActions):
            if action.getName(i).lower() in ("press", "click", "activate"):
                action.doAction(i)
                return
        fail("%s %r offers no press action" % (role, name))

    def keys(self, *keys):
        for key in keys:
            sym = {"F10": 0xFFC7, "Right": 0xFF53, "Left": 0xFF51, "Escape": 0xFF1B, "Return": 0xFF0D}.get(key)
            if sym is None:
                sym = ord(key)
            self.a.Registry.generateKeyboardEvent(sym, None, self.a.KEY_SYM)
            time.sleep(0.3)

    def type_text(self, text):
        self.a.Registry.generateKeyboardEvent(0, text, self.a.KEY_STRING)
        time.sleep(0.3)

    def window_named(self, name):
        for window in self.windows():
            if window.name == name and self.showing(window):
                return window
        return None

    def activate_main(self):
        """Without a window manager a window is made active by a click: on
        an empty spot of the main window's margin."""
        main = self.main  # its title changes with the view

        def click():
            x, y, _, _ = main.queryComponent().getExtents(self.a.DESKTOP_COORDS)
            self.a.Registry.generateMouseEvent(x + 4, y + 40, "abs")
            self.a.Registry.generateMouseEvent(x + 4, y + 40, "b1c")
            time.sleep(0.3)
            return main.getState().contains(self.a.STATE_ACTIVE)

        wait_for("the main window to be active after a click", click)

    def dialog(self, name, *keys, close=True):
        """Opens a window by keys, walks the tree, closes it with Escape."""
        if keys:
            self.activate_main()
        self.keys(*keys)
        wait_for("the window %r after %s" % (name, " ".join(keys)),
                 lambda: self.window_named(name))
        self.walk(name)
        if close:
            self.keys("Escape")
            wait_for("Escape to close %r" % name, lambda: not self.window_named(name))


def run(args):
    try:
        import pyatspi  # noqa: F401 (Debian's python3-pyatspi)
    except ImportError:
        fail("python3-pyatspi is missing (in scripts/deps); run with Debian's /usr/bin/python3")
    session = Session(args)
    try:
        session.start_screen()
        session.start_bus()
        session.prepare_results()
        session.start_program()
        tree = Tree(pyatspi)
        tree.main = wait_for("the main window", lambda: tree.window_named("Lintaro 2007"))
        tree.activate_main()
        tree.walk("start")

        tree.press("push button", "View Last Test Results")
        wait_for("the records with errors", lambda: tree.find("table", "Records with errors"))
        tree.walk("records with errors")

        tree.press("push button", "View Tested Records")
        wait_for("the tested records", lambda: tree.find("table", "Tested records"))
        wait_for("the viewer's fields", lambda: tree.find("text", "Record Identifier"))
        tree.walk("tested records")

        tree.dialog("Go to Record", "F10", "Right", "g")
        tree.dialog("Set Error Limit", "F10", "e")
        tree.dialog("About Lintaro / Tax Year 2007", "F10", "Left", "a")
        tree.dialog("Lintaro Help", "F10", "Left", "c")

        tree.press("push button", "View Error Report")
        wait_for("the Report Option dialog", lambda: tree.window_named("Report Option"))
        tree.walk("Report Option")
        tree.keys("Return")  # Text, the preset choice
        tree.dialog("Report", close=True)

        # A check that asks for the next file of the submission.
        tree.press("push button", "Start Testing")
        title = "Please Enter File Name to be Tested"
        wait_for("the open-file dialog", lambda: tree.window_named(title))
        tree.walk("the open-file dialog")
        tree.type_text(session.unfinished)
        tree.keys("Return")
        wait_for("a question during the check",
                 lambda: [w for w in tree.windows()
                          if tree.showing(w) and w != tree.main and w.name != title]
                 or tree.find("dialog"))
        tree.walk("during a check")
        for _ in range(6):  # every question of the check is cancelled
            if len([w for w in tree.windows() if tree.showing(w)]) <= 1:
                break
            tree.keys("Escape")
            time.sleep(0.5)

        if session.program.poll() is not None:
            fail("lintaro ended with %d during the walk" % session.program.returncode)
        if tree.problems:
            fail("elements the user can focus without a name or role:\n  "
                 + "\n  ".join(tree.problems))
        print("every focusable element has a name and a role")
    finally:
        session.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--lintaro", required=True)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--gen", required=True)
    args = parser.parse_args()
    for tool in ("Xvfb", "dbus-run-session", "dbus-send"):
        if shutil.which(tool) is None:
            fail(tool + " is missing (xvfb, dbus and at-spi2-core are in scripts/deps)")
    if os.environ.get(INNER) != "1":
        # A session bus of its own: the accessibility bus is found through it.
        os.environ[INNER] = "1"
        command = ["dbus-run-session", "--", sys.executable, os.path.abspath(__file__)]
        os.execvp("dbus-run-session", command + sys.argv[1:])
    run(args)


if __name__ == "__main__":
    main()
