#!/usr/bin/env python3
"""Checks that every project include follows the allowed directions between the
parts of the tree (docs/architecture.md draws them):

  platform/*.h  <  platform/gdi  <  platform/win    (the platform layer)
  runtime:  image (+ decoders)  <  pages (+ draw)  <  console       (on the platform)
  sysutil on the platform and the public headers; apps and samples on the public
  headers; plug-ins on the public headers, the platform and the plug-in ABI.

Every runtime area may call the public API (include/), which no part of the tree
below it may rely on beyond its declarations. An area's own headers are private to
it, except the few interface headers it offers the areas above (INTERFACES).
Tests, benchmarks and fuzzers may look inside anything; nothing may include them.

  check_includes.py ROOT              exit 1 and list every wrong edge
  check_includes.py --self-test ROOT  ROOT is a fixture whose wrong includes carry
                                      the comment "planted": exit 0 only when the
                                      check reports exactly those lines
"""
import os
import re
import sys

SOURCES = ('.c', '.cpp', '.h', '.hpp')
SKIP_DIRS = {'.git', '.library'}
FIXTURE_DIR = os.path.join('tests', 'architecture', 'fixture')

# Runtime areas from the bottom up: each may include the interface headers of those
# before it, never those after it.
RUNTIME_ORDER = ['image', 'pages', 'console']
# Headers an area offers the areas above it; all its other headers are private.
INTERFACES = {
    'runtime/image/image_deps.h',     # what the image area asks of the areas above
    'runtime/pages/page_record.h',    # the page record and the page-table functions
    'runtime/pages/page_shell.h',     # what the page area asks of the console
}
PLATFORM_ORDER = ['platform-base', 'platform-gdi', 'platform-win']
PLUGIN_ABI = 'runtime/image/decoders/spi_abi.h'

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"](.*)$')


def part_of(path):
    """The part of the tree a file (relative, with '/') belongs to."""
    top = path.split('/')[0]
    if top == 'include':
        return 'public'
    if re.fullmatch(r'platform/[^/]+', path):
        return 'platform-base'   # win_types.h, internal_export.h
    if path.startswith('platform/gdi/'):
        return 'platform-gdi'
    if path.startswith('platform/win/'):
        return 'platform-win'
    if path.startswith('runtime/image/'):
        return 'image'
    if path.startswith('runtime/pages/'):
        return 'pages'
    if path.startswith('runtime/console/'):
        return 'console'
    if top == 'runtime':
        return 'runtime-root'
    if top in ('tests', 'bench', 'fuzz'):
        return 'tests'
    if top in ('sysutil', 'apps', 'samples', 'plugins', 'platform'):
        return top
    return 'other'


def allowed(src, dst_path):
    dst = part_of(dst_path)
    if src == 'tests':
        return True
    if dst == 'tests':
        return False
    if src == dst:
        return True
    if dst == 'public':
        return src != 'other'
    if src in PLATFORM_ORDER:
        return dst in PLATFORM_ORDER and PLATFORM_ORDER.index(dst) < PLATFORM_ORDER.index(src)
    if src in RUNTIME_ORDER:
        if dst in PLATFORM_ORDER:
            return True
        if dst in RUNTIME_ORDER:
            return (RUNTIME_ORDER.index(dst) < RUNTIME_ORDER.index(src)
                    and dst_path in INTERFACES)
        return False
    if src in ('runtime-root', 'sysutil'):
        return dst in PLATFORM_ORDER
    if src == 'plugins':
        return dst in PLATFORM_ORDER or dst_path == PLUGIN_ABI
    return False   # apps, samples: public headers only


def project_files(root):
    for base, dirs, files in os.walk(root):
        rel_base = os.path.relpath(base, root)
        dirs[:] = sorted(d for d in dirs
                         if d not in SKIP_DIRS and not d.startswith('build')
                         and os.path.join(rel_base, d) != os.path.join('.', FIXTURE_DIR)
                         and os.path.normpath(os.path.join(rel_base, d)) != FIXTURE_DIR)
        for f in sorted(files):
            if f.endswith(SOURCES):
                yield os.path.normpath(os.path.join(rel_base, f)).replace(os.sep, '/')


def resolve(root, src_path, kind, name):
    """The project file an include names, relative to root, or None (outside)."""
    here = os.path.dirname(src_path)
    bases = ['include', '.'] if kind == '<' else [here, '.', 'include']
    if kind == '"':
        # apps and tests also find the headers of the folders their targets add
        top = src_path.split('/')[0]
        if top in ('apps', 'tests', 'bench', 'fuzz'):
            for d in ('apps/common', 'apps/marcot', 'apps/kinoa'):
                bases.append(d)
    for b in bases:
        p = os.path.normpath(os.path.join(b, name)).replace(os.sep, '/')
        if not p.startswith('..') and os.path.isfile(os.path.join(root, p)):
            return p
    return None


def check(root):
    """Yields (file, line number, included path, planted) for every wrong edge, and
    (file, line number, name, None) for a quoted include found nowhere."""
    for path in project_files(root):
        src = part_of(path)
        with open(os.path.join(root, path), encoding='utf-8', errors='replace') as f:
            for n, line in enumerate(f, 1):
                m = INCLUDE.match(line)
                if not m:
                    continue
                kind, name, rest = m.groups()
                dst = resolve(root, path, kind, name)
                if dst is None:
                    if kind == '"' and not name.endswith('.moc'):
                        yield path, n, name, None
                    continue
                if not allowed(src, dst):
                    yield path, n, dst, 'planted' in rest


def main(argv):
    self_test = len(argv) == 3 and argv[1] == '--self-test'
    if not self_test and len(argv) != 2:
        print(__doc__.strip())
        return 2
    root = argv[-1]
    wrong = list(check(root))
    for path, n, dst, planted in wrong:
        if planted is None:
            print(f'{path}:{n}: include "{dst}" is not a file of the project')
        else:
            print(f'{path}:{n}: not allowed: {path} -> {dst}')
    if not self_test:
        print(f'{len(wrong)} wrong include(s)')
        return 1 if wrong else 0
    # Every line marked "planted" must be reported, and nothing else.
    planted = set()
    for path in project_files(root):
        with open(os.path.join(root, path), encoding='utf-8') as f:
            for n, line in enumerate(f, 1):
                if INCLUDE.match(line) and 'planted' in line:
                    planted.add((path, n))
    found = {(p, n) for p, n, _, _ in wrong}
    if not planted:
        print('self-test: the fixture plants no wrong include')
        return 1
    if found != planted:
        for p, n in sorted(planted - found):
            print(f'self-test: planted edge not reported: {p}:{n}')
        for p, n in sorted(found - planted):
            print(f'self-test: allowed edge reported: {p}:{n}')
        return 1
    print(f'self-test: the check fails on all {len(planted)} planted edge(s) and nothing else')
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
