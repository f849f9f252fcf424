#!/usr/bin/env python3
"""Times commands in paired, alternating rounds and prints one JSON object.

    measure.py RUNS COMMANDS_FILE
COMMANDS_FILE holds one NAME=COMMAND a line, each COMMAND a shell-free
argument list joined by the unit separator \\x1f (a file, as the argument
lists of thousands of files outgrow what one argument may hold).

In each round every command runs once, in an order that rotates from round
to round, with stdout to /dev/null. Per command it reports the median wall
time (nanoseconds, perf_counter_ns), the median CPU time (user + system,
from wait4), the median page faults (minor and major, from wait4: each is
fresh memory or file data mapped, and on a virtual machine one costs
microseconds), the output bytes and the peak resident set (KB, from
/usr/bin/time, in one more, untimed run), and for every pair of commands
the median of the per-round ratios, so that a slow moment of the machine
affects both sides of a ratio.
"""
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time


def run_once(argv):
    with open(os.devnull, "wb") as sink:
        start = time.perf_counter_ns()
        proc = subprocess.Popen(argv, stdout=sink, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(proc.pid, 0)
        wall = time.perf_counter_ns() - start
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_minflt + usage.ru_majflt, os.waitstatus_to_exitcode(status)


# Output bytes and peak resident set (KB) of one untimed run. /usr/bin/time
# measures the command alone: wait4's figure for a child of this process
# would start from the interpreter's own memory.
def output_and_peak(argv):
    with tempfile.NamedTemporaryFile() as report:
        proc = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", report.name] + argv,
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        size = sum(len(chunk) for chunk in iter(lambda: proc.stdout.read(1 << 20), b""))
        proc.wait()
        return size, int(open(report.name).read().split()[-1])


def main():
    runs = int(sys.argv[1])
    commands = []
    for entry in open(sys.argv[2], encoding="utf-8", errors="surrogateescape").read().splitlines():
        name, _, joined = entry.partition("=")
        commands.append((name, joined.split("\x1f")))
    times = {name: [] for name, _ in commands}
    cpus = {name: [] for name, _ in commands}
    faults = {name: [] for name, _ in commands}
    peak = {name: 0 for name, _ in commands}
    out = {}
    for r in range(runs):
        shift = r % len(commands)
        for name, argv in commands[shift:] + commands[:shift]:
            wall, cpu, faulted, code = run_once(argv)
            if code != 0:
                sys.exit("measure.py: %s exited with %d" % (name, code))
            times[name].append(wall)
            cpus[name].append(cpu)
            faults[name].append(faulted)
    for name, argv in commands:
        out[name], peak[name] = output_and_peak(argv)
    ratios = {}
    for a, _ in commands:
        for b, _ in commands:
            if a != b:
                ratios[a + "/" + b] = statistics.median(x / y for x, y in zip(times[a], times[b]))
    print(json.dumps({
        "wall_ns": {n: statistics.median(v) for n, v in times.items()},
        "cpu_s": {n: statistics.median(v) for n, v in cpus.items()},
        "page_faults": {n: statistics.median(v) for n, v in faults.items()},
        "peak_kb": peak, "out_bytes": out, "ratios": ratios}))


main()
