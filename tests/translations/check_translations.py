#!/usr/bin/env python3
"""Fails when a translation file leaves a marked text without its words.

check_translations.py TS_FILE [LUPDATE SOURCES_LIST INCLUDE_DIR]

With lupdate, the file is first brought up to date in a temporary copy, so
a text marked in the code but missing from the file counts as untranslated.
Each message needs a finished, non-empty translation with the same %1..%9 and
%n placeholders, the same number of line breaks, and an accelerator (&) when
the English has one.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

PLACEHOLDER = re.compile(r'%L?(\d+|n)')
# One & that is not the escaped "&&".
ACCELERATOR = re.compile(r'(?<!&)&(?!&)')


def placeholders(text):
    return sorted(set(PLACEHOLDER.findall(text or '')))


def problems(path):
    found = []
    for context in ET.parse(path).getroot().iter('context'):
        name = context.findtext('name')
        for message in context.iter('message'):
            source = message.findtext('source') or ''
            where = f'{os.path.basename(path)}: {name}: {source!r}'
            translation = message.find('translation')
            kind = translation.get('type') if translation is not None else 'missing'
            if kind in ('vanished', 'obsolete'):
                continue
            if kind is not None:
                found.append(f'{where}: {kind}')
                continue
            forms = [f.text or '' for f in translation.iter('numerusform')] \
                if message.get('numerus') == 'yes' else [translation.text or '']
            for text in forms:
                if not text.strip() and source.strip():
                    found.append(f'{where}: empty translation')
                elif placeholders(text) != placeholders(source):
                    found.append(f'{where}: placeholders {placeholders(text)} instead of {placeholders(source)}')
                elif text.count('\n') != source.count('\n'):
                    found.append(f'{where}: line breaks differ')
                elif bool(ACCELERATOR.search(source)) != bool(ACCELERATOR.search(text)):
                    found.append(f'{where}: accelerator (&) added or dropped')
    return found


def main(argv):
    ts = argv[1]
    checked = ts
    with tempfile.TemporaryDirectory() as work:
        if len(argv) > 2 and shutil.which(argv[2]):
            lupdate, sources, include = argv[2:5]
            checked = os.path.join(work, os.path.basename(ts))
            shutil.copyfile(ts, checked)
            run = subprocess.run([lupdate, '-silent', '-no-obsolete', '-locations', 'none',
                                  '-I', include, '@' + sources, '-ts', checked],
                                 capture_output=True, text=True)
            if run.returncode != 0:
                print(run.stdout, run.stderr, file=sys.stderr)
                return 1
        else:
            print('lupdate not found: checking the file as it is')
        found = problems(checked)
    for problem in found:
        print(problem)
    if found:
        print(f'{len(found)} text(s) need Spanish words: see translations/fill_es.py and README "Languages"')
        return 1
    print(f'{ts}: every text translated')
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
