#!/usr/bin/python3
"""The window as a screen-reader or switch-access user meets it: over the real AT-SPI bus.

    xvfb-run -a -s "-screen 0 1280x800x24 -noreset" dbus-run-session -- \
        tests/atspi/atspi_walk.py [BUILD_FOLDER]

scripts/test runs it as one check (Debian: python3-pyatspi, at-spi2-core, dbus, xvfb). It
starts the AT-SPI bus (at-spi-bus-launcher) inside the D-Bus session, then the real program
BUILD_FOLDER/program/NorvaneSafetyCRCTool with a copy of the demo settings the build writes
(BUILD_FOLDER/demo-settings), a user folder of its own and QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1.
It finds every control by role and accessible name, and acts only as assistive technology can:
an object's actions, keys sent by the AT-SPI registry (which types them through XTEST), and
what the bus says about names, states and texts.

1. Keyboard: the focus starts in the tree. Accept (its "Press" action) until every tree item is
   described as "verified"; then Tab walks Input, Overview, Accept, Calc-CRC, the CRC field,
   the checked radio button and Exit, and Shift+Tab walks back to the tree.
2. Hex/Dec: after Calc-CRC, the "Toggle" action of Dec shows the CRC in decimal and writes
   CrcDisplayFormat=1 to the user's settings file; Toggle on Hex goes back.
3. Questions before work is lost: File -> New with nothing changed asks nothing. With the
   marks set, another vendor (the list opened by its action, chosen with Down and Return) asks
   whether to discard them, default No, and No keeps vendor and marks; Exit asks message 145
   and Cancel stays; New asks it too, and after OK on it Exit asks only whether to exit.
   A second run opens a copy of examples/SampleProject.kfx named on the command line: File ->
   Delete asks whether to delete that path, default No; No keeps the file, Yes deletes it.

What Qt 6.4's AT-SPI bridge decides here: a combo box offers no Selection interface, and the
"Toggle" action of an item of its list only marks the row without choosing it; so the vendor
is chosen with keys, as a screen-reader user does. A menu item's action runs its command
inside the D-Bus call, so a question that the command asks holds the reply back until it is
answered: actions are therefore sent without waiting for a reply, and every step waits for
what the bus then shows. Keys are sent only before the first message box: Xvfb has no window
manager, and without one nobody gives the focus back to the window when a message box closes.
The program runs once per machine: the check waits a while for another copy to end, and says
so when one keeps running.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402
import pyatspi  # noqa: E402

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINDOW = "Norvane Safety Configurator"  # the main window's accessible name
MESSAGE_UNSAVED = "The current project is not saved.\nPress OK to continue without saving"
MESSAGE_EXIT = "Exit Program..."
INSTANCE_NAME = "@Global\\{031E39EE-C125-42f7-99E7-5535EEF1B11C}"  # see src/base/single_instance.h
XK_TAB, XK_DOWN, XK_RETURN, SHIFT_MASK = 0xFF09, 0xFF54, 0xFF0D, 1 << 0

# After Accept on every item, from the tree: (role, accessible name) of each Tab stop.
TAB_WALK = [
    ("text", "Input"),
    ("table", "Overview"),
    ("push button", "Accept"),
    ("push button", "Calc-CRC"),
    ("text", "CRC module"),
    ("radio button", "Hex"),
    ("push button", "Exit"),
]
BACK_WALK = TAB_WALK[-2::-1] + [("tree", "Parameter")]


def instance_name_held():
    """Whether a process holds the program's single-instance name (an abstract socket)."""
    with open("/proc/net/unix") as sockets:
        return any(line.rstrip("\n").endswith(" " + INSTANCE_NAME) for line in sockets)


class Failure(Exception):
    pass


def wait_for(what, probe, seconds=5.0):
    """Polls probe() until it returns something true, and returns that. `what` is a text, or a
    function that says what was awaited in the light of what is there at the end."""
    end = time.monotonic() + seconds
    problem = ""
    while True:
        try:
            value = probe()
        except GLib.Error as error:  # an object went away while it was read: read again
            value, problem = None, f" (last: {error.message})"
        if value:
            return value
        if time.monotonic() > end:
            try:
                what = what() if callable(what) else what
            except GLib.Error:
                what = "a state whose objects went away"
            raise Failure(f"waited {seconds:g} s in vain for {what}{problem}")
        time.sleep(0.05)


def described(accessible):
    return f"{accessible.getRoleName()} '{accessible.name}'" if accessible else "nothing"


def has(accessible, state):
    return accessible.getState().contains(state)


def children(accessible):
    return [child for child in accessible if child is not None]


def controls(accessible):
    """The accessible and its descendants, without the cells of trees, tables and lists."""
    yield accessible
    if accessible.getRole() in (pyatspi.ROLE_TREE, pyatspi.ROLE_TABLE, pyatspi.ROLE_LIST):
        return
    for child in children(accessible):
        yield from controls(child)


def find(within, role, name):
    for accessible in controls(within):
        if accessible.getRoleName() == role and accessible.name == name:
            return accessible
    raise Failure(f"no {role} '{name}' in {described(within)}")


def verified(items):
    return sum(item.description == "verified" for item in items)


def read(path):
    try:
        with open(path) as file:
            return file.read()
    except FileNotFoundError:
        return ""


def text_of(accessible):
    text = accessible.queryText()
    return text.getText(0, text.characterCount)


class Session:
    """The AT-SPI bus and one run of the program on it, with the user's view of both."""

    def __init__(self, build, folder):
        self.folder = folder
        self.env = dict(os.environ)
        self.env.pop("WAYLAND_DISPLAY", None)
        runtime = os.path.join(folder, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        settings = os.path.join(folder, "settings")
        shutil.copytree(os.path.join(build, "demo-settings"), settings)
        self.env.update(
            XDG_RUNTIME_DIR=runtime,  # the AT-SPI bus's socket goes there, not to ~/.cache
            XDG_CONFIG_DIRS=settings,
            XDG_CONFIG_HOME=os.path.join(folder, "home"),
            QT_QPA_PLATFORM="xcb",
            QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
            QT_LOGGING_RULES="norvane.messages.info=true",
        )
        self.program = os.path.join(build, "program", "NorvaneSafetyCRCTool")
        self.user_file = os.path.join(
            folder, "home", "Norvane", "Safety Configurator", "NorvaneSafetyCRCTool.ini")
        self.process = self.launcher = self.a11y = None

    def start_bus(self):
        self.launcher = subprocess.Popen(
            ["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=self.env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        session = Gio.bus_get_sync(Gio.BusType.SESSION)

        def address():
            try:
                reply = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
                                          "GetAddress", None, GLib.VariantType("(s)"),
                                          Gio.DBusCallFlags.NO_AUTO_START, 500, None)
                return reply.unpack()[0]
            except GLib.Error:
                return None

        bus = wait_for("the AT-SPI bus (at-spi-bus-launcher)", address, 10)
        flags = (Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT |
                 Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
        self.a11y = Gio.DBusConnection.new_for_address_sync(bus, flags, None, None)

    def start(self, *arguments):
        # The program runs once per machine; another copy (another developer's, or a window
        # test's) holds its name only for a while.
        wait_for(f"the end of another copy of the program that runs on this machine (it holds "
                 f"the program's single-instance name {INSTANCE_NAME})",
                 lambda: not instance_name_held(), 20)
        self.log = os.path.join(self.folder, f"program-{time.monotonic_ns()}.log")
        with open(self.log, "w") as log:
            self.process = subprocess.Popen([self.program, *arguments], env=self.env,
                                            stdout=log, stderr=log)

        def window():
            status = self.process.poll()
            if status is not None and instance_name_held():
                raise Failure(
                    "the program ended at once without a window: another copy of it runs on "
                    f"this machine (it holds {INSTANCE_NAME}; the program runs once per "
                    "machine, and a second start hands over to the first and ends). Run the "
                    "check again when that copy has ended.")
            if status is not None:
                raise Failure(f"the program ended at once with exit status {status}")
            for app in children(pyatspi.Registry.getDesktop(0)):
                if app.get_process_id() == self.process.pid:
                    for top in children(app):
                        if top.name == WINDOW and has(top, pyatspi.STATE_SHOWING):
                            self.app = app
                            return top
            return None

        self.window = wait_for("the program's window on the AT-SPI bus", window, 20)

    def output(self):
        with open(self.log, errors="replace") as log:
            return log.read()

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()

    def act(self, accessible, action):
        """Does one of the object's actions, as a switch or voice control user would."""
        actions = accessible.queryAction()
        names = [actions.getName(i) for i in range(actions.nActions)]
        if action not in names:
            raise Failure(f"{described(accessible)} offers the actions {names}, not '{action}'")
        # Sent without waiting for the reply: a question asked by the command keeps it back.
        message = Gio.DBusMessage.new_method_call(
            accessible.app.bus_name, accessible.path, "org.a11y.atspi.Action", "DoAction")
        message.set_body(GLib.Variant("(i)", (names.index(action),)))
        message.set_flags(Gio.DBusMessageFlags.NO_REPLY_EXPECTED)
        self.a11y.send_message(message, Gio.DBusSendMessageFlags.NONE)
        self.a11y.flush_sync(None)

    def key(self, keysym, shift=False):
        if shift:
            Atspi.generate_keyboard_event(SHIFT_MASK, None, Atspi.KeySynthType.LOCKMODIFIERS)
        Atspi.generate_keyboard_event(keysym, None, Atspi.KeySynthType.SYM)
        if shift:
            Atspi.generate_keyboard_event(SHIFT_MASK, None, Atspi.KeySynthType.UNLOCKMODIFIERS)

    def focused(self):
        for accessible in controls(self.window):
            if has(accessible, pyatspi.STATE_FOCUSED):
                return accessible
        return None

    def question(self):
        """The message box the program shows: (its text, its buttons by name), or None. The
        text is the box's description, which a screen reader says with it, and its label's."""
        if self.process.poll() is not None:
            return None
        for top in children(self.app):
            if top.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG) and \
                    top.name != WINDOW and has(top, pyatspi.STATE_SHOWING):
                inside = list(controls(top))
                labels = [c.name for c in inside if c.getRole() == pyatspi.ROLE_LABEL]
                if top.description not in labels:
                    raise Failure(f"a message box described as '{top.description}' shows {labels}")
                buttons = [c for c in inside if c.getRole() == pyatspi.ROLE_PUSH_BUTTON]
                return top.description, {button.name: button for button in buttons}
        return None

    def answer(self, expected, button, default=None, offered=("Yes", "No")):
        """Waits for a question whose text starts with `expected`, checks its buttons and
        default, and answers it with `button`."""
        text, buttons = wait_for(f"the question '{expected}...'", self.question)
        if not text.startswith(expected):
            raise Failure(f"asked '{text}', expected '{expected}...'")
        if sorted(buttons) != sorted(offered):
            raise Failure(f"'{text}' offers {sorted(buttons)}, expected {sorted(offered)}")
        if default is not None:
            defaults = [name for name, b in buttons.items() if has(b, pyatspi.STATE_IS_DEFAULT)]
            if defaults != [default]:
                raise Failure(f"'{text}': default button {defaults}, expected [{default}]")
        self.act(buttons[button], "Press")
        wait_for(f"the question '{expected}...' to close", lambda: self.question() is None)
        return text

    def asks_nothing(self, what, seconds=1.0):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if asked := self.question():
                raise Failure(f"{what} asked '{asked[0]}'")
            time.sleep(0.05)


def check_keyboard_and_display(run):
    tree = find(run.window, "tree", "Parameter")
    wait_for("the focus in the tree at start", lambda: has(tree, pyatspi.STATE_FOCUSED))
    print("ok: at start the focus is in the tree")
    run.act(find(run.window, "menu item", "New"), "Press")
    run.asks_nothing("File -> New with nothing changed")
    print("ok: File -> New with nothing changed asks nothing")

    accept = find(run.window, "push button", "Accept")
    items = [c for c in children(tree) if c.getRole() == pyatspi.ROLE_TABLE_CELL]
    if {item.description for item in items} != {"not verified"}:
        raise Failure(f"tree items at start: {[(i.name, i.description) for i in items]}")
    while (count := verified(items)) < len(items):
        run.act(accept, "Press")
        wait_for(f"Accept to verify item {count + 1} of {len(items)}",
                 lambda: verified(items) > count)
    print(f"ok: Accept verified all {len(items)} tree items")

    wait_for(lambda: f"the focus in the tree after the Accepts (it is on "
             f"{described(run.focused())})", lambda: has(tree, pyatspi.STATE_FOCUSED))
    for keys, walk, shift in (("Tab", TAB_WALK, False), ("Shift+Tab", BACK_WALK, True)):
        seen = []
        for role, name in walk:
            run.key(XK_TAB, shift)
            wait_for(lambda: f"{keys} number {len(seen) + 1} to reach {role} '{name}' "
                     f"(walked: {', '.join(seen) or 'nothing'}; now on {described(run.focused())})",
                     lambda: (focus := run.focused()) and
                     (focus.getRoleName(), focus.name) == (role, name))
            seen.append(f"{role} '{name}'")
        print(f"ok: {keys} walks {', '.join(seen)}")

    crc = find(run.window, "text", "CRC module")
    run.act(find(run.window, "push button", "Calc-CRC"), "Press")
    hex_crc = wait_for("a CRC in hex digits after Calc-CRC",
                       lambda: re.fullmatch("[0-9A-F]{1,8}", text_of(crc)) and text_of(crc))
    hex_button = find(run.window, "radio button", "Hex")
    dec_button = find(run.window, "radio button", "Dec")
    for button, other, shown, stored in ((dec_button, hex_button, str(int(hex_crc, 16)), 1),
                                         (hex_button, dec_button, hex_crc, 0)):
        run.act(button, "Toggle")
        wait_for(lambda: f"the CRC shown as {shown} after Toggle on {button.name} (it shows "
                 f"'{text_of(crc)}')",
                 lambda: text_of(crc) == shown)
        wait_for(f"CrcDisplayFormat={stored} in the user's file after Toggle on {button.name}",
                 lambda: f"CrcDisplayFormat={stored}\n" in read(run.user_file))
        if not has(button, pyatspi.STATE_CHECKED) or has(other, pyatspi.STATE_CHECKED):
            raise Failure(f"after Toggle on {button.name} the marks do not follow")
        print(f"ok: Toggle on {button.name} shows {shown} and writes CrcDisplayFormat={stored}")
    return items


def check_questions(run, items):
    vendor = find(run.window, "combo box", "Norvane Automation")
    run.act(vendor, "ShowMenu")
    wait_for("the vendor list to open", lambda: has(vendor[0], pyatspi.STATE_FOCUSED))
    run.key(XK_DOWN)
    run.key(XK_RETURN)
    asked = run.answer(
        f"Changing the selection discards the verification of {len(items)} items. Continue?",
        "No", default="No")
    run.asks_nothing("No on the question before a vendor change", 0.3)
    if vendor.name != "Norvane Automation" or verified(items) != len(items):
        raise Failure(f"after No the vendor is '{vendor.name}', {verified(items)} items verified")
    print(f"ok: another vendor asks '{asked}'; No keeps the vendor and the marks")

    exit_button = find(run.window, "push button", "Exit")
    run.act(exit_button, "Press")
    run.answer(MESSAGE_UNSAVED, "Cancel", offered=("OK", "Cancel"))
    run.asks_nothing("Cancel on message 145", 0.3)
    if run.process.poll() is not None:
        raise Failure("Cancel on message 145 ended the program")
    print("ok: Exit after the Accepts asks message 145; Cancel stays")
    run.act(find(run.window, "menu item", "New"), "Press")
    run.answer(MESSAGE_UNSAVED, "OK", offered=("OK", "Cancel"))
    wait_for("File -> New to clear the marks", lambda: verified(items) == 0)
    run.act(exit_button, "Press")
    run.answer(MESSAGE_EXIT, "Yes")
    wait_for("the program to end after Yes", lambda: run.process.poll() is not None)
    print("ok: File -> New asks message 145 after the Accepts, and after it Exit asks only "
          "whether to exit")


def check_delete(run, folder):
    project = os.path.join(folder, "SampleProject.kfx")
    shutil.copy(os.path.join(SOURCE, "examples", "SampleProject.kfx"), project)
    run.start(project)
    delete = find(run.window, "menu item", "Delete")
    question = f"Do you want to delete the project file {project}?"
    run.act(delete, "Press")
    run.answer(question, "No", default="No")
    if not os.path.exists(project):
        raise Failure("No on the question before Delete deleted the file")
    run.act(delete, "Press")
    run.answer(question, "Yes", default="No")
    wait_for("Yes to delete the project file", lambda: not os.path.exists(project))
    print(f"ok: Delete asks '{question}' with No as default; No keeps the file, Yes deletes it")
    run.act(find(run.window, "push button", "Exit"), "Press")
    run.answer(MESSAGE_EXIT, "Yes")
    wait_for("the program to end after Yes", lambda: run.process.poll() is not None)


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(SOURCE, "build"))
    folder = tempfile.mkdtemp(prefix="norvane-atspi-")
    run = Session(build, folder)
    started = time.monotonic()
    try:
        run.start_bus()
        run.start()
        items = check_keyboard_and_display(run)
        check_questions(run, items)
        check_delete(run, folder)
    except (Failure, GLib.Error) as failure:
        print(f"FAILED: {failure}")
        if run.process:
            print("The program's output:\n" + run.output())
        return 1
    finally:
        run.stop()
        if run.launcher:
            run.launcher.terminate()
            run.launcher.wait()
        shutil.rmtree(folder, ignore_errors=True)
    print(f"all AT-SPI checks passed in {time.monotonic() - started:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
