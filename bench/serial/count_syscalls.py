#!/usr/bin/env python3
"""Per-operation syscall counts from an `strace -f -o` trace of
`serial_bench --syscalls SCENARIO N`.

Each step of the benchmark announces itself with write(-1, "<step>", n);
the syscalls that follow, up to the next marker, belong to that step. The
pseudo-terminal reader thread announces itself as "drain" and is left out,
as is everything before the first marker (set-up) and after "end".
ioctl calls are counted by request, e.g. ioctl(TCSETS2).

Prints one JSON object: {"scenario", "operations", "steps": [{"name",
"syscalls": {name: calls per operation}}]}.
"""
import json
import re
import sys

LINE = re.compile(r'^(\d+)\s+(\w+)\((.*)$')
MARKER = re.compile(r'^-1, "((?:[^"\\]|\\.)*)"')
IOCTL_REQUEST = re.compile(r'^\d+, ([^,)]+)')
DRAIN, END = 'drain', 'end'


def request_name(arguments):
    """strace writes an ambiguous request as "A or B"; the terminal one is
    the last."""
    match = IOCTL_REQUEST.match(arguments)
    if not match:
        return 'ioctl(?)'
    return 'ioctl(%s)' % match.group(1).split(' or ')[-1].strip()


def count(trace_lines):
    drain_tids = set()
    phase = None
    steps = {}  # insertion order is the order steps were first seen
    for line in trace_lines:
        match = LINE.match(line)
        if not match:
            continue  # resumed halves, signals, exits
        tid, name, arguments = match.groups()
        marker = MARKER.match(arguments) if name == 'write' else None
        if marker:
            text = marker.group(1).encode().decode('unicode_escape')
            if text == DRAIN:
                drain_tids.add(tid)
            elif tid not in drain_tids:
                phase = None if text == END else text
                if phase is not None:
                    steps.setdefault(phase, {'calls': {}, 'runs': 0})['runs'] += 1
            continue
        if phase is None or tid in drain_tids:
            continue
        if name == 'ioctl':
            name = request_name(arguments)
        calls = steps[phase]['calls']
        calls[name] = calls.get(name, 0) + 1
    return steps


def main():
    if len(sys.argv) != 4:
        sys.exit('usage: count_syscalls.py TRACE SCENARIO OPERATIONS')
    trace, scenario, operations = sys.argv[1], sys.argv[2], int(sys.argv[3])
    with open(trace, encoding='utf-8', errors='replace') as lines:
        steps = count(lines)
    for name, step in steps.items():
        if step['runs'] != operations:
            sys.exit('%s: step %s ran %d times, expected %d'
                     % (scenario, name, step['runs'], operations))
    json.dump({
        'scenario': scenario,
        'operations': operations,
        'steps': [{'name': name,
                   'syscalls': {call: n / operations
                                for call, n in sorted(step['calls'].items())}}
                  for name, step in steps.items()],
    }, sys.stdout)
    print()


if __name__ == '__main__':
    main()
