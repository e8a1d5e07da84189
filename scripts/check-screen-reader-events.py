#!/usr/bin/python3
# What a screen reader is told as a player uses the editor, through the real AT-SPI
# bridge: the editor runs under X with Qt's accessibility on, the keys are pressed as
# a player presses them, and every notification that appears is recorded with its
# text. Run inside a session bus and an X server (scripts/check-screen-reader-events.sh).
#   check-screen-reader-events.py EDITOR SAVE
import os
import re
import subprocess
import sys
import threading
import time

import pyatspi

editor, save = sys.argv[1], sys.argv[2]
name = os.path.basename(save)

# What the player does, and the notification then heard.
ROWS = [
    ('the save opens', [], f'Loaded {name}. Number of variables found: 3'),
    ('to the list of variables, Down', ['Tab', 'Tab', 'Tab', 'Right', 'Tab', 'Down'],
     'GameHour. Value (float): 9.500000'),
    ('Up', ['Up'], 'Day. Value (float): 12.000000'),
    ('7.25 typed, Confirm Change', ['Tab', 'type:7.25', 'Tab', 'Return'],
     'Value (float): 7.250000'),
    # The question and the outcome, each once: read as their boxes appear.
    ('Restore backup from Help, Yes', ['F1', 'Tab', 'Tab', 'Return', 'Return'],
     ['alert: The save and its backup will swap places: the backup becomes the save, and '
      'the save becomes the backup.\n\nProceed?',
      'alert: The backup is now the save, and the save before it is the backup.\n\nThe save '
      'will be loaded into the editor again.']),
    # Done dismissed, the save is loaded again; then the versions listed: the one
    # chosen is said with its changes as their window opens.
    ('Done, OK; Versions... from Help', ['Return', 'Tab', 'Return'],
     ['Loaded normal.ess. Number of variables found: 3',
      re.compile(r'1 .*\(the backup\)\. Nothing changed\.')]),
]

# The fields' texts are read after this row, while the value confirmed is shown: the
# restore afterwards empties the page.
READ_FIELDS_AFTER = 3

heard = []  # notification texts, and the index of each row as its keys begin


def texts_in(node):
    for child in node:
        if child is None:
            continue
        if child.getRole() == pyatspi.ROLE_LABEL and child.name:
            yield child.name
        yield from texts_in(child)


def on_event(event):
    try:
        role = event.source.getRole()
        if event.detail1 and role == pyatspi.ROLE_NOTIFICATION:
            # The bridge's name-change event carries no name, so the name kept from
            # before is stale: asked again, as a screen reader asks.
            event.source.clear_cache()
            heard.append(event.source.name)
        elif event.detail1 and role == pyatspi.ROLE_ALERT:
            # A message box: a screen reader reads its text as it appears.
            heard.append('alert: ' + ' '.join(texts_in(event.source)))
    except Exception:  # an object gone meanwhile
        pass


def heard_since(mark, seconds, count=1):
    """Waits up to `seconds` for `count` notifications after the marker `mark`."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if sum(isinstance(item, str) for item in heard[heard.index(mark) + 1:]) >= count:
            time.sleep(0.3)  # anything else it brings
            return
        time.sleep(0.1)


def fields(root):
    for child in root:
        if child is None:
            continue
        if child.getRole() == pyatspi.ROLE_TEXT and child.name:
            yield child
        yield from fields(child)


# A field's text is one run of attributes, as a screen reader splits a line by runs
# before it speaks it: a shorter run cuts what it says.
runs = {}


def read_attribute_runs():
    for application in pyatspi.Registry.getDesktop(0):
        if application is not None and application.name == 'Quellhart_Editor':
            for field in fields(application):
                text = field.queryText()
                if field.name in ('Name', 'Value (float)') and text.characterCount:
                    _, start, end = text.getAttributeRun(text.characterCount - 1, True)
                    runs[field.name] = (start, end, text.characterCount)


def play():
    # The window, then the Open's notification; a busy machine may take its time.
    subprocess.run(['timeout', '30', 'xdotool', 'search', '--sync', '--name',
                    'Quellhart Savegame Editor'], capture_output=True)
    window = subprocess.run(['xdotool', 'search', '--name', 'Quellhart Savegame Editor'],
                            capture_output=True, text=True).stdout.split()
    heard.append(-1)
    heard_since(-1, 15)
    if window:
        subprocess.run(['xdotool', 'windowactivate', '--sync', window[0]])
    time.sleep(0.5)
    for i, (_, keys, expected) in enumerate(ROWS):
        heard.append(i)
        for key in keys:
            if key.startswith('type:'):
                subprocess.run(['xdotool', 'type', '--delay', '60', key[5:]], check=True)
            else:
                subprocess.run(['xdotool', 'key', key], check=True)
            time.sleep(0.3)
        heard_since(i, 10 if keys else 0, len(expected) if isinstance(expected, list) else 1)
        if i == READ_FIELDS_AFTER:
            read_attribute_runs()
    heard.append(len(ROWS))
    pyatspi.Registry.stop()


pyatspi.Registry.registerEventListener(on_event, 'object:state-changed:showing')
subprocess.Popen(['openbox'], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
app = subprocess.Popen([editor, save], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       env=dict(os.environ, QT_QPA_PLATFORM='xcb',
                                QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1'))
threading.Thread(target=play, daemon=True).start()
pyatspi.Registry.start()


app.kill()

# What was heard from the start of a row's keys to the start of the next row's; the
# Open's notification comes before any key.
per_row = {i: [] for i in range(len(ROWS))}
row = 0  # the Open's row also takes what came before any marker
for item in heard:
    if isinstance(item, int):
        row = max(item, row)
    elif row < len(ROWS):
        per_row[row].append(item)
failed = False
for i, (action, _, expected) in enumerate(ROWS):
    expected = expected if isinstance(expected, list) else [expected]
    ok = len(per_row[i]) == len(expected) and all(
        want.fullmatch(said) if isinstance(want, re.Pattern) else want == said
        for want, said in zip(expected, per_row[i]))
    failed |= not ok
    print(f"{action:<32} {'ok' if ok else 'WRONG'}: heard {per_row[i]!r}" +
          ('' if ok else f', expected {expected!r}'))
for field in ('Name', 'Value (float)'):
    start, end, count = runs.get(field, (0, 0, -1))
    ok = (start, end) == (0, count)
    failed |= not ok
    print(f"{field + ' field, its text':<32} {'ok' if ok else 'WRONG'}: one attribute run "
          f"[{start}, {end}) of {count} characters")
sys.exit(1 if failed else 0)
