#!/usr/bin/env python3
"""Runs clang-tidy with the project's .clang-tidy files over the project's own
sources, with the compile commands of a configured and built build folder.

A source file that passed once is not checked again while nothing it is made
of has changed: the file, every header of the checkout it includes (as the
build's dependency records list them), the path, size and time of every system
header, its compile command, the .clang-tidy files, clang-tidy's version and
this script. The passes are kept in $QV_TIDY_CACHE (default
~/.cache/quorvel-tidy), so a second run on the same machine checks only what
changed. A file the build has no dependency record for, or one whose record
names a file gone since, is always checked.

Findings in headers count for the checkout's own headers only, never for files
generated into the build tree. Exit status 1 when anything was found.
"""
import argparse
import hashlib
import json
import os
import re
import shlex
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor

SOURCES = ['src/*.cpp', 'tools/*.cpp', 'tests/*.cpp', 'benchmarks/*.cpp']


def Run(args, cwd=None):
    return subprocess.run(args, cwd=cwd, check=True, capture_output=True, text=True).stdout


def ObjectOf(command):
    words = shlex.split(command)
    for i, word in enumerate(words[:-1]):
        if word == '-o':
            return words[i + 1]
    return None


def ReadDeps(build):
    """Object path (relative to the build folder) -> its dependency paths."""
    deps, current = {}, None
    for line in Run(['ninja', '-C', build, '-t', 'deps']).splitlines():
        if not line.strip():
            current = None
        elif not line.startswith(' '):
            name, _, rest = line.partition(': #deps')
            current = name if 'VALID' in rest else None
            if current:
                deps[current] = []
        elif current:
            deps[current].append(line.strip())
    return deps


class Hasher:
    """Hashes of what a source file is made of, each file read once."""

    def __init__(self, root):
        self.root = root
        self.known = {}

    def Stamp(self, path):
        """None for a file that is gone since the build recorded it."""
        if path not in self.known:
            if not os.path.exists(path):
                stamp = None
            elif path.startswith(self.root + os.sep):
                with open(path, 'rb') as f:
                    stamp = hashlib.sha256(f.read()).hexdigest()
            else:
                info = os.stat(path)
                stamp = '%d:%d' % (info.st_size, info.st_mtime_ns)
            self.known[path] = stamp
        return self.known[path]


def KeyOf(hasher, base, entry, deps):
    key = hashlib.sha256(base.encode())
    key.update(entry['command'].replace(hasher.root, '.').encode())
    for dep in deps:
        path = os.path.normpath(os.path.join(entry['directory'], dep))
        stamp = hasher.Stamp(path)
        if stamp is None:
            return None  # the build's record is out of date: check the file
        key.update(path.replace(hasher.root, '.').encode())
        key.update(stamp.encode())
    return key.hexdigest()


def BaseKey(root):
    """What every file's key shares: the tidy configurations, the tool, and
    this script (it chooses the header filter and clang-tidy's options)."""
    key = hashlib.sha256(Run(['clang-tidy', '--version']).encode())
    with open(os.path.realpath(__file__), 'rb') as f:
        key.update(f.read())
    for name in sorted(Run(['git', 'ls-files', '*.clang-tidy'], cwd=root).split()):
        key.update(name.encode())
        with open(os.path.join(root, name), 'rb') as f:
            key.update(f.read())
    return key.hexdigest()


def Blocks(findings):
    """The findings one by one: a diagnostic line with the lines under it."""
    blocks = []
    for line in findings.splitlines():
        if not blocks or re.match(r'^\S.*:\d+:\d+: ', line):
            blocks.append(line)
        else:
            blocks[-1] += '\n' + line
    return blocks


def CheckOne(build, header_filter, path):
    result = subprocess.run(['clang-tidy', '-p', build, '-quiet', '--header-filter', header_filter, path],
                            capture_output=True, text=True)
    findings = '\n'.join(line for line in result.stdout.splitlines() if line.strip())
    return result.returncode == 0 and not findings, findings


def Main():
    parser = argparse.ArgumentParser()
    parser.add_argument('build', nargs='?', default='build/ci')
    parser.add_argument('-j', type=int, default=os.cpu_count())
    parser.add_argument('--no-cache', action='store_true', help='check every file again')
    options = parser.parse_args()

    root = os.path.realpath(os.path.join(os.path.dirname(__file__), '..'))
    build = os.path.realpath(os.path.join(root, options.build))
    cache = os.environ.get('QV_TIDY_CACHE') or os.path.join(
        os.environ.get('XDG_CACHE_HOME') or os.path.expanduser('~/.cache'), 'quorvel-tidy')
    os.makedirs(cache, exist_ok=True)

    with open(os.path.join(build, 'compile_commands.json')) as f:
        entries = {os.path.realpath(os.path.join(e['directory'], e['file'])): e for e in json.load(f)}
    files = [os.path.join(root, name) for name in Run(['git', 'ls-files'] + SOURCES, cwd=root).split()]
    missing = [path for path in files if path not in entries]
    if missing:
        print('no compile command for:\n  ' + '\n  '.join(missing), file=sys.stderr)
        return 1

    deps = ReadDeps(build)
    hasher = Hasher(root)
    base = BaseKey(root)
    header_filter = '^' + re.escape(root) + '/(src|tools|tests|benchmarks|fuzz)/'

    todo = []
    for path in files:
        entry = entries[path]
        recorded = deps.get(ObjectOf(entry['command']))
        key = None if options.no_cache or recorded is None else KeyOf(hasher, base, entry, recorded)
        if key is None or not os.path.exists(os.path.join(cache, key)):
            todo.append((path, key))

    print('clang-tidy: %d of %d files to check (%d passed before)' %
          (len(todo), len(files), len(files) - len(todo)), flush=True)
    failed, shown = 0, set()
    with ThreadPoolExecutor(max_workers=max(1, options.j)) as pool:
        results = pool.map(lambda item: CheckOne(build, header_filter, item[0]), todo)
        for (path, key), (passed, findings) in zip(todo, results):
            if passed:
                if key:
                    open(os.path.join(cache, key), 'w').close()
                continue
            failed += 1
            # A header's finding comes once for every file that includes it.
            for block in Blocks(findings or ('clang-tidy failed on ' + path)):
                if block not in shown:
                    shown.add(block)
                    print(block, flush=True)
    if failed:
        print('clang-tidy: findings in %d files' % failed)
        return 1
    print('clang-tidy: clean')
    return 0


if __name__ == '__main__':
    sys.exit(Main())
