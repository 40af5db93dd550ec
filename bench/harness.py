#!/usr/bin/env python3
"""Runs the updater's benchmarks side by side, interleaved round by round, and
prints a table of medians and ratios, which it also writes under bench/results/.

Expects a Wine session (WINEPREFIX, DISPLAY) and the benchmark programs built
in --bin; tools/bench.sh sets up both.
"""

import argparse
import contextlib
import datetime
import os
import platform
import secrets
import statistics
import subprocess
import sys
import tempfile
import time
import zlib

import linuxproc

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "standins", "updateservice"))
import bodygen  # noqa: E402

SERVICE_SCRIPT = os.path.join(ROOT, "tests", "standins", "updateservice", "updateservice.py")
SERVICE_URL = "http://update.orvek.example/device/update?version=2.0"
SEED = 1
RUN_TIMEOUT = 600
MIB = 1024 * 1024
HEAD_SIZE = 1024
HEAD_SEND_SIZE = 20


# The side-by-side measurements and their variants; "idle" runs after them,
# in each of its variants: the two waiting states with the pointer off the
# window, and the connected one with the pointer resting on the button.
IDLE_VARIANTS = ["connected", "disconnected", "hover"]
# Where the pointer waits when it is off the window: the screen's corner, far
# from the centred window.
POINTER_OFF_WINDOW = (2, 2)
# Time for the window to take in a pointer move before the idle figure starts.
POINTER_SETTLE_SECONDS = 1.0
GROUPS = [("download", ["worker", "framework", "percent", "wininet", "curl"]), ("transfer", ["worker", "bare"]), ("update", ["program"]),
          ("progress", ["send", "repaint"]), ("start", ["updater", "blank"]), ("probe", ["probe", "open"])]
ALL_MEASUREMENTS = [g for g, _ in GROUPS] + ["idle"]


class BenchError(Exception):
    pass


# Fields of a result line that stay text, though they may look like numbers.
TEXT_FIELDS = {"crc"}


def parse_fields(line):
    """The key=value fields after a line's first word, numbers as floats."""
    fields = {}
    for item in line.split()[1:]:
        key, _, value = item.partition("=")
        try:
            fields[key] = value if key in TEXT_FIELDS else float(value)
        except ValueError:
            fields[key] = value
    return fields


def parse_result(stdout, stderr):
    """The fields of the program's "result" line."""
    for line in stdout.splitlines():
        if line.startswith("result "):
            return parse_fields(line)
    raise BenchError("no result line; stderr: %s" % stderr.strip()[-500:])


class Bench:
    def __init__(self, args):
        self.args = args
        self.bin = os.path.abspath(args.bin)
        self.size = args.size
        self.token = "ORVEK_BENCH_RUN=" + secrets.token_hex(8)
        self.env = dict(os.environ, WINEDEBUG="-all", WINEDLLOVERRIDES="setupapi=n")
        name, _, value = self.token.partition("=")
        self.env[name] = value
        self.service_dir = os.path.join(os.path.dirname(self.bin), "bench-service")
        self.port = None
        self.expected_crc = None
        self.samples = {}
        self.failures = []

    # The update-service stand-in, answering with the generated image.
    def start_service(self):
        self.expected_crc = zlib.crc32(bodygen.generated_body(self.size, SEED))
        subprocess.run([sys.executable, SERVICE_SCRIPT, "start", "--state-dir", self.service_dir, "--port", "0",
                        "--body-size", str(self.size), "--seed", str(SEED)], check=True, stdout=subprocess.DEVNULL)
        with open(os.path.join(self.service_dir, "port"), encoding="ascii") as f:
            self.port = int(f.read())
        self.env["http_proxy"] = "http://127.0.0.1:%d" % self.port

    def stop_service(self):
        subprocess.run([sys.executable, SERVICE_SCRIPT, "stop", "--state-dir", self.service_dir],
                       stdout=subprocess.DEVNULL)

    def wine(self, program, *args):
        completed = subprocess.run(["wine", os.path.join(self.bin, program)] + list(args), env=self.env,
                                   capture_output=True, text=True, timeout=RUN_TIMEOUT)
        if completed.returncode != 0:
            raise BenchError("%s %s exited with %d: %s" % (program, " ".join(args), completed.returncode,
                                                           completed.stderr.strip()[-500:]))
        return parse_result(completed.stdout, completed.stderr)

    @contextlib.contextmanager
    def driver(self, *args):
        """UpdaterBench.exe waiting for the go, and the fields of its "ready" line; killed if still running after."""
        driver = subprocess.Popen(["wine", os.path.join(self.bin, "UpdaterBench.exe")] + list(args), env=self.env,
                                  stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        try:
            line = driver.stdout.readline()
            if line.split()[:1] != ["ready"]:
                _, err = driver.communicate(timeout=RUN_TIMEOUT)
                raise BenchError("UpdaterBench %s did not get ready: %s" % (args[0], err.strip()[-500:]))
            yield driver, parse_fields(line)
        finally:
            if driver.poll() is None:
                driver.kill()
                driver.wait()

    def finish_driver(self, driver):
        driver.stdin.write("go\n")
        driver.stdin.flush()
        out, err = driver.communicate(timeout=RUN_TIMEOUT)
        if driver.returncode != 0:
            raise BenchError("UpdaterBench exited with %d: %s" % (driver.returncode, err.strip()[-500:]))
        return parse_result(out, err)

    def program_pid(self):
        return linuxproc.wait_for_process("OrvekUpdater.exe", self.token.encode())

    # One sample of each variant: a dict with at least "seconds" (or the figure it measures).
    def download(self, variant):
        if variant == "curl":
            with tempfile.NamedTemporaryFile() as body:
                completed = subprocess.run(["curl", "-s", "-S", "-o", body.name, "-x", self.env["http_proxy"],
                                            "-w", "%{time_total}", SERVICE_URL], capture_output=True, text=True,
                                           timeout=RUN_TIMEOUT, check=True)
                result = {"seconds": float(completed.stdout), "crc": "%08x" % zlib.crc32(body.read()),
                          "bytes": float(os.path.getsize(body.name))}
        elif variant == "percent":
            return self.wine("DownloadBench.exe", variant, str(self.size))
        else:
            result = self.wine("DownloadBench.exe", variant)
        if result["bytes"] != self.size or result["crc"] != "%08x" % self.expected_crc:
            raise BenchError("download %s got %d bytes with CRC %s, expected %d with %08x"
                             % (variant, result["bytes"], result["crc"], self.size, self.expected_crc))
        return result

    def transfer(self, variant):
        result = self.wine("TransferBench.exe", variant, str(self.size))
        if result["bytes"] != self.size - HEAD_SIZE + HEAD_SEND_SIZE:
            raise BenchError("transfer %s moved %d bytes" % (variant, result["bytes"]))
        return result

    def update(self, _variant):
        with self.driver("update", str(self.size)) as (driver, _):
            pid = self.program_pid()
            idle = linuxproc.memory_kib(pid)
            with linuxproc.MemorySampler(pid) as sampler:
                result = self.finish_driver(driver)
        result["peak_mib"] = sampler.peak_kib / 1024
        result["idle_mib"] = idle["RssAnon"] / 1024
        return result

    def progress(self, variant):
        return self.wine("ProgressBench.exe", variant, "100")

    def start(self, variant):
        return self.wine("UpdaterBench.exe", "start", variant)

    def probe(self, variant):
        return self.wine("ProbeBench.exe", variant, str(self.args.probes))

    def move_pointer(self, x, y):
        subprocess.run(["xdotool", "mousemove", str(int(x)), str(int(y))], env=self.env, check=True,
                       timeout=RUN_TIMEOUT)

    def idle(self, variant):
        with self.driver("idle", "disconnected" if variant == "disconnected" else "connected") as (driver, ready):
            if variant == "hover":
                self.move_pointer(ready["button_x"], ready["button_y"])
            else:
                self.move_pointer(*POINTER_OFF_WINDOW)
            time.sleep(POINTER_SETTLE_SECONDS)
            pids = {"program": self.program_pid(),
                    "simulator": linuxproc.wait_for_process("DeviceSimulator.exe", self.token.encode())}
            servers = linuxproc.find_processes("wineserver", ("WINEPREFIX=" + os.environ["WINEPREFIX"]).encode())
            if len(servers) == 1:
                pids["wineserver"] = servers[0]
            before = {name: linuxproc.cpu_seconds(pid) for name, pid in pids.items()}
            started = time.monotonic()
            time.sleep(self.args.idle_seconds)
            after = {name: linuxproc.cpu_seconds(pid) for name, pid in pids.items()}
            elapsed = time.monotonic() - started
            finished = self.finish_driver(driver)
        wanted = "button" if variant == "hover" else "outside"
        if finished.get("pointer") != wanted:
            raise BenchError("idle %s: the pointer was on the %s, not the %s" % (variant, finished.get("pointer"),
                                                                                wanted))
        result = {"seconds": elapsed}
        for name in pids:
            result[name + "_percent"] = (after[name] - before[name]) / elapsed * 100
        return result

    def measure(self, group, variant, label, round_number=None):
        try:
            result = getattr(self, group)(variant)
        except (BenchError, RuntimeError, subprocess.SubprocessError, OSError) as e:
            self.failures.append("%s %s: %s" % (group, variant, e))
            print("%s %s %s: FAILED %s" % (label, group, variant, e), file=sys.stderr)
            return
        shown_result = dict(result)
        result["round"] = round_number
        self.samples.setdefault((group, variant), []).append(result)
        shown = " ".join("%s=%s" % (k, "%.4g" % v if isinstance(v, float) else v) for k, v in shown_result.items())
        print("%s %s %s: %s" % (label, group, variant, shown), file=sys.stderr)

    def run(self):
        groups = [(g, v) for g, v in GROUPS if g in self.args.only]
        # Wine tracks a pointer resting on a button by polling it, which would
        # add its cost to whichever window opens under the screen's centre.
        self.move_pointer(*POINTER_OFF_WINDOW)
        # The order turns from round to round, so that no variant always
        # runs first or right after a heavy one.
        for r in range(self.args.rounds if groups else 0):
            turned = groups[r % len(groups):] + groups[:r % len(groups)]
            for group, variants in turned:
                for variant in variants[r % len(variants):] + variants[:r % len(variants)]:
                    self.measure(group, variant, "round %d/%d" % (r + 1, self.args.rounds), r)
        for r in range(self.args.idle_rounds if "idle" in self.args.only else 0):
            for variant in IDLE_VARIANTS:
                self.measure("idle", variant, "idle %d/%d" % (r + 1, self.args.idle_rounds))

    def median(self, group, variant, field="seconds"):
        values = [s[field] for s in self.samples.get((group, variant), [])]
        return statistics.median(values) if values else None

    def best(self, group, variant):
        spread = self.spread(group, variant)
        return None if spread is None else spread[0]

    def best_ratio(self, group, variant, bound):
        return ratio(self.best(group, variant), self.best(group, bound))

    def paired_ratio(self, group, variant, bound):
        """The median over rounds of the variant's time against its bound's in the same round."""
        bounds = {s["round"]: s["seconds"] for s in self.samples.get((group, bound), [])}
        ratios = [s["seconds"] / bounds[s["round"]] for s in self.samples.get((group, variant), [])
                  if bounds.get(s["round"])]
        return statistics.median(ratios) if ratios else None

    def spread(self, group, variant, field="seconds"):
        values = [s[field] for s in self.samples.get((group, variant), [])]
        return (min(values), max(values), len(values)) if values else None


def fmt_seconds(value):
    if value is None:
        return "n/a"
    if value < 0.01:
        return "%.3f ms" % (value * 1000)
    return "%.3f s" % value


def with_cpu(bench, group, variant):
    """The median time of a variant, with its median CPU time when the program measured one."""
    cpu = bench.median(group, variant, "cpu") if any("cpu" in s for s in bench.samples.get((group, variant), [])) \
        else None
    seconds = fmt_seconds(bench.median(group, variant))
    return seconds if cpu is None else "%s (CPU %s)" % (seconds, fmt_seconds(cpu))


def times(count, each):
    return "n/a" if each is None else "%d × %s = %s" % (count, fmt_seconds(each), fmt_seconds(count * each))


def ratio(a, b):
    return None if a is None or b is None or b == 0 else a / b


def fmt_percent(value):
    return "n/a" if value is None else "%.3f%% of a core" % value


def fmt_ratio(value):
    return "n/a" if value is None else "%.2f×" % value


def verdict(met):
    return "n/a" if met is None else ("yes" if met else "**no**")


def report(bench, started, finished):
    b = bench
    size_mib = b.size / MIB
    dl_worker, dl_wininet, dl_curl = (b.median("download", v) for v in ("worker", "wininet", "curl"))
    tr_worker, tr_bare = (b.median("transfer", v) for v in ("worker", "bare"))
    up = b.median("update", "program")
    bound_sum = None if dl_wininet is None or tr_bare is None else dl_wininet + tr_bare
    peak = b.median("update", "program", "peak_mib")
    idle_mem = b.median("update", "program", "idle_mib")
    idle_cpu = {v: b.median("idle", v, "program_percent") for v in IDLE_VARIANTS}
    st_updater, st_blank = (b.median("start", v) for v in ("updater", "blank"))
    pr_probe, pr_open = (b.median("probe", v) for v in ("probe", "open"))

    r_dl, r_tr = ratio(dl_worker, dl_wininet), ratio(tr_worker, tr_bare)
    best_sum = None if b.best("download", "wininet") is None or b.best("transfer", "bare") is None else \
        b.best("download", "wininet") + b.best("transfer", "bare")
    send, repaint = b.median("progress", "send"), b.median("progress", "repaint")
    reports = {g: b.median(g, "worker", "reports") or 0 for g in ("download", "transfer")}
    repaints = sum(reports.values())
    ui_bound = None if bound_sum is None or send is None or repaint is None else \
        bound_sum + repaints * (send + repaint)
    memory_goal = size_mib + 16
    rows = [
        ("1", "Download %g MiB: download worker (4-byte reads)" % size_mib, with_cpu(b, "download", "worker"),
         "64 KiB WinInet reader %s; curl %s" % (with_cpu(b, "download", "wininet"), fmt_seconds(dl_curl)),
         fmt_ratio(r_dl),
         fmt_ratio(b.best_ratio("download", "worker", "wininet")), "≤ 1.2×",
         verdict(None if r_dl is None else r_dl <= 1.2)),
        ("1′", "Where the download worker's time goes", with_cpu(b, "download", "worker"),
         "the framework's 4-byte reads alone %s, %s the plain reader; ProgressPercent once per 4-byte read "
         "alone %s; %d report hand-offs %s" % (with_cpu(b, "download", "framework"),
                                              fmt_ratio(ratio(b.median("download", "framework"), dl_wininet)),
                                              with_cpu(b, "download", "percent"), reports["download"],
                                              times(reports["download"], send)), "", "", "", ""),
        ("2", "Transfer %g MiB: transfer worker" % size_mib, with_cpu(b, "transfer", "worker"),
         "bare 2048-byte write loop %s" % with_cpu(b, "transfer", "bare"), fmt_ratio(r_tr),
         fmt_ratio(b.best_ratio("transfer", "worker", "bare")), "≤ 1.05×",
         verdict(None if r_tr is None else r_tr <= 1.05)),
        ("2′", "Where the transfer worker's time goes", with_cpu(b, "transfer", "worker"),
         "%d report hand-offs %s; the pipe opening's device search about one probe, %s"
         % (reports["transfer"], times(reports["transfer"], send), fmt_seconds(pr_probe)), "", "", "", ""),
        ("3", "Whole update through OrvekUpdater.exe, click to \"Orvek successfully updated!\"", fmt_seconds(up),
         "sum of bounds 1 + 2: %s" % fmt_seconds(bound_sum), fmt_ratio(ratio(up, bound_sum)),
         fmt_ratio(ratio(b.best("update", "program"), best_sum)), "", ""),
        ("3′", "The same against the bounds plus the window's progress repaints (download phase of the update: %s)"
         % fmt_seconds(b.median("update", "program", "download_seconds")), fmt_seconds(up),
         "bounds 1 + 2 and %d reports, each a hand-off (%s) and a PBM_SETPOS repaint (%s): %s"
         % (repaints, fmt_seconds(send), fmt_seconds(repaint), fmt_seconds(ui_bound)),
         fmt_ratio(ratio(up, ui_bound)), "", "", ""),
        ("4a", "Idle CPU waiting in \"Orvek connected!\" over %g s, the pointer off the window (program process)"
         % b.args.idle_seconds, fmt_percent(idle_cpu["connected"]), "", "", "", "< 0.5%",
         verdict(None if idle_cpu["connected"] is None else idle_cpu["connected"] < 0.5)),
        ("4b", "Idle CPU waiting for the device (\"Switch Orvek to D/L mode and connect it to your computer.\"), the pointer off the window",
         fmt_percent(idle_cpu["disconnected"]), "", "", "", "< 0.5%",
         verdict(None if idle_cpu["disconnected"] is None else idle_cpu["disconnected"] < 0.5)),
        ("4c", "As 4a with the pointer resting on \"Update Orvek Now!\": Wine polling the pointer for the "
         "button's hover tracking, not the program's work", fmt_percent(idle_cpu["hover"]),
         "4a, the pointer off the window: %s" % fmt_percent(idle_cpu["connected"]), "", "", "", ""),
        ("5", "Peak private memory (RssAnon) during the update",
         "n/a" if peak is None else "%.1f MiB (%.1f MiB over idle)" % (peak, peak - idle_mem),
         "image %g MiB (idle before the click %s)" % (size_mib, "n/a" if idle_mem is None else "%.1f MiB" % idle_mem),
         fmt_ratio(ratio(peak, size_mib)), "", "≤ %g MiB" % memory_goal,
         verdict(None if peak is None else peak <= memory_goal)),
        ("6", "Start: process start to the window shown in its first state", fmt_seconds(st_updater),
         "blank window program %s" % fmt_seconds(st_blank), fmt_ratio(ratio(st_updater, st_blank)),
         fmt_ratio(b.best_ratio("start", "updater", "blank")), "", ""),
        ("7", "Presence probe on the UI thread, one device", fmt_seconds(pr_probe),
         "open + close of the interface path alone %s" % fmt_seconds(pr_open), fmt_ratio(ratio(pr_probe, pr_open)),
         fmt_ratio(b.best_ratio("probe", "probe", "open")), "", ""),
    ]

    lines = ["# Benchmark run %s%s" % (started.strftime("%Y-%m-%d %H:%M UTC"), b.args.label and ": " + b.args.label), ""]
    lines.append("Medians of %d interleaved rounds (idle: %d run of %g s in each of its 3 variants); image %d bytes; %s; %s; %s; %d CPUs; "
                 "%.0f s in all." % (b.args.rounds, b.args.idle_rounds, b.args.idle_seconds, b.size, tree_state(),
                                     wine_version(), cpu_model(), os.cpu_count(),
                                     (finished - started).total_seconds()))
    lines.append("Ratio: median against median. Ratio of best runs: fastest sample against fastest sample, "
                 "which other load on the machine disturbs less. CPU: the benchmark process's own CPU time "
                 "over the timed stretch (10 ms steps).")
    lines += ["", "| # | Figure | Program | Bound | Ratio | Ratio of best runs | Goal | Met |",
              "|---|---|---|---|---|---|---|---|"]
    lines += ["| " + " | ".join(row) + " |" for row in rows]
    paired = [("1", "download", "worker", "wininet"), ("2", "transfer", "worker", "bare"),
              ("6", "start", "updater", "blank"), ("7", "probe", "probe", "open")]
    lines += ["", "Paired ratios (the median over the rounds of each round's own ratio, whose two runs were "
                  "next to each other): " + ", ".join("%s %s" % (number, fmt_ratio(b.paired_ratio(g, v, bound)))
                                                     for number, g, v, bound in paired) + "."]
    others = []
    for variant, shown in (("connected", "4a"), ("disconnected", "4b"), ("hover", "4c")):
        samples = b.samples.get(("idle", variant))
        if samples:
            others.append("%s %s" % (shown, ", ".join(
                "%s %.3f%%" % (name, b.median("idle", variant, name + "_percent"))
                for name in ("simulator", "wineserver") if samples[0].get(name + "_percent") is not None)))
    if others:
        lines += ["", "Idle CPU of the other processes of the session over the same windows: %s." % "; ".join(others)]
    lines += ["", "## Samples", "", "| Measurement | Variant | n | Median | Min | Max | Other fields (medians) |",
              "|---|---|---|---|---|---|---|"]
    for (group, variant), samples in b.samples.items():
        low, high, count = b.spread(group, variant)
        others = sorted({k for s in samples for k, v in s.items() if k != "seconds" and isinstance(v, float)})
        shown = ", ".join("%s %.4g" % (k, b.median(group, variant, k)) for k in others)
        lines.append("| %s | %s | %d | %s | %s | %s | %s |" % (group, variant, count,
                                                               fmt_seconds(b.median(group, variant)),
                                                               fmt_seconds(low), fmt_seconds(high), shown))
    if b.failures:
        lines += ["", "## Failed runs", ""] + ["- " + f for f in b.failures]
    return "\n".join(lines) + "\n"


def tree_state():
    """The commit the programs were built from, and whether the tree had changes beyond it."""
    try:
        head = subprocess.run(["git", "-C", ROOT, "rev-parse", "--short", "HEAD"], capture_output=True, text=True,
                              check=True).stdout.strip()
        changed = subprocess.run(["git", "-C", ROOT, "status", "--porcelain", "--", ".", ":!bench/results"],
                                 capture_output=True, text=True, check=True).stdout.strip()
    except (OSError, subprocess.SubprocessError):
        return "tree unknown"
    return "tree %s%s" % (head, " with uncommitted changes" if changed else "")


def wine_version():
    try:
        return subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    except OSError:
        return "wine ?"


def cpu_model():
    try:
        with open("/proc/cpuinfo", encoding="ascii", errors="replace") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.partition(":")[2].strip()
    except OSError:
        pass
    return platform.processor() or "CPU ?"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin", required=True, help="folder of the built programs")
    parser.add_argument("--results", default=os.path.join(ROOT, "bench", "results"),
                        help="folder for the results file")
    parser.add_argument("--rounds", type=int, default=9, help="rounds of the side-by-side measurements (9)")
    parser.add_argument("--idle-seconds", type=float, default=60, help="length of the idle measurement (60)")
    parser.add_argument("--idle-rounds", type=int, default=1, help="idle measurements (1)")
    parser.add_argument("--probes", type=int, default=100, help="probes per probe sample (100)")
    parser.add_argument("--only", default=",".join(ALL_MEASUREMENTS),
                        help="comma-separated measurements to run (default all: %(default)s)")
    parser.add_argument("--label", default="", help="a word for the results file's name and heading")
    parser.add_argument("--size", type=int, default=16 * MIB, help="image size in bytes (16 MiB)")
    args = parser.parse_args()
    args.only = args.only.split(",")
    unknown = set(args.only) - set(ALL_MEASUREMENTS)
    if unknown:
        parser.error("unknown measurements: %s" % ", ".join(sorted(unknown)))
    if args.size <= HEAD_SIZE:
        parser.error("--size must exceed %d" % HEAD_SIZE)

    bench = Bench(args)
    started = datetime.datetime.now(datetime.timezone.utc)
    bench.start_service()
    try:
        bench.run()
    finally:
        bench.stop_service()
    finished = datetime.datetime.now(datetime.timezone.utc)

    text = report(bench, started, finished)
    print(text)
    os.makedirs(args.results, exist_ok=True)
    path = os.path.join(args.results, started.strftime("%Y-%m-%d-%H%M") + (args.label and "-" + args.label) + ".md")
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    print("bench: results written to %s" % path, file=sys.stderr)
    return 1 if bench.failures else 0


if __name__ == "__main__":
    sys.exit(main())
