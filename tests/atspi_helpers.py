"""What the real-window checks driven through the AT-SPI accessibility bus share: finding an
application and its controls by role and name, reading and typing text, pressing and
toggling, a list's entries, and keys pressed on the display."""
import subprocess
import sys
import time

import pyatspi


def application(name, timeout=20):
    end = time.time() + timeout
    while time.time() < end:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
        time.sleep(0.3)
    sys.exit("no application " + name)


def find(root, role, name, timeout=10):
    end = time.time() + timeout
    while time.time() < end:
        found = pyatspi.findDescendant(
            root, lambda n: n is not None and n.getRoleName() == role and n.name == name,
            breadth_first=True)
        if found is not None:
            return found
        time.sleep(0.3)
    sys.exit("no %s named %r" % (role, name))


def find_all(root, test):
    return pyatspi.findAllDescendants(root, lambda n: n is not None and test(n))


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def type_into(node, text):
    node.queryEditableText().setTextContents(text)
    time.sleep(0.5)


def do(node, action):
    actions = node.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    if action not in names:
        sys.exit("%r offers %s, not %s" % (node.name, names, action))
    actions.doAction(names.index(action))
    time.sleep(0.6)


def entry(list_node, name):
    names = [list_node.getChildAtIndex(i).name.strip() for i in range(list_node.childCount)]
    if name not in names:
        sys.exit("%r does not list %s" % (list_node.name, name))
    return list_node.getChildAtIndex(names.index(name))


def keys(*pressed):
    subprocess.run(["xdotool", "key", "--delay", "60"] + list(pressed), check=True)
    time.sleep(0.6)
