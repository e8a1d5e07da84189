#!/usr/bin/python3
# Every link between the project's documents leads somewhere: a relative link's file
# exists, and its #anchor is a heading there (as GitHub names headings: lower case,
# punctuation dropped, spaces as hyphens). Links to the web are not followed. Run from
# the project's root.
import pathlib
import re
import sys

LINK = re.compile(r'\]\(([^)\s]+)\)')
SKIP = {'node_modules', '.git'}


def anchors(path):
    names = set()
    for line in path.read_text(encoding='utf-8').splitlines():
        if line.startswith('#'):
            title = line.lstrip('#').strip().lower()
            names.add(re.sub(r'[^\w\- ]', '', title).replace(' ', '-'))
    return names


documents = [p for p in pathlib.Path('.').rglob('*.md')
             if not SKIP & set(p.parts) and not p.parts[0].startswith('build')]
broken = []
for document in documents:
    for target in LINK.findall(document.read_text(encoding='utf-8')):
        if re.match(r'[a-z]+:', target):
            continue
        file, _, anchor = target.partition('#')
        linked = (document.parent / file).resolve() if file else document.resolve()
        if not linked.exists():
            broken.append(f'{document}: {target} (no such file)')
        elif anchor and linked.suffix == '.md' and anchor not in anchors(linked):
            broken.append(f'{document}: {target} (no such heading)')
print('\n'.join(broken) if broken else f'every link of {len(documents)} documents leads somewhere')
sys.exit(1 if broken else 0)
