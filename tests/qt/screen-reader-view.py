#!/usr/bin/python3
"""What a screen reader finds in the running program, through AT-SPI as an assistive
technology would: the application by its display name, the window by its role and title, each
field through its caption's label relation, typing through EditableText, a press through the
button's Action, the fee read back, and an error box announced as an alert naming the field."""
import os
import sys
import time

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from tables import what_users_see  # noqa: E402

SEEN = what_users_see()
TITLE = SEEN[0]["text"]
CAPTIONS = {row["name"]: row["label"] for row in SEEN if row["kind"] == "field"}


def fail(message):
    print(f"screen reader: FAILED: {message}")
    sys.exit(1)


def eventually(find, what, seconds=15):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            found = find()
        except Exception:  # the tree may change under us while the program starts
            found = None
        if found is not None:
            return found
        time.sleep(0.1)
    fail(f"no {what}")


def descendants(node):
    for child in node:
        if child is None:
            continue
        yield child
        yield from descendants(child)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    return next((app for app in desktop if app is not None and app.name == TITLE), None)


def first(node, role, name=None):
    return next((n for n in descendants(node)
                 if n.getRole() == role and (name is None or n.name == name)), None)


app = eventually(application, f"application named {TITLE!r}")
print(f"screen reader: found the application {app.name!r}")
window = eventually(lambda: first(app, pyatspi.ROLE_FRAME, TITLE), f"window titled {TITLE!r}")
print(f"screen reader: the window is a {window.getRoleName()} named {window.name!r}")

fields = {}
for field, caption in CAPTIONS.items():
    label = first(window, pyatspi.ROLE_LABEL, caption)
    if label is None:
        fail(f"no label {caption!r}")
    targets = [relation.getTarget(i) for relation in label.getRelationSet()
               if relation.getRelationType() == pyatspi.RELATION_LABEL_FOR
               for i in range(relation.getNTargets())]
    if len(targets) != 1 or targets[0].getRole() != pyatspi.ROLE_TEXT:
        fail(f"{caption!r} labels {[t.getRoleName() for t in targets]}, not one text field")
    fields[field] = targets[0]
    print(f"screen reader: {caption!r} labels a {targets[0].getRoleName()} named {targets[0].name!r}")

caption = next(row["text"] for row in SEEN if row["kind"] == "button")
button = first(window, pyatspi.ROLE_PUSH_BUTTON, caption)
if button is None:
    fail(f"no button {caption!r}")


def text_of(node):
    return node.queryText().getText(0, -1)


def press():
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press") if "Press" in names else 0)


fields["amount"].queryEditableText().setTextContents("100")
press()
fee = eventually(lambda: "1" if text_of(fields["fee"]) == "1" else None, "fee of 1")
print("screen reader: typed 100, pressed Calculate fee, the fee reads 1")

fields["amount"].queryEditableText().setTextContents("")
press()
alert = eventually(lambda: first(app, pyatspi.ROLE_ALERT), "alert after an empty amount")
words = " ".join(filter(None, [alert.name, alert.description] +
                        [n.name for n in descendants(alert) if n.getRole() == pyatspi.ROLE_LABEL]))
if "amount" not in words:
    fail(f"the alert does not name the amount: {words!r}")
print(f"screen reader: an alert says {words!r}")
ok = first(alert, pyatspi.ROLE_PUSH_BUTTON)
ok.queryAction().doAction(0)
eventually(lambda: True if first(app, pyatspi.ROLE_ALERT) is None else None, "alert closing")
print("screen reader: the alert closed")
