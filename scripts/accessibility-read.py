#!/usr/bin/python3
# Reads the running program's windows through the accessibility bus (AT-SPI), as a screen
# reader does, and checks them: every focusable control shown has a name, none is named
# "...", every window fits 1280 x 800 (logical: 2560 x 1600 at twice the scale), and the list
# says in words which rows are joint files, which cannot be read and which hold a password
# others can read.
#   accessibility-read.py TEXTS.xml     (the texts file the program reads)
import sys
import time
import xml.etree.ElementTree as ElementTree

import gi
gi.require_version('Atspi', '2.0')
import pyatspi  # noqa: E402

texts = {e.tag: (e.text or '') for e in ElementTree.parse(sys.argv[1]).getroot()}
def text(label):
    return texts[label].replace('&&', '\x01').replace('&', '').replace('\x01', '&')

problems = []
def fail(what):
    problems.append(what)
    print('PROBLEM:', what)

def wait(condition, seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        found = condition()
        if found:
            return found
        time.sleep(0.2)
    return None

def program():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == 'ConfigurationSelector':
            return app

def window(part):
    for w in app:
        if w is not None and part in (w.name or '') and w.getState().contains(pyatspi.STATE_SHOWING):
            return w

def nodes(node, found=None):
    found = [] if found is None else found
    try:
        found.append(node)
        if node.getRoleName() in ('tree', 'tree table', 'table', 'list'):
            return found  # rows and entries are values, read apart
        for i in range(node.childCount):
            child = node.getChildAtIndex(i)
            if child is not None:
                nodes(child, found)
    except Exception:
        pass
    return found

def find(node, role, name):
    for n in nodes(node):
        if n.getRoleName() == role and (n.name or '') == name:
            return n

def act(node):
    try:
        node.queryAction().doAction(0)
    except Exception:
        pass  # a modal window holds the reply back

def check(w, label):
    # A window is read once it is on the screen.
    extents = wait(lambda: (lambda e: e if e.width > 0 else None)(w.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)), 5)
    if extents is None:
        fail(f'{label} is not on the screen')
        return
    print(f"{label}: '{w.name}' {extents.width} x {extents.height}")
    if extents.width > 1280 or extents.height > 800:
        fail(f"{label} is {extents.width} x {extents.height}")
    for n in nodes(w):
        state = n.getState()
        if not (state.contains(pyatspi.STATE_FOCUSABLE) and state.contains(pyatspi.STATE_SHOWING)):
            continue
        role, name = n.getRoleName(), (n.name or '').strip()
        print(f'    {role}: {name!r}')
        if not name or name == '...':
            fail(f'{label}: a {role} named {name!r}')

def tabs(w):
    return [n for n in nodes(w) if n.getRoleName() == 'page tab']

def check_tabs(w, label):
    for i, tab in enumerate(tabs(w)):
        if i:
            act(tab)
            time.sleep(0.5)
        check(w, f'{label}, tab {tab.name}')

app = wait(program)
if app is None:
    print('the program is not on the accessibility bus'); sys.exit(2)
main = wait(lambda: next((w for w in app if w is not None and w.getRoleName() == 'frame'), None))
# The load names the unreadable file in a box first.
alert = wait(lambda: next((w for w in app if w is not None and w.getRoleName() == 'alert'), None), 5)
if alert:
    act(next(n for n in nodes(alert) if n.getRoleName() == 'push button'))
    time.sleep(0.5)
check(main, 'main window')

listed = next(n for n in nodes(main) if n.getRoleName() in ('tree', 'tree table', 'table'))
cells = [listed.getChildAtIndex(i) for i in range(listed.childCount)]
names = [c.name or '' for c in cells if c is not None]
print('    rows: ' + ' | '.join(names))
for file, words in (('Default_M&S.tsy', text('CS_LIST_JOINT')),
                    ('Fieldmark_Sales_Region_North_West_Europe.tsy', text('CS_LIST_PASSWORD_OTHERS')),
                    ('Broken.tsy', text('CS_LIST_CANNOT_BE_READ').split('%1')[0].strip())):
    at = names.index(file) if file in names else -1
    if at < 0 or words not in names[at + 1]:
        fail(f'the row of {file} does not say "{words}"')

def open_row(file):
    table = listed.queryTable()
    at = next(i for i, c in enumerate(cells) if c is not None and c.name == file)
    for row in range(table.nRows):
        table.removeRowSelection(row)
    table.addRowSelection(table.getRowAtIndex(at))
    time.sleep(0.3)
    act(find(main, 'menu item', text('SLBL0400')))

for file, label in (('Fieldmark_Sales_Region_North_West_Europe.tsy', 'editor'), ('Default_M&S.tsy', 'joint editor')):
    open_row(file)
    editor = wait(lambda: window(file), 10)
    if editor is None:
        fail(f'the {label} of {file} did not open, or its title does not hold the name whole')
        continue
    check_tabs(editor, label)
    act(find(editor, 'push button', text('SLBL0428')) or find(editor, 'push button', text('CS_BUTTON_CANCEL')))
    wait(lambda: not window(file), 5)

act(find(main, 'menu item', text('SLBL0391')))
about = wait(lambda: next((w for w in app if w is not None and w is not main and w.getRoleName() == 'dialog'
                            and w.getState().contains(pyatspi.STATE_SHOWING)), None), 10)
if about:
    check(about, 'about box')
else:
    fail('the about box did not open')

print('problems:', len(problems))
sys.exit(1 if problems else 0)
