#!/usr/bin/python3
# Each layer includes only its own headers and those of the layers beneath it
# (docs/architecture.md): a file's includes of the project's own headers are checked
# against the folders its layer may use. Run from the project's root.
import pathlib
import re
import sys

# Layer (a folder; the longest that holds a file is its layer): what it may include.
BENEATH = {
    'codepage': [],
    'json': ['codepage'],
    'res': [],
    'savefile': [],
    'ui/model': ['res', 'savefile', 'codepage'],
    'ui/platform': ['ui/model', 'res', 'codepage'],
    'ui': ['ui/platform', 'ui/model', 'res', 'savefile', 'codepage'],
    'cli': ['json', 'res', 'savefile', 'codepage'],
    'web': ['ui/model', 'json', 'res', 'savefile', 'codepage'],
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)

wrong = []
for layer in BENEATH:
    for path in pathlib.Path(layer).rglob('*'):
        if path.suffix not in ('.cpp', '.h', '.in') or 'node_modules' in path.parts:
            continue
        own = max((other for other in BENEATH if path.as_posix().startswith(other + '/')), key=len)
        if own != layer:
            continue
        allowed = [own] + BENEATH[own]
        for included in INCLUDE.findall(path.read_text(encoding='utf-8', errors='replace')):
            if '/' not in included:
                continue  # a generated header beside the file, or the system's
            target = max((other for other in BENEATH if included.startswith(other + '/')),
                         key=len, default=None)
            if target is not None and target not in allowed:
                wrong.append(f'{path}: includes {included} ({own} may use {", ".join(allowed)})')
print('\n'.join(wrong) if wrong else 'every layer includes only itself and those beneath it')
sys.exit(1 if wrong else 0)
