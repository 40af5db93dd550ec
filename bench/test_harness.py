"""Tests of the benchmark harness: reading the programs' results, the table it
writes, and finding and watching real Linux processes."""

import argparse
import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import linuxproc  # noqa: E402

MIB = 1024 * 1024


def make_bench(**overrides):
    args = argparse.Namespace(bin="/nonexistent/bin", size=4096, rounds=3, idle_seconds=60, idle_rounds=1,
                              probes=100, only=harness.ALL_MEASUREMENTS, label="")
    for key, value in overrides.items():
        setattr(args, key, value)
    return harness.Bench(args)


def table_row(text, number):
    for line in text.splitlines():
        if line.startswith("| %s |" % number):
            return [cell.strip() for cell in line.strip("|").split("|")]
    raise AssertionError("no row %s in:\n%s" % (number, text))


class ParseResultTest(unittest.TestCase):
    def test_reads_the_result_line_among_other_output(self):
        fields = harness.parse_result("starting\nresult seconds=0.25 bytes=16 crc=83433d8a reports=100\nbye\n", "")
        self.assertEqual(fields, {"seconds": 0.25, "bytes": 16.0, "crc": "83433d8a", "reports": 100.0})

    def test_a_crc_of_digits_only_stays_text(self):
        self.assertEqual(harness.parse_result("result crc=12345678 seconds=1", "")["crc"], "12345678")

    def test_no_result_line_is_an_error_naming_what_the_program_said(self):
        with self.assertRaisesRegex(harness.BenchError, "cannot open PIPE00"):
            harness.parse_result("nothing\n", "TransferBench: cannot open PIPE00, error 2\n")


class ReportTest(unittest.TestCase):
    def fill(self, bench, group, variant, values, **fields):
        bench.samples[(group, variant)] = [dict({"seconds": v, "round": r}, **fields) for r, v in enumerate(values)]

    def full_bench(self, download_worker, peak_mib):
        bench = make_bench(size=16 * MIB)
        self.fill(bench, "download", "worker", download_worker, reports=100.0, cpu=0.2)
        self.fill(bench, "download", "wininet", [1.0, 0.9, 1.1], cpu=0.05)
        self.fill(bench, "download", "curl", [0.5])
        self.fill(bench, "download", "framework", [1.05], cpu=0.1)
        self.fill(bench, "download", "percent", [0.01], cpu=0.02, reports=100.0)
        self.fill(bench, "transfer", "worker", [2.0, 2.2, 2.1], reports=99.0)
        self.fill(bench, "transfer", "bare", [2.0, 2.0, 2.0])
        self.fill(bench, "update", "program", [4.0, 5.0, 6.0], peak_mib=peak_mib, idle_mib=7.0,
                  download_seconds=2.0)
        self.fill(bench, "progress", "send", [0.0001])
        self.fill(bench, "progress", "repaint", [0.005])
        self.fill(bench, "start", "updater", [0.3])
        self.fill(bench, "start", "blank", [0.2])
        self.fill(bench, "probe", "probe", [0.0008])
        self.fill(bench, "probe", "open", [0.0002])
        self.fill(bench, "idle", "connected", [60.0], program_percent=0.1, simulator_percent=0.2,
                  wineserver_percent=0.3)
        self.fill(bench, "idle", "disconnected", [60.0], program_percent=0.05, simulator_percent=0.1,
                  wineserver_percent=0.2)
        self.fill(bench, "idle", "hover", [60.0], program_percent=2.2, simulator_percent=0.2,
                  wineserver_percent=1.6)
        return bench

    def render(self, bench):
        now = harness.datetime.datetime(2026, 1, 2, 3, 4, tzinfo=harness.datetime.timezone.utc)
        return harness.report(bench, now, now)

    def test_goals_met(self):
        text = self.render(self.full_bench([1.1, 1.0, 1.2], peak_mib=30.0))
        download = table_row(text, "1")
        self.assertEqual(download[2], "1.100 s (CPU 0.200 s)")
        self.assertEqual(download[3], "64 KiB WinInet reader 1.000 s (CPU 0.050 s); curl 0.500 s")
        self.assertEqual(table_row(text, "1′")[3], "the framework's 4-byte reads alone 1.050 s (CPU 0.100 s), "
                                                 "1.05× the plain reader; ProgressPercent once per 4-byte read "
                                                 "alone 0.010 s (CPU 0.020 s); 100 report hand-offs 100 × 0.100 ms = 0.010 s")
        self.assertEqual(download[4], "1.10×")
        self.assertEqual(download[5], "1.11×")
        self.assertEqual(download[7], "yes")
        self.assertEqual(table_row(text, "2")[4], "1.05×")
        self.assertEqual(table_row(text, "2")[7], "yes")
        self.assertEqual(table_row(text, "3")[3], "sum of bounds 1 + 2: 3.000 s")
        self.assertEqual(table_row(text, "3")[4], "1.67×")
        self.assertEqual(table_row(text, "3′")[3], "bounds 1 + 2 and 199 reports, each a hand-off (0.100 ms) "
                                                  "and a PBM_SETPOS repaint (5.000 ms): 4.015 s")
        self.assertEqual(table_row(text, "2′")[3], "99 report hand-offs 99 × 0.100 ms = 9.900 ms; the pipe "
                                                  "opening's device search about one probe, 0.800 ms")
        self.assertEqual(table_row(text, "4a")[2:], ["0.100% of a core", "", "", "", "< 0.5%", "yes"])
        self.assertEqual(table_row(text, "4b")[2:], ["0.050% of a core", "", "", "", "< 0.5%", "yes"])
        self.assertEqual(table_row(text, "4c")[2:], ["2.200% of a core", "4a, the pointer off the window: "
                                                     "0.100% of a core", "", "", "", ""])
        self.assertEqual(table_row(text, "5")[2], "30.0 MiB (23.0 MiB over idle)")
        self.assertEqual(table_row(text, "5")[7], "yes")
        self.assertEqual(table_row(text, "7")[4], "4.00×")
        self.assertIn("windows: 4a simulator 0.200%, wineserver 0.300%; 4b simulator 0.100%, wineserver 0.200%; "
                      "4c simulator 0.200%, wineserver 1.600%.", text)
        # Round by round: 1.1 / 1.0, 1.0 / 0.9, 1.2 / 1.1.
        self.assertIn("1 1.10×, 2 1.05×, 6 1.50×, 7 4.00×.", text)

    def test_paired_ratio_skips_rounds_whose_bound_failed(self):
        bench = make_bench()
        bench.samples[("transfer", "worker")] = [{"seconds": 3.0, "round": 0}, {"seconds": 1.2, "round": 1}]
        bench.samples[("transfer", "bare")] = [{"seconds": 1.0, "round": 1}]
        self.assertAlmostEqual(bench.paired_ratio("transfer", "worker", "bare"), 1.2)
        self.assertIsNone(bench.paired_ratio("download", "worker", "wininet"))

    def test_goals_missed(self):
        text = self.render(self.full_bench([1.3, 1.3, 1.3], peak_mib=32.5))
        self.assertEqual(table_row(text, "1")[7], "**no**")
        self.assertEqual(table_row(text, "5")[7], "**no**")

    def test_idle_states_are_judged_apart(self):
        bench = self.full_bench([1.1, 1.0, 1.2], peak_mib=30.0)
        self.fill(bench, "idle", "disconnected", [60.0], program_percent=0.6)
        text = self.render(bench)
        self.assertEqual(table_row(text, "4a")[7], "yes")
        self.assertEqual(table_row(text, "4b")[7], "**no**")

    def test_a_partial_run_shows_what_it_has(self):
        bench = make_bench(only=["probe"])
        self.fill(bench, "probe", "probe", [0.0008])
        bench.failures.append("probe open: ProbeBench open 100 exited with 1: no device")
        text = self.render(bench)
        self.assertEqual(table_row(text, "1")[2], "n/a")
        self.assertEqual(table_row(text, "7")[4], "n/a")
        self.assertIn("- probe open: ProbeBench open 100 exited with 1: no device", text)


class RunOrderTest(unittest.TestCase):
    def runs(self, only, rounds=2):
        bench = make_bench(only=only, rounds=rounds)
        calls = []
        bench.measure = lambda group, variant, label, round_number=None: calls.append((group, variant, round_number))
        bench.move_pointer = lambda x, y: calls.append(("pointer", x, y))
        bench.run()
        return calls

    def test_measurements_run_in_turned_order_and_idle_last(self):
        idle = [("idle", "connected", None), ("idle", "disconnected", None), ("idle", "hover", None)]
        off = ("pointer",) + harness.POINTER_OFF_WINDOW
        rows = [
            (["idle"], [off] + idle),
            (["start", "idle"], [off, ("start", "updater", 0), ("start", "blank", 0), ("start", "blank", 1),
                                 ("start", "updater", 1)] + idle),
            (["probe", "transfer"], [off, ("transfer", "worker", 0), ("transfer", "bare", 0), ("probe", "probe", 0),
                                     ("probe", "open", 0), ("probe", "open", 1), ("probe", "probe", 1),
                                     ("transfer", "bare", 1), ("transfer", "worker", 1)]),
        ]
        for only, expected in rows:
            with self.subTest(only=only):
                self.assertEqual(self.runs(only), expected)


class LinuxProcTest(unittest.TestCase):
    def test_cpu_time_after_a_command_name_with_spaces_and_parentheses(self):
        fields = ["S"] + ["0"] * 10 + [str(3 * linuxproc.CLOCK_TICKS), str(linuxproc.CLOCK_TICKS)] + ["0"] * 30
        data = b"1234 (a) (b c)) " + " ".join(fields).encode()
        self.assertEqual(linuxproc.parse_stat_cpu(data), 4.0)

    def test_status_figures(self):
        data = b"Name:\tx.exe\nVmHWM:\t   23600 kB\nRssAnon:\t    7324 kB\nThreads:\t5\n"
        self.assertEqual(linuxproc.parse_status_kib(data), {"VmHWM": 23600, "RssAnon": 7324})

    def start(self, argv, token):
        child = subprocess.Popen(argv, env=dict(os.environ, ORVEK_BENCH_RUN=token))
        self.addCleanup(child.wait)
        self.addCleanup(child.kill)
        return child

    def test_finds_the_program_by_its_name_and_token_only(self):
        token = "test-%d" % os.getpid()
        wanted = self.start(["sleep", "30"], token)
        # Named only in an argument, or carrying another token: not the program.
        self.start([sys.executable, "-c", "import time; time.sleep(30)", "sleep"], token)
        self.start(["sleep", "30"], token + "-other")
        entry = ("ORVEK_BENCH_RUN=" + token).encode()
        self.assertEqual(linuxproc.wait_for_process("sleep", entry), wanted.pid)
        self.assertNotEqual(linuxproc.find_processes("python", entry), [])

    def test_more_than_one_match_is_an_error(self):
        token = "twice-%d" % os.getpid()
        self.start(["sleep", "30"], token)
        self.start(["sleep", "30"], token)
        time.sleep(0.2)
        with self.assertRaisesRegex(RuntimeError, "expected one process"):
            linuxproc.wait_for_process("sleep", ("ORVEK_BENCH_RUN=" + token).encode(), timeout=0.5)

    def test_memory_sampler_sees_a_passing_peak(self):
        # 64 MiB touched, held for a moment, then freed before the process ends.
        code = "import time; b = bytearray(64 << 20); time.sleep(0.5); del b; time.sleep(0.5)"
        child = self.start([sys.executable, "-c", code], "memory")
        with linuxproc.MemorySampler(child.pid) as sampler:
            child.wait()
        self.assertGreater(sampler.peak_kib, 64 * 1024)
        self.assertGreater(sampler.samples, 10)

    def test_cpu_time_of_a_busy_process_grows(self):
        child = self.start([sys.executable, "-c", "import time\nend = time.time() + 0.6\nwhile time.time() < end: pass"],
                           "busy")
        before = linuxproc.cpu_seconds(child.pid)
        time.sleep(0.4)
        self.assertGreater(linuxproc.cpu_seconds(child.pid) - before, 0.1)


if __name__ == "__main__":
    unittest.main()
