#!/usr/bin/env python3
"""Structure check of the source tree: every include points down the layer order
platform <- core <- engine <- libs <- script <- app, the include graph between the source folders
(and between units, a .h with its .cpp) has no cycle, the platform layer includes no other layer, the
runtime's headers are included from one folder only, no mutable global carries the
processed text or the run settings, and core/ is split by topic.

Usage: tools/layer_check.py [ROOT]   (default: the current directory, the project root). Last line: "N problems".
"""
import os, re, sys, collections

ROOT = sys.argv[1] if len(sys.argv) > 1 else '.'
SKIP = {'tests', 'bench', 'fuzz', 'tools', 'examples', 'docs', 'build', 'cmake', 'data', '.git', '.ci'}
INC = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
SYS = re.compile(r'^\s*#\s*include\s+<([^>]+)>', re.M)

files = {}
for dp, dns, fns in os.walk(ROOT):
    rel = os.path.relpath(dp, ROOT)
    top = rel.split(os.sep)[0]
    if top in SKIP or top.startswith('build'):
        dns[:] = []
        continue
    for fn in fns:
        if fn.endswith(('.cpp', '.h', '.hpp', '.cc')):
            p = os.path.normpath(os.path.join(rel, fn))
            files[p] = open(os.path.join(dp, fn), encoding='utf-8', errors='replace').read()


def folder(p):
    parts = p.split(os.sep)
    return parts[0] if len(parts) > 1 else '.'


def resolve(src, inc):
    for cand in (os.path.normpath(inc), os.path.normpath(os.path.join(os.path.dirname(src), inc))):
        if cand in files:
            return cand
    return None


problems = []
fgraph = collections.defaultdict(set)
dgraph = collections.defaultdict(set)
lua_users = set()
for p, text in files.items():
    for inc in INC.findall(text):
        q = resolve(p, inc)
        if q and os.path.splitext(q)[0] != os.path.splitext(p)[0]:
            fgraph[os.path.splitext(p)[0]].add(os.path.splitext(q)[0])
            if folder(p) != folder(q):
                dgraph[folder(p)].add(folder(q))
    for s in SYS.findall(text):
        if s in ('lua.h', 'lauxlib.h', 'lualib.h', 'lua.hpp') or s.startswith('lua5.3/'):
            lua_users.add(folder(p))


def cycles(graph):
    found, color, stack = [], {}, []

    def dfs(u):
        color[u] = 1; stack.append(u)
        for v in sorted(graph.get(u, ())):
            if color.get(v) == 1:
                found.append(stack[stack.index(v):] + [v])
            elif not color.get(v):
                dfs(v)
        stack.pop(); color[u] = 2
    for u in sorted(graph):
        if not color.get(u):
            dfs(u)
    return found


LAYERS = ['platform', 'core', 'engine', 'libs', 'script', 'app']
for a, targets in sorted(dgraph.items()):
    for b in sorted(targets):
        if a in LAYERS and b in LAYERS and LAYERS.index(b) > LAYERS.index(a):
            problems.append(f'upward include: {a}/ includes {b}/')
        elif a not in LAYERS or b not in LAYERS:
            problems.append(f'folder outside the layer order: {a} -> {b}')
for c in cycles(dgraph):
    problems.append('folder cycle: ' + ' -> '.join(c))
for c in cycles(fgraph):
    problems.append('unit cycle: ' + ' -> '.join(c))
if 'platform' in dgraph:
    problems.append('platform/ includes ' + ', '.join(sorted(dgraph['platform'])))
if len(lua_users) > 1:
    problems.append('runtime headers included from several folders: ' + ', '.join(sorted(lua_users)))
glob_re = re.compile(r'^\s*extern\s+(?!"C")[^;(]*\b(CurrentText|RunSettings)\b', re.M)
for p, text in files.items():
    for m in glob_re.finditer(text):
        problems.append(f'mutable global {m.group(1)} declared in {p}')
core_topics = set()
for p in files:
    parts = p.split(os.sep)
    if parts[0] == 'core' and len(parts) > 2:
        core_topics.add(parts[1])
flat_core = [p for p in files if p.split(os.sep)[0] == 'core' and len(p.split(os.sep)) == 2]
if len(core_topics) < 4 or len(flat_core) > 4:
    problems.append(f'core/ not split by topic: {len(core_topics)} topic folders, {len(flat_core)} files directly in core/')

order = sorted(dgraph.items())
print('folder graph: ' + '; '.join(f'{a} -> {",".join(sorted(b))}' for a, b in order))
for pr in problems:
    print(pr)
print(f'{len(problems)} problems')
sys.exit(1 if problems else 0)
