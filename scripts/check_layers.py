#!/usr/bin/env python3
"""Checks that the program's folders use each other only as app/LAYERS allows.

A use is an #include of a header of another folder, or a target of another
folder named in target_link_libraries (or add_dependencies, or through
$<TARGET_PROPERTY:...>) of a CMakeLists.txt. A folder may use any folder of a
lower layer, a folder of its own layer only where LAYERS declares it
("a -> b"), and a folder of a higher layer never, except where LAYERS marks the
use "allowed for now" ("! a -> b"). Every source file must sit in a declared
folder, every folder builds at most one library, named after the folder, and
a declaration that nothing uses any more fails too, so the file stays true.

    scripts/check_layers.py [--root DIR] [--layers FILE] [--graph]

Exit status 0 when everything is allowed, 1 with one line per fault
otherwise. --graph prints every folder-to-folder use with its count first.
"""

import argparse
import os
import re
import sys
from collections import defaultdict

SOURCE_SUFFIXES = ('.h', '.hpp', '.c', '.cpp', '.h.in')
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
CMAKE_COMMAND = re.compile(r'\b(add_library|add_executable|target_link_libraries|'
                           r'add_dependencies|target_include_directories)\s*\(', re.I)
# A word of a CMake command: target names, keywords, variables' and
# generator expressions' parts.
CMAKE_WORD = re.compile(r'[A-Za-z0-9_.+-]+')


class Layers:
    """app/LAYERS: layers lowest first, and the declared uses."""

    def __init__(self, path):
        self.path = path
        self.order = []            # layer names, lowest first
        self.folders = {}          # folder -> (layer index, position in layer)
        self.sideways = {}         # (from, to) -> line number
        self.for_now = {}          # (from, to) -> line number
        self.faults = []
        with open(path, encoding='utf-8') as f:
            for number, line in enumerate(f, 1):
                self._parse(line.split('#', 1)[0].strip(), number)

    def _fault(self, number, text):
        self.faults.append(f'{self.path}:{number}: {text}')

    def _parse(self, line, number):
        if not line:
            return
        m = re.fullmatch(r'layer\s+(\S+)\s*:\s*(.*)', line)
        if m:
            self.order.append(m.group(1))
            for position, folder in enumerate(m.group(2).split()):
                folder = folder.rstrip('/')
                if folder in self.folders:
                    self._fault(number, f'{folder} is declared twice')
                self.folders[folder] = (len(self.order) - 1, position)
            return
        m = re.fullmatch(r'(!\s*)?(\S+)\s*->\s*(\S+)', line)
        if not m:
            self._fault(number, f'not a layer or a use: "{line}"')
            return
        src, dst = m.group(2).rstrip('/'), m.group(3).rstrip('/')
        for folder in (src, dst):
            if folder not in self.folders:
                self._fault(number, f'{folder} is in no layer declared above this line')
                return
        (src_layer, src_pos), (dst_layer, dst_pos) = self.folders[src], self.folders[dst]
        if m.group(1):
            if dst_layer < src_layer:
                self._fault(number, f'{src} -> {dst} needs no "!": a lower layer is always allowed')
            self.for_now[(src, dst)] = number
            return
        if src_layer != dst_layer:
            self._fault(number, f'{src} -> {dst}: only folders of one layer are declared '
                                f'(a lower layer is always allowed, a higher one only with "!")')
        elif dst_pos >= src_pos:
            self._fault(number, f'{src} -> {dst}: a folder may use only folders listed before it '
                                f'in its layer, so uses cannot go round in a circle')
        else:
            self.sideways[(src, dst)] = number

    def folder_of(self, path):
        """The deepest declared folder holding `path` (relative, with /)."""
        best = None
        for folder in self.folders:
            if path.startswith(folder + '/') and (best is None or len(folder) > len(best)):
                best = folder
        return best

    def verdict(self, src, dst):
        """'ok', 'for now', 'upward' or 'sideways' for a use of dst by src."""
        if (src, dst) in self.for_now:
            return 'for now'
        src_layer, dst_layer = self.folders[src][0], self.folders[dst][0]
        if dst_layer < src_layer or (src, dst) in self.sideways:
            return 'ok'
        return 'upward' if dst_layer > src_layer else 'sideways'

    def describe(self, folder):
        return f'{folder} ({self.order[self.folders[folder][0]]})'


def source_files(root, layers):
    tops = sorted({folder.split('/')[0] for folder in layers.folders})
    for top in tops:
        for directory, subdirs, files in os.walk(os.path.join(root, top)):
            subdirs.sort()
            for name in sorted(files):
                path = os.path.relpath(os.path.join(directory, name), root).replace(os.sep, '/')
                yield path


def resolve_include(name, including, files_by_suffix, root):
    """The project file an include names, None for a system header, or a list
    of the candidates when it is ambiguous."""
    near = os.path.normpath(os.path.join(os.path.dirname(including), name)).replace(os.sep, '/')
    if os.path.isfile(os.path.join(root, near)):
        return near
    candidates = files_by_suffix.get(name.lstrip('./'), [])
    if len(candidates) == 1:
        return candidates[0]
    return candidates or None


def split_cmake_commands(text):
    """(command, arguments, line) of the commands the check reads, comments
    removed."""
    text = re.sub(r'#[^\n]*', '', text)
    for m in CMAKE_COMMAND.finditer(text):
        depth, i = 1, m.end()
        while i < len(text) and depth:
            depth += {'(': 1, ')': -1}.get(text[i], 0)
            i += 1
        yield m.group(1).lower(), text[m.end():i - 1], text[:m.start()].count('\n') + 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument('--root', default=os.path.dirname(here))
    parser.add_argument('--layers', help='the declaration (default: ROOT/app/LAYERS)')
    parser.add_argument('--graph', action='store_true', help='print every use between folders')
    args = parser.parse_args()
    root = os.path.abspath(args.root)
    layers = Layers(args.layers or os.path.join(root, 'app', 'LAYERS'))
    faults = list(layers.faults)

    for folder in layers.folders:
        if not os.path.isdir(os.path.join(root, folder)):
            faults.append(f'{folder}: declared in {layers.path} but missing')

    files = [p for p in source_files(root, layers)
             if p.endswith(SOURCE_SUFFIXES) or os.path.basename(p) == 'CMakeLists.txt']
    files_by_suffix = defaultdict(list)
    for path in files:
        if not path.endswith(SOURCE_SUFFIXES):
            continue
        plain = path[:-3] if path.endswith('.in') else path
        parts = plain.split('/')
        for i in range(len(parts)):
            files_by_suffix['/'.join(parts[i:])].append(path)

    # Every use: (from folder, to folder) -> ["file:line what", ...]
    uses = defaultdict(list)
    targets = {}  # CMake target -> folder
    links = []    # (folder, CMakeLists line, target named)
    for path in files:
        folder = layers.folder_of(path)
        with open(os.path.join(root, path), encoding='utf-8', errors='replace') as f:
            text = f.read()
        if folder is None:
            # A CMakeLists.txt above the folders only adds them.
            if os.path.basename(path) != 'CMakeLists.txt' or any(
                    command.startswith('add_') for command, _, _ in split_cmake_commands(text)):
                faults.append(f'{path}: in no folder of {layers.path}')
            continue
        if os.path.basename(path) == 'CMakeLists.txt':
            for command, arguments, line in split_cmake_commands(text):
                words = arguments.split()
                if command in ('add_library', 'add_executable'):
                    name = words[0]
                    targets[name] = folder
                    if command == 'add_library' and 'IMPORTED' not in words:
                        expected = folder.split('/')[-1] if not folder.startswith('app/') \
                            else 'skedra_' + folder[len('app/'):].replace('/', '_')
                        if name != expected:
                            faults.append(f'{path}:{line}: library {name} should be named {expected}, '
                                          f'after its folder')
                else:
                    # Any target named after the first word is used, also
                    # inside a generator expression ($<TARGET_PROPERTY:x,...>).
                    for word in CMAKE_WORD.findall(arguments)[1:]:
                        links.append((folder, f'{path}:{line}', word))
            continue
        for m in INCLUDE.finditer(text):
            line = text[:m.start()].count('\n') + 1
            target = resolve_include(m.group(2), path, files_by_suffix, root)
            if isinstance(target, list):
                faults.append(f'{path}:{line}: "{m.group(2)}" could be any of {", ".join(target)}')
                continue
            if target is None:
                if m.group(1) == '"':
                    faults.append(f'{path}:{line}: "{m.group(2)}" is no file of the tree')
                continue
            to = layers.folder_of(target)
            if to is not None and to != folder:
                uses[(folder, to)].append(f'{path}:{line} #include {m.group(1)}{m.group(2)}'
                                          f'{">" if m.group(1) == "<" else chr(34)}')

    for folder, where, name in links:
        if name in targets and targets[name] != folder:
            uses[(folder, targets[name])].append(f'{where} links {name}')

    if args.graph:
        for (src, dst), lines in sorted(uses.items()):
            print(f'{src} -> {dst}: {len(lines)} ({layers.verdict(src, dst)})')

    upward_pairs = 0
    for (src, dst), lines in sorted(uses.items()):
        verdict = layers.verdict(src, dst)
        if verdict in ('ok', 'for now'):
            continue
        upward_pairs += verdict == 'upward'
        what = 'upward' if verdict == 'upward' else 'sideways, not declared'
        for line in lines:
            faults.append(f'{line}: {layers.describe(src)} uses {layers.describe(dst)}: {what}')

    for pair, number in list(layers.sideways.items()) + list(layers.for_now.items()):
        if pair not in uses:
            faults.append(f'{layers.path}:{number}: {pair[0]} -> {pair[1]} is used nowhere any '
                          f'more: remove the line')
    for (src, dst), number in sorted(layers.for_now.items(), key=lambda item: item[1]):
        if (src, dst) in uses:
            print(f'allowed for now ({layers.path}:{number}): {src} -> {dst}, '
                  f'{len(uses[(src, dst)])} use(s)')

    if not any(line.split()[1] == '#include' for lines in uses.values() for line in lines):
        faults.append('no #include between two folders was found: the check would pass on anything')
    for fault in faults:
        print(fault)
    allowed = sum(1 for pair in uses if layers.verdict(*pair) in ('ok', 'for now'))
    print(f'{len(files)} files, {len(layers.folders)} folders, {len(uses)} folder-to-folder uses: '
          f'{allowed} allowed, {upward_pairs} upward, {len(uses) - allowed - upward_pairs} sideways '
          f'undeclared; {len(faults)} fault(s)')
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
