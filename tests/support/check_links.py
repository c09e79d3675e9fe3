#!/usr/bin/env python3
"""Fails on a relative link in README.md or docs/**/*.md that leads nowhere.

A link's file must exist; its anchor (#section) must be one a heading of the
target makes, the way GitHub makes them. Web and mail links are not followed.
Usage: check_links.py SOURCE_DIR
"""
import re
import sys
from pathlib import Path

# [text](target) or [text](target "title"); the text may run over lines.
LINK = re.compile(r'!?\[(?:[^\]]|\n)*?\]\(\s*<?([^)\s>]+)>?(?:\s+"[^"]*")?\s*\)')
HEADING = re.compile(r'^ {0,3}(#{1,6})\s+(.*?)\s*#*\s*$')
FENCE = re.compile(r'^ {0,3}(```|~~~)')


def outside_code(text):
    """The text with fenced blocks and inline code blanked, line numbers kept."""
    lines, fenced = [], False
    for line in text.split('\n'):
        if FENCE.match(line):
            fenced = not fenced
            lines.append('')
        else:
            lines.append('' if fenced else re.sub(r'`[^`]*`', '``', line))
    return '\n'.join(lines)


def slug(heading):
    # GitHub: markup and punctuation dropped, lower case, each space a dash.
    text = re.sub(r'\[([^\]]*)\]\([^)]*\)', r'\1', heading)
    text = text.replace('`', '').lower()
    text = re.sub(r'[^\w\- ]', '', text)
    return text.replace(' ', '-')


def anchors(path, cache={}):
    if path not in cache:
        seen, found = {}, set()
        fenced = False
        for line in path.read_text(encoding='utf-8').split('\n'):
            if FENCE.match(line):
                fenced = not fenced
                continue
            match = None if fenced else HEADING.match(line)
            if match:
                base = slug(match.group(2))
                count = seen.get(base, 0)
                seen[base] = count + 1
                found.add(base if count == 0 else f'{base}-{count}')
        cache[path] = found
    return cache[path]


def broken_links(source, page):
    text = page.read_text(encoding='utf-8')
    plain = outside_code(text)
    for match in LINK.finditer(plain):
        target = match.group(1)
        if re.match(r'^[a-z][a-z0-9+.-]*:', target, re.I):
            continue
        line = plain.count('\n', 0, match.start()) + 1
        where, _, anchor = target.partition('#')
        file = (page.parent / where).resolve() if where else page
        shown = f'{page.relative_to(source)}:{line}: {target}'
        if source.resolve() not in file.parents and file != source.resolve():
            yield f'{shown}: leads out of the sources'
        elif not file.exists():
            yield f'{shown}: no such file'
        elif anchor and (file.suffix != '.md' or anchor not in anchors(file)):
            yield f'{shown}: no heading makes #{anchor}'


def main():
    source = Path(sys.argv[1] if len(sys.argv) > 1 else '.').resolve()
    pages = [source / 'README.md'] + sorted((source / 'docs').rglob('*.md'))
    problems = [p for page in pages for p in broken_links(source, page)]
    for problem in problems:
        print(problem)
    print(f'{len(pages)} pages checked, {len(problems)} broken links')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
