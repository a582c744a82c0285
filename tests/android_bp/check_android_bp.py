#!/usr/bin/env python3
"""Checks that the device build cannot drift from this machine's build.

Reads Android.bp; checks that bpfmt leaves it as it is, that every cc_*
module's sources exist and equal the list the CMake build uses for the
same module, that its data files exist and its data_bins are modules of the
file, that rimbolt-inspect is built with CMake's project version, and that
each binary, test and fuzz module compiles and links from exactly its
sources, its static libraries' sources and the host stand-ins for the
platform's libraries, and includes no header of rimbolt-inspect unless it
links librimbolt_inspect.

Usage: check_android_bp.py --root DIR --work DIR --cxx CXX --fuzz-cxx CXX
         --bpfmt BPFMT
         --module NAME=DIR=SRC:SRC... (CMake's list, relative to DIR; a
           name may come more than once)
         --stand-in LIB=DIR=SRC:...:-IDIR:-lLIB (the same form)
         --host-flags FLAG:... (what this machine's C library lacks)
         --version VERSION (CMake's project version)
"""
import argparse
import json
import concurrent.futures
import glob
import os
import re
import subprocess
import sys

TOKEN = re.compile(r'\s+|//[^\n]*|/\*.*?\*/|"(?:[^"\\]|\\.)*"|[{}\[\]:,=+]|'
                   r'[A-Za-z_][A-Za-z0-9_]*|-?\d+', re.S)


def Tokens(text):
    pos = 0
    while pos < len(text):
        match = TOKEN.match(text, pos)
        if not match:
            sys.exit(f'Android.bp: cannot read at offset {pos}')
        pos = match.end()
        token = match.group()
        if not token.isspace() and not token.startswith(('//', '/*')):
            yield token


class Parser:
    def __init__(self, text):
        self.tokens = list(Tokens(text))
        self.pos = 0
        self.variables = {}

    def Next(self):
        token = self.tokens[self.pos]
        self.pos += 1
        return token

    def Expect(self, token):
        if self.Next() != token:
            sys.exit(f'Android.bp: expected {token!r}')

    def Value(self):
        token = self.Next()
        if token.startswith('"'):
            # Blueprint's escapes (\" and \\) are JSON's.
            value = json.loads(token)
        elif token == '[':
            value = []
            while self.tokens[self.pos] != ']':
                value.append(self.Expression())
                if self.tokens[self.pos] == ',':
                    self.pos += 1
            self.pos += 1
        elif token == '{':
            value = self.Properties()
        elif token in ('true', 'false'):
            value = token == 'true'
        elif re.fullmatch(r'-?\d+', token):
            value = int(token)
        elif token in self.variables:
            value = self.variables[token]
        else:
            sys.exit(f'Android.bp: unknown variable {token}')
        return value

    def Expression(self):
        value = self.Value()
        while self.pos < len(self.tokens) and self.tokens[self.pos] == '+':
            self.pos += 1
            value = value + self.Value()
        return value

    def Properties(self):
        properties = {}
        while self.tokens[self.pos] != '}':
            name = self.Next()
            self.Expect(':')
            properties[name] = self.Expression()
            if self.tokens[self.pos] == ',':
                self.pos += 1
        self.pos += 1
        return properties

    def Modules(self):
        modules = []
        while self.pos < len(self.tokens):
            name = self.Next()
            if self.tokens[self.pos] == '=':
                self.pos += 1
                self.variables[name] = self.Expression()
            else:
                self.Expect('{')
                modules.append((name, self.Properties()))
        return modules


def ParseList(text):
    return [item for item in text.split(':') if item]


def Paths(items):
    """NAME=DIR=SRC:SRC... items, repeated per name, as absolute paths."""
    paths = {}
    for item_text in items:
        name, folder, srcs = item_text.split('=', 2)
        paths.setdefault(name, [])
        paths[name] += [item if item.startswith('-') else
                        os.path.normpath(os.path.join(folder, item))
                        for item in ParseList(srcs)]
    return paths


def Fail(errors, message):
    errors.append(message)
    print('FAIL: ' + message)


def Resolve(modules):
    """Each cc module's own properties merged with its defaults'."""
    by_name = {props['name']: (kind, props) for kind, props in modules
               if 'name' in props}
    resolved = {}
    for kind, props in modules:
        if not kind.startswith('cc_') or kind == 'cc_defaults':
            continue
        merged = {}
        for default in props.get('defaults', []):
            for key, value in by_name[default][1].items():
                merged[key] = merged.get(key, []) + value \
                    if isinstance(value, list) else value
        for key, value in props.items():
            if isinstance(value, list) and isinstance(merged.get(key), list):
                merged[key] = merged[key] + value
            else:
                merged[key] = value
        resolved[props['name']] = (kind, merged)
    return resolved


def VersionProblem(modules, version):
    """Why rimbolt-inspect's Android.bp build is not of |version|, or None."""
    flag = f'-DRIMBOLT_VERSION="{version}"'
    if 'rimbolt-inspect' not in modules:
        return None  # reported as a module CMake builds and Android.bp lacks
    flags = [item for item in modules['rimbolt-inspect'][1].get('cflags', [])
             if item.startswith('-DRIMBOLT_VERSION=')]
    if flags != [flag]:
        return (f'rimbolt-inspect: Android.bp sets {flags or "no version"}, '
                f'CMake {flag}')
    return None


def Run(command, cwd):
    result = subprocess.run(command, cwd=cwd, capture_output=True, text=True)
    return result.returncode, result.stdout + result.stderr


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--root', required=True)
    parser.add_argument('--work', required=True)
    parser.add_argument('--cxx', required=True)
    parser.add_argument('--fuzz-cxx', required=True)
    parser.add_argument('--bpfmt', required=True)
    parser.add_argument('--module', action='append', default=[])
    parser.add_argument('--stand-in', action='append', default=[])
    parser.add_argument('--host-flags', default='')
    parser.add_argument('--version', required=True)
    args = parser.parse_args()
    root = os.path.abspath(args.root)
    cmake_lists = Paths(args.module)
    stand_ins = Paths(args.stand_in)
    errors = []

    code, diff = Run([args.bpfmt, '-d', 'Android.bp'], root)
    if code != 0 or diff:
        Fail(errors, 'bpfmt -d Android.bp is not empty:\n' + diff)

    with open(os.path.join(root, 'Android.bp')) as bp:
        modules = Resolve(Parser(bp.read()).Modules())

    for name, (kind, props) in sorted(modules.items()):
        for src in props.get('srcs', []):
            if not os.path.isfile(os.path.join(root, src)):
                Fail(errors, f'{name}: source {src} does not exist')
        for data in props.get('data', []):
            if not glob.glob(os.path.join(root, data)):
                Fail(errors, f'{name}: data {data} names no file')
        for binary in props.get('data_bins', []):
            if binary not in modules:
                Fail(errors, f'{name}: data_bins names no module {binary}')
        if name not in cmake_lists:
            Fail(errors, f'{name}: no CMake list to compare with')
            continue
        bp_srcs = sorted(props.get('srcs', []))
        cmake_srcs = sorted(os.path.relpath(src, root)
                            for src in cmake_lists[name])
        missing = sorted(set(cmake_srcs) - set(bp_srcs))
        extra = sorted(set(bp_srcs) - set(cmake_srcs))
        if missing:
            Fail(errors, f'{name}: Android.bp lacks {missing}, which CMake '
                         f'builds')
        if extra:
            Fail(errors, f'{name}: Android.bp lists {extra}, which CMake '
                         f'does not build')
    for name in sorted(set(cmake_lists) - set(modules)):
        Fail(errors, f'{name}: built by CMake, missing from Android.bp')
    version_problem = VersionProblem(modules, args.version)
    if version_problem:
        Fail(errors, version_problem)
    if errors:
        return 1

    def Link(name, kind, props):
        srcs = list(props.get('srcs', []))
        includes = list(props.get('local_include_dirs', []))
        for lib in props.get('static_libs', []):
            lib_props = modules[lib][1]
            srcs += lib_props.get('srcs', [])
            includes += lib_props.get('export_include_dirs', [])
        link = []
        for lib in props.get('shared_libs', []):
            if lib not in stand_ins:
                return f'{name}: no host stand-in for {lib}'
            for item in stand_ins[lib]:
                (link if item.startswith('-') else srcs).append(item)
        compiler = args.cxx
        flags = list(props.get('cflags', [])) + ['-std=c++17', '-pthread']
        for flag in ParseList(args.host_flags):
            is_library = flag.startswith('-l') or flag.endswith(('.so', '.a'))
            (link if is_library else flags).append(flag)
        if kind == 'cc_test':
            link += ['-lgtest_main', '-lgtest']
        elif kind == 'cc_fuzz':
            compiler = args.fuzz_cxx
            flags += ['-fsanitize=fuzzer']
        out = os.path.join(args.work, name)
        command = [compiler] + flags + ['-I' + os.path.join(root, d)
                                        for d in includes]
        command += [os.path.join(root, s) if not os.path.isabs(s) else s
                    for s in srcs] + ['-o', out] + link
        code, output = Run(command, args.work)
        if code != 0:
            return f'{name} does not build from its listed sources:\n{output}'
        if 'librimbolt_inspect' not in props.get('static_libs', []):
            # The headers the sources include, as make rules.
            code, output = Run(command[:command.index('-o')] +
                               [i for i in link if i.startswith('-I')] +
                               ['-MM'], args.work)
            inspect_dir = os.path.join(root, 'inspect') + os.sep
            headers = sorted({os.path.relpath(os.path.normpath(word), root)
                              for word in output.split()
                              if os.path.normpath(word).startswith(
                                  inspect_dir)})
            if code != 0 or headers:
                return (f'{name} includes {headers} of rimbolt-inspect '
                        f'without linking it:\n{output if code else ""}')
        return None

    os.makedirs(args.work, exist_ok=True)
    linked = [(name, kind, props) for name, (kind, props) in modules.items()
              if kind in ('cc_binary', 'cc_test', 'cc_fuzz')]
    with concurrent.futures.ThreadPoolExecutor(os.cpu_count()) as pool:
        for failure in pool.map(lambda m: Link(*m), linked):
            if failure:
                Fail(errors, failure)
    if errors:
        return 1
    for name, _, _ in linked:
        print(f'ok: {name} links from its Android.bp sources')
    return 0


if __name__ == '__main__':
    sys.exit(main())
