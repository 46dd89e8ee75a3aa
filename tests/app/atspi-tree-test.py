#!/usr/bin/python3
"""The window as a screen reader sees it: the real program on an X server of
its own (Xvfb), with the accessibility bus of at-spi2-core on a private
session bus, its tree read over AT-SPI with pyatspi. Every control is found
by role and name; a text typed through AT-SPI changes the logo view's
description. Prints what it found, one "role<TAB>name<TAB>description" a line.

    atspi-tree-test.py ZOTMAKER

Exits 77 (skipped) where Xvfb, dbus-run-session, the at-spi bus launcher or
pyatspi is missing. Everything it starts is stopped on every way out.
"""
import importlib.util
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
# The whole run; the ctest timeout is longer, so that this one cleans up.
RUN_SECONDS = 90
WAIT_SECONDS = 20
# The design opened and typed into, as a user would.
DESIGN = "Gold"
TYPED = "ACME"


class Failure(Exception):
    pass


def wait_for(what, probe, seconds=WAIT_SECONDS):
    """probe() until it gives something, at most seconds long."""
    end = time.monotonic() + seconds
    while True:
        found = probe()
        if found:
            return found
        if time.monotonic() > end:
            raise Failure("waited %d s for %s" % (seconds, what))
        time.sleep(0.1)


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


class Tree:
    """The application's accessibility tree, read afresh on every look."""

    def __init__(self, app):
        self.app = app
        self.shown = []
        self.failures = []

    def nodes(self, root=None):
        found, todo = [], [self.app if root is None else root]
        while todo and len(found) < 20000:
            node = todo.pop()
            try:
                found.append((node.getRoleName(), node.name, node.description, node))
                todo.extend(node.getChildAtIndex(i) for i in reversed(range(node.childCount)))
            except Exception:  # a node that went away while being read
                continue
        return found

    def find(self, role, name, within=None):
        for r, n, _, node in self.nodes() if within is None else within:
            if r == role and n == name:
                return node
        return None

    def expect(self, role, name, description=None, within=None):
        """The control of that role and name, printed; a failure when missing."""
        node = self.find(role, name, within)
        if node is None:
            self.failures.append("no %s named %r" % (role, name))
            return None
        if description is not None and not re.search(description, node.description):
            self.failures.append("%s %r: description %r, not /%s/"
                                 % (role, name, node.description, description))
        self.shown.append("%s\t%s\t%s" % (role, name, node.description))
        return node

    def press(self, node):
        action = node.queryAction()
        for i in range(action.nActions):
            if action.getName(i) == "Press":
                return action.doAction(i)
        self.failures.append("%r cannot be pressed" % node.name)
        return False

    def text_of(self, node):
        text = node.queryText()
        return text.getText(0, text.characterCount)


def check(program, pyatspi, running):
    """Finds the controls and types; returns the tree with its findings."""
    desktop = pyatspi.Registry.getDesktop(0)

    def application():
        running()
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == "Zotmaker":
                return app
        return None

    app = wait_for("the program on the accessibility bus", application)
    # Read every property over the bus: a cached description would not change.
    app.set_cache_mask(pyatspi.Atspi.Cache.NONE)
    tree = Tree(app)
    wait_for("the about view", lambda: tree.find("text", "About Zotmaker"))

    folder = os.path.dirname(program)
    designs = sorted(d for d in os.listdir(folder)
                     if not d.startswith(".")
                     and os.path.isfile(os.path.join(folder, d, "script.zot")))
    if DESIGN not in designs:
        tree.failures.append("no design %s beside the program" % DESIGN)
        return tree

    # The about view: the catalogue, the top bar's and the editor's buttons.
    nodes = tree.nodes()
    for design in designs:
        tree.expect("push button", design, within=nodes)
    for name in ("Earlier designs", "Later designs", "About", "Save to file",
                 "Copy 2 clipboard", "Set as wallpaper", "Batch process"):
        tree.expect("push button", name, within=nodes)
    # Named for what it is; its value is its edit's text.
    zoom = tree.expect("combo box", "Image size", "percent", within=nodes)
    if zoom is not None:
        edits = [zoom.getChildAtIndex(i) for i in range(zoom.childCount)]
        values = [tree.text_of(e) for e in edits if e.getRoleName() == "text"]
        if values != ["50%"]:
            tree.failures.append("the zoom box's edit reads %r, not ['50%%']" % values)
    about = tree.expect("text", "About Zotmaker", within=nodes)
    if about is not None and "Zotmaker" not in tree.text_of(about):
        tree.failures.append("the about text is empty")
    tree.expect("text", "Error list", "script", within=nodes)
    tree.expect("filler", "Texts of the logo", within=nodes)
    tree.expect("filler", "Logo view", within=nodes)

    # A design opened by its button's action, as a screen reader's user does.
    button = tree.find("push button", DESIGN, nodes)
    if button is None:
        return tree
    tree.press(button)
    with open(os.path.join(folder, DESIGN, "script.zot"), encoding="cp1252") as script:
        captions = re.findall(r'^\s*label\s*=\s*"?([^"\n]*?)"?\s*$', script.read(), re.M)
    if not captions:
        tree.failures.append("%s has no label input" % DESIGN)
        return tree

    def inputs():
        area = tree.find("filler", "Texts of the logo")
        boxes = tree.nodes(area) if area is not None else []
        return boxes if tree.find("text", captions[-1], boxes) else None

    boxes = [tree.expect("text", caption, within=wait_for("the text boxes", inputs))
             for caption in captions]
    logo = tree.expect("filler", "Logo", r"^\d+ × \d+ pixels: ")
    if logo is None or boxes[0] is None:
        return tree

    # Typed into the first box: the logo is drawn again and says so.
    before = logo.description
    if not boxes[0].queryEditableText().setTextContents(TYPED):
        tree.failures.append("the first text box refused the text")

    def redrawn():
        now = logo.description
        return now if now != before and TYPED in now else None

    try:
        tree.shown.append("filler\tLogo\t%s" % wait_for("the typed text in the logo", redrawn))
    except Failure as e:
        tree.failures.append("%s: still %r" % (e, logo.description))
    return tree


def inside(program, work):
    """In the private session: the X server, the accessibility bus, the program."""
    started = []

    def start(args, **kwargs):
        process = subprocess.Popen(args, **kwargs)
        started.append(process)
        return process

    def running():
        for process in started:
            if process.poll() is not None:
                raise Failure("%s ended with %d" % (process.args[0], process.returncode))

    try:
        read, write = os.pipe()
        # No reset when its last client leaves: the launcher and pyatspi come
        # and go before the program connects, which a reset would turn away.
        start(["Xvfb", "-displayfd", str(write), "-noreset", "-nolisten", "tcp", "-screen", "0",
               "1024x768x24"], pass_fds=(write,))
        os.close(write)
        # Up to the newline: Xvfb stops when the pipe closes before it.
        number = b""
        while not number.endswith(b"\n"):
            if not select.select([read], [], [], WAIT_SECONDS)[0]:
                raise Failure("Xvfb named no display within %d s" % WAIT_SECONDS)
            part = os.read(read, 64)
            if not part:
                raise Failure("Xvfb stopped before naming its display")
            number += part
        os.close(read)
        os.environ["DISPLAY"] = ":" + number.decode().strip()

        start([LAUNCHER, "--launch-immediately"])
        from gi.repository import Gio, GLib
        bus = Gio.bus_get_sync(Gio.BusType.SESSION)

        def launched():
            reply = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                  "org.freedesktop.DBus", "NameHasOwner",
                                  GLib.Variant("(s)", ("org.a11y.Bus",)), None,
                                  Gio.DBusCallFlags.NONE, 5000, None)
            return reply.unpack()[0]

        wait_for("the accessibility bus", launched)
        import pyatspi

        env = dict(os.environ, QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   QT_QPA_PLATFORM="xcb")
        start([program], env=env, cwd=work)
        tree = check(program, pyatspi, running)
        print("\n".join(tree.shown))
        for failure in tree.failures:
            print("FAILED: " + failure)
        return 1 if tree.failures else 0
    except Failure as e:
        print("FAILED: %s" % e)
        return 1
    finally:
        for process in reversed(started):
            stop(process)


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "--inside":
        return inside(sys.argv[2], sys.argv[3])
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    program = os.path.abspath(sys.argv[1])
    for tool in ("Xvfb", "dbus-run-session"):
        if not shutil.which(tool):
            print("SKIP: %s is missing" % tool)
            return SKIP
    if not os.access(LAUNCHER, os.X_OK):
        print("SKIP: %s is missing" % LAUNCHER)
        return SKIP
    # Only looked for here: importing it would reach the user's session bus.
    if importlib.util.find_spec("pyatspi") is None:
        print("SKIP: pyatspi is missing (python3-pyatspi)")
        return SKIP

    with tempfile.TemporaryDirectory() as scratch:
        # A home of its own: the user's settings and designs are never seen.
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS",
                            "AT_SPI_BUS_ADDRESS", "LANGUAGE", "LC_MESSAGES", "SESSION_MANAGER")}
        for name in ("home", "data", "config", "cache", "runtime", "work"):
            os.mkdir(os.path.join(scratch, name), 0o700)
        env.update(HOME=os.path.join(scratch, "home"),
                   XDG_DATA_HOME=os.path.join(scratch, "data"),
                   XDG_CONFIG_HOME=os.path.join(scratch, "config"),
                   XDG_CACHE_HOME=os.path.join(scratch, "cache"),
                   XDG_RUNTIME_DIR=os.path.join(scratch, "runtime"),
                   GSETTINGS_BACKEND="memory", LANG="C.UTF-8", LC_ALL="C.UTF-8")
        def terminated(signum, _):
            raise SystemExit(128 + signum)

        for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            signal.signal(sig, terminated)
        # Its own process group, stopped as a whole whatever happens.
        session = subprocess.Popen(
            ["dbus-run-session", "--", sys.executable, os.path.abspath(__file__), "--inside",
             program, os.path.join(scratch, "work")], env=env, start_new_session=True)

        def stop_session():
            # The bus, the X server, the program and whatever they started.
            for sig in (signal.SIGTERM, signal.SIGKILL):
                try:
                    os.killpg(session.pid, sig)
                except ProcessLookupError:
                    return
                end = time.monotonic() + 5
                while time.monotonic() < end:
                    session.poll()  # reaped, so that only the others count
                    try:
                        os.killpg(session.pid, 0)
                    except ProcessLookupError:
                        return
                    time.sleep(0.05)

        try:
            return session.wait(RUN_SECONDS)
        except subprocess.TimeoutExpired:
            print("FAILED: not done within %d s" % RUN_SECONDS)
            return 1
        finally:
            stop_session()


if __name__ == "__main__":
    sys.exit(main())
