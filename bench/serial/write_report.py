#!/usr/bin/env python3
"""BENCHMARKS.md and the throughput plot's data from serial_bench's
Google Benchmark JSON and the per-operation syscall counts.

usage: write_report.py --results JSON --syscalls JSONL --plot-data DAT
                       --plot PNG --command CMD --load-before LOAD
                       [--panel MARKDOWN] > BENCHMARKS.md
Medians of the repetitions throughout; it reports, it never fails on a
figure.
"""
import argparse
import datetime
import json
import os
import platform

CONTENDERS = ['ours', 'plain', 'libserialport']
LABELS = {'ours': 'ours', 'plain': 'plain calls', 'libserialport': 'libserialport'}
WRITE_CALLS = {'ours': 'ComWrite', 'plain': 'write(2)', 'libserialport': 'sp_blocking_write'}
PLAIN_SHARE_GOAL = 0.95
LINE_READS = {'ioctl(TCGETS)', 'ioctl(TCGETS2)'}
LINE_WRITES = {'ioctl(%s)' % r for r in
               ('TCSETS', 'TCSETSW', 'TCSETSF', 'TCSETS2', 'TCSETSW2', 'TCSETSF2')}
MODEM_WRITES = {'ioctl(TIOCMBIS)', 'ioctl(TIOCMBIC)', 'ioctl(TIOCMSET)'}


def load_aggregates(path):
    """{scenario: median run}, {scenario: cv in %}, {scenario: fastest
    repetition's real time}, and the run context."""
    with open(path) as f:
        data = json.load(f)
    medians, cvs, fastest = {}, {}, {}
    for run in data['benchmarks']:
        scenario = run['run_name'].rsplit('/real_time', 1)[0]
        kind = run.get('aggregate_name')
        if run.get('error_occurred'):
            medians[scenario] = {'error': run.get('error_message', 'error')}
        elif kind == 'median':
            medians[scenario] = run
        elif kind == 'cv':
            cvs[scenario] = 100.0 * run['real_time']
        elif kind == 'min':
            fastest[scenario] = run['real_time']
    return medians, cvs, fastest, data['context']


def load_syscalls(path):
    counts = {}
    with open(path) as f:
        for line in f:
            if line.strip():
                record = json.loads(line)
                counts[record['scenario']] = record
    return counts


def machine_rows(context, load_before):
    model = 'unknown'
    with open('/proc/cpuinfo') as f:
        for line in f:
            if line.startswith('model name'):
                model = line.split(':', 1)[1].strip()
                break
    with open('/proc/loadavg') as f:
        load_after = ' '.join(f.read().split()[:3])
    return [
        ('CPU', '%s, %d logical CPUs (nproc)' % (model, os.cpu_count())),
        ('Kernel', '%s %s' % (platform.system(), platform.release())),
        ('Date', datetime.datetime.now(datetime.timezone.utc).strftime('%Y-%m-%d %H:%M UTC')),
        ('Load average (1, 5, 15 min)', 'before: %s; after: %s' % (load_before, load_after)),
        ('Google Benchmark', 'library build type: %s; our code: Release'
         % context.get('library_build_type', 'unknown')),
    ]


def table(header, rows):
    lines = ['| ' + ' | '.join(header) + ' |', '|' + '---|' * len(header)]
    lines += ['| ' + ' | '.join(str(cell) for cell in row) + ' |' for row in rows]
    return '\n'.join(lines)


def rate(value):
    for limit, suffix in ((1e9, 'G'), (1e6, 'M'), (1e3, 'k')):
        if value >= limit:
            return '%.3g%s' % (value / limit, suffix)
    return '%.3g' % value


def duration(ns):
    return '%.2f µs' % (ns / 1000.0) if ns >= 1000 else '%.0f ns' % ns


def ratio(a, b):
    return a / b if a is not None and b else None


def show_ratio(value):
    return 'n/a' if value is None else '%.2f' % value


def syscall_summary(record, step_names=None):
    """'write 1, poll 0.18 (1.18)': calls per operation over the chosen
    steps (all of them by default), most frequent first."""
    if record is None:
        return 'not counted'
    total = {}
    for step in record['steps']:
        if step_names is None or step['name'] in step_names:
            for call, n in step['syscalls'].items():
                total[call] = total.get(call, 0) + n
    if not total:
        return 'none'
    parts = ['%s %s' % (call, '%g' % round(n, 2))
             for call, n in sorted(total.items(), key=lambda kv: (-kv[1], kv[0]))]
    return '%s (%g in all)' % (', '.join(parts), round(sum(total.values()), 2))


def sizes_of(medians):
    return sorted({int(name.split('/')[2]) for name in medians if name.startswith('write/')})


class Report:
    def __init__(self, medians, cvs, fastest, syscalls):
        self.medians, self.cvs, self.fastest = medians, cvs, fastest
        self.syscalls = syscalls

    def value(self, scenario, key):
        run = self.medians.get(scenario)
        return None if run is None or 'error' in run else run[key]

    def cell(self, scenario, show):
        run = self.medians.get(scenario)
        if run is None:
            return 'not run'
        if 'error' in run:
            return 'failed: %s' % run['error']
        return '%s (cv %.0f%%)' % (show(run), self.cvs.get(scenario, 0.0))

    def write_ratios(self, size):
        """ours / write(2) and ours / libserialport in bytes/s, medians."""
        ours = self.value('write/ours/%d' % size, 'bytes_per_second')
        return (ratio(ours, self.value('write/plain/%d' % size, 'bytes_per_second')),
                ratio(ours, self.value('write/libserialport/%d' % size, 'bytes_per_second')))

    def fastest_ratios(self, size):
        """The same ratios from each contender's fastest repetition."""
        ours = self.fastest.get('write/ours/%d' % size)
        return tuple(ratio(self.fastest.get('write/%s/%d' % (peer, size)), ours)
                     for peer in ('plain', 'libserialport'))

    def throughput_table(self):
        rows = []
        for size in sizes_of(self.medians):
            cells = [self.cell('write/%s/%d' % (c, size), lambda r: '%s B/s, %s calls/s' % (
                rate(r['bytes_per_second']), rate(r['items_per_second']))) for c in CONTENDERS]
            medians, fastest = self.write_ratios(size), self.fastest_ratios(size)
            rows.append([size] + cells + ['%s (%s)' % (show_ratio(m), show_ratio(f))
                                          for m, f in zip(medians, fastest)])
        header = ['bytes per call'] + ['%s: %s' % (LABELS[c], WRITE_CALLS[c]) for c in CONTENDERS]
        return table(header + ['ours / write(2)', 'ours / libserialport'], rows)

    def cpu_table(self):
        rows = []
        for size in sizes_of(self.medians):
            cpu = [self.value('write/%s/%d' % (c, size), 'cpu_time') for c in CONTENDERS]
            rows.append([size] + ['n/a' if t is None else duration(t) for t in cpu] +
                        [show_ratio(ratio(cpu[1], cpu[0])), show_ratio(ratio(cpu[2], cpu[0]))])
        header = ['bytes per call'] + [WRITE_CALLS[c] for c in CONTENDERS]
        return table(header + ['write(2) / ours', 'libserialport / ours'], rows)

    def per_call_table(self, prefix):
        rows = []
        chosen = [s for s in self.medians if s.startswith(prefix)]
        for scenario in sorted(chosen, key=lambda s: (CONTENDERS.index(s.split('/')[1]), s)):
            contender = scenario.split('/')[1]
            record = self.syscalls.get(scenario)
            calls = ' + '.join(step['name'] for step in record['steps']) if record else '?'
            rows.append([LABELS[contender], calls,
                         self.cell(scenario, lambda r: duration(r['real_time'])),
                         rate(self.value(scenario, 'items_per_second') or 0),
                         syscall_summary(record)])
        return table(['contender', 'calls', 'time per operation', 'operations/s',
                      'syscalls per operation'], rows)

    def syscall_table(self):
        rows = []
        for scenario, record in self.syscalls.items():
            for step in record['steps']:
                rows.append(['`%s`' % scenario, step['name'],
                             syscall_summary(record, {step['name']})])
        return table(['scenario', 'call', 'syscalls per call'], rows)

    def goals(self):
        sizes = sizes_of(self.medians)

        def verdict(ratios_of, index, least):
            ratios = {size: ratios_of(size)[index] for size in sizes}
            short = [s for s in sizes if ratios[s] is None or ratios[s] < least]
            if not short:
                return 'met'
            return 'NOT met at ' + ', '.join('%d B (%s)' % (s, show_ratio(ratios[s]))
                                             for s in short)

        rows = []
        for index, goal, least in ((0, 'ComWrite at least %.2f of write(2) bytes/s at every '
                                       'size' % PLAIN_SHARE_GOAL, PLAIN_SHARE_GOAL),
                                   (1, 'ComWrite at least even with sp_blocking_write at '
                                       'every size', 1.0)):
            rows.append([goal, 'medians: %s. Fastest repetitions: %s.' % (
                verdict(self.write_ratios, index, least),
                verdict(self.fastest_ratios, index, least))])
        for scenario, label in (('state/ours/baud', 'baud rate only'),
                                ('state/ours/baud-dtr-rts', 'baud rate, DTR and RTS')):
            record = self.syscalls.get(scenario)
            if record is None:
                rows.append(['ComSetState (%s): syscall counts' % label, 'not counted'])
                continue
            calls = {}
            for step in record['steps']:
                for call, n in step['syscalls'].items():
                    calls[call] = calls.get(call, 0) + n
            reads = sum(n for c, n in calls.items() if c in LINE_READS)
            writes = sum(n for c, n in calls.items() if c in LINE_WRITES)
            modem = sum(n for c, n in calls.items() if c in MODEM_WRITES)
            rows.append(['ComSetState (%s): at most one read and one write of the line '
                         'settings per call' % label,
                         '%s (reads %g, writes %g per call)' % (
                             'met' if reads <= 1 and writes <= 1 else 'NOT met', reads, writes)])
            wants_modem = scenario.endswith('dtr-rts')
            modem_ok = modem > 0 if wants_modem else modem == 0
            rows.append(['ComSetState (%s): modem-line ioctls %s' % (
                             label, 'issued, DTR and RTS change' if wants_modem
                             else 'not issued, DTR and RTS stay'),
                         '%s (%g per call)' % ('met' if modem_ok else 'NOT met', modem)])
        return table(['goal', 'result'], rows)

    def plot_data(self):
        lines = ['# bytes ' + ' '.join(CONTENDERS) + ' (bytes/s, medians)']
        for size in sizes_of(self.medians):
            values = [self.value('write/%s/%d' % (c, size), 'bytes_per_second') for c in CONTENDERS]
            lines.append('%d %s' % (size, ' '.join('NaN' if v is None else '%.6g' % v
                                                   for v in values)))
        return '\n'.join(lines) + '\n'


METHOD = """\
- Every contender gets its own pseudo-terminal pair and writes to the slave;
  a reader thread drains the master as fast as it can. Line settings are the
  same for all: raw, 9600 baud 8N1, no flow control (what ComOpen applies;
  cfmakeraw + tcsetattr for the plain calls; sp_set_config for
  libserialport). A pseudo-terminal is not paced by its baud rate, so the
  figures are the cost of each software path, and write(2) is the limit.
- ours: ComOpen, ComWrite, ComSetState, ComClose of the `com` library on
  the termios layer `win32layer_comm`. plain calls: open(2), write(2),
  tcgetattr/tcsetattr, close(2) on a blocking descriptor. libserialport:
  Debian's libserialport-dev, sp_blocking_write with a 1000 ms timeout
  like ours, sp_set_baudrate for the settings change.
- libserialport refuses a pseudo-terminal: it has no modem lines and
  TIOCMGET fails there. The benchmark answers those refused requests as a
  line with DTR and RTS up, for libserialport's calls only; the requests
  still reach the kernel, so their cost stays in the figures and counts.
  It reaches the slave through a symbolic link (its name check wants one).
- Times are wall-clock (a writer waiting for room is waiting for the
  line). Each benchmark is repeated %(repetitions)s times, the repetitions of
  all benchmarks interleaved at random; every figure is the median of the
  repetitions, cv is the coefficient of variation across them. Other load
  only slows a repetition down, so the ratios are also given for each
  contender's fastest repetition. B/s and calls/s use k = 10^3, M = 10^6.
- Syscalls: `strace -f` of `serial_bench --syscalls SCENARIO %(operations)s`, which
  performs exactly that many operations, each call announced by a marker
  (a failing write(2) to fd -1); calls are counted per operation between
  markers, set-up, tear-down and the reader thread left out.
- The machine is shared: the load average is recorded above. Nothing here
  passes or fails on a clock; the goals are stated against the medians.
"""


LARGE_WRITES = """\
Where ComWrite falls behind write(2), it is on writes that overflow the
line's buffer (a pseudo-terminal holds a few KiB). ComWrite honours its
write timeout, so its descriptor is non-blocking: such a write comes back
short, and the rest waits in poll(2) before the next write(2) (see the
syscall table). A plain blocking write(2) waits inside the kernel instead:
one call in all, but no bound on how long it takes. libserialport's
blocking write pays the same price, waiting in pselect6 between writes.
Writes that fit are a single write(2) in both, and their differences stay
within the spread between repetitions. Closing the gap would need a
blocking write cut short by a timer signal, taking a signal away from the
host program: not worth it for a line whose fastest rate, 256000 baud,
carries about 25.6 kB/s, thousands of times less than these figures.
"""


def main():
    parser = argparse.ArgumentParser()
    for option in ('--results', '--syscalls', '--plot-data', '--plot', '--command',
                   '--load-before', '--repetitions', '--operations'):
        parser.add_argument(option, required=True)
    parser.add_argument('--panel')
    args = parser.parse_args()

    medians, cvs, fastest, context = load_aggregates(args.results)
    report = Report(medians, cvs, fastest, load_syscalls(args.syscalls))
    with open(args.plot_data, 'w') as f:
        f.write(report.plot_data())

    out = ['# Benchmarks', '',
           'Written by `scripts/run-benchmarks`; run it again rather than editing this file.',
           '', '## Machine', '', table(['', ''], machine_rows(context, args.load_before)),
           '', '## Method', '',
           METHOD % {'repetitions': args.repetitions, 'operations': args.operations},
           '## Goals', '', report.goals(), '', LARGE_WRITES,
           '## Write throughput', '',
           'Median bytes/s and calls/s per write size. The ratios compare bytes/s: '
           'medians, and in brackets each contender\'s fastest repetition.', '',
           report.throughput_table(), '',
           '![Write throughput against write size](%s)' % args.plot, '',
           'CPU time of the writing thread per call (medians; the reader thread and '
           'the kernel\'s deferred work are not in it). Less disturbed by other load '
           'than the wall-clock figures; ratios above 1 mean ours costs less.', '',
           report.cpu_table(), '',
           '## Open, configure, close', '',
           'One cycle: open the line, apply raw 9600 8N1 without flow control, close it.', '',
           report.per_call_table('cycle/'), '',
           '## Changing line settings', '',
           'Each call switches between 9600 and 115200 baud; the second ComSetState '
           'row also switches DTR and RTS between enabled and disabled.', '',
           report.per_call_table('state/'), '',
           '## System calls per operation', '', report.syscall_table(), '']
    if args.panel:
        with open(args.panel) as f:
            out += ['## Panel start-up', '', f.read().strip(), '']
    out += ['## Command', '', '```', args.command, '```', '']
    print('\n'.join(out))


if __name__ == '__main__':
    main()
