"""The collection's helpers without a unit: the link arguments, telling a failed run, and what the
modules make of the tool's output. Run with ANSIBLE_COLLECTIONS_PATH's folder on sys.path."""

import json
import unittest

from ansible_collections.tvx230.units.plugins.module_utils import tvx230_cli as cli
from ansible_collections.tvx230.units.plugins.modules import backup, facts, settings


def link(**params):
    full = dict(tcp=None, serial=None, rs485=None, pace=None, reply_timeout=None)
    full.update(params)
    return cli.link_arguments(full)


def report(unit_result="ok", reason="", reason_code=None, run_result=None, units=1, **unit):
    one = dict(result=unit_result, reason=reason, reason_code=reason_code, **unit)
    return json.dumps(dict(result=run_result or unit_result, reason=None, reason_code=None,
                           units=[one] * units))


class LinkArguments(unittest.TestCase):
    def test_options_become_the_tools_arguments(self):
        cases = [
            (dict(tcp="127.0.0.1:41000"), ["--tcp", "127.0.0.1:41000"]),
            (dict(tcp=" host:9004 ", pace="reply"), ["--tcp", "host:9004", "--pace", "reply"]),
            (dict(serial="/dev/ttyUSB0", rs485=0), ["--serial", "/dev/ttyUSB0", "--rs485", "0"]),
            (dict(serial="/dev/ttyUSB0", rs485=31, pace=200, reply_timeout=1.5),
             ["--serial", "/dev/ttyUSB0", "--rs485", "31", "--pace", "200", "--reply-timeout", "1.5"]),
            (dict(tcp="h:1", pace="0"), ["--tcp", "h:1", "--pace", "0"]),
        ]
        for params, expected in cases:
            with self.subTest(params=params):
                self.assertEqual(link(**params), (expected, None))

    def test_values_the_tool_would_refuse_are_refused_here(self):
        cases = [dict(tcp="  "), dict(serial=""), dict(serial="/dev/ttyS0", rs485=32),
                 dict(serial="/dev/ttyS0", rs485=-1), dict(tcp="h:1", pace="fast"),
                 dict(tcp="h:1", pace=-5), dict(tcp="h:1", pace="1e3"), dict(tcp="h:1", pace=True),
                 dict(tcp="h:1", pace="２００"), dict(tcp="h:1", reply_timeout=0.0)]
        for params in cases:
            with self.subTest(params=params):
                args, problem = link(**params)
                self.assertIsNone(args)
                self.assertTrue(problem)


class FailureOf(unittest.TestCase):
    def test_success_needs_exit_status_0_and_the_unit_ok(self):
        self.assertIsNone(cli.failure_of(0, report(), ""))
        # A run that ends 0 but whose unit failed, or that ends non-zero with the unit ok, is no success.
        self.assertEqual(cli.failure_of(0, report("failed", "no answer", "timeout"), ""),
                         ("no answer", "timeout"))
        self.assertEqual(cli.failure_of(130, report(run_result="failed", reason_code=None), "stopped\n"),
                         ("stopped", None))

    def test_the_units_reason_then_the_runs_then_standard_error(self):
        interrupted = report("failed", "中断されました", "interrupted")
        self.assertEqual(cli.failure_of(130, interrupted, ""), ("中断されました", "interrupted"))
        run_failed = json.dumps(dict(result="failed", reason="report not written", reason_code="file", units=[]))
        self.assertEqual(cli.failure_of(1, run_failed, ""), ("report not written", "file"))
        self.assertEqual(cli.failure_of(1, report("failed"), "tvx230-cli: first\ntvx230-cli: last\n\n"),
                         ("tvx230-cli: last", None))
        self.assertEqual(cli.failure_of(1, report("failed"), "\nout of memory\n"), ("out of memory", None))
        self.assertEqual(cli.failure_of(0, '{"result": "ok", "units": ["?"]}', ""),
                         ("tvx230-cli ended with exit status 0", None))

    def test_no_report_is_usage_or_no_report(self):
        self.assertEqual(cli.failure_of(2, "", "tvx230-cli: unknown command \"apply\"\nTry 'tvx230-cli --help'.\n"),
                         ('tvx230-cli: unknown command "apply"', "usage"))
        for stdout in ["", "not json", "[1, 2]", '{"units": 3}', "null"]:
            with self.subTest(stdout=stdout):
                message, code = cli.failure_of(-11, stdout, "")
                self.assertEqual(code, "no_report")
                self.assertIn("-11", message)


class ModuleHelpers(unittest.TestCase):
    def test_diff_text_has_one_setting_a_line(self):
        changes = [dict(where="P05", setting="文字サイズ", before="MEDIUM", after="LARGE"),
                   dict(where="アラーム", setting="保持時間", before="010", after="012")]
        self.assertEqual(settings.change_lines(changes, "before"), "P05 文字サイズ: MEDIUM\nアラーム 保持時間: 010\n")
        self.assertEqual(settings.change_lines(changes, "after"), "P05 文字サイズ: LARGE\nアラーム 保持時間: 012\n")
        self.assertEqual(settings.change_lines([], "after"), "")

    def test_backups_compare_by_their_files_only(self):
        files = {"unit.dat": {"size": 3, "sha256": "a" * 64}, "unit.tll": {"size": 4, "sha256": "b" * 64}}
        earlier = dict(format=1, time="2026-01-01T00:00:00Z", cli_version="1.0.0", files=files)
        later = dict(earlier, time="2026-12-08T14:45:47Z", cli_version="1.1.0")
        self.assertEqual(backup.file_digests(earlier), backup.file_digests(later))
        changed = dict(later, files=dict(files, **{"unit.tll": {"size": 4, "sha256": "c" * 64}}))
        self.assertNotEqual(backup.file_digests(earlier), backup.file_digests(changed))
        fewer = dict(later, files={"unit.dat": files["unit.dat"]})
        self.assertNotEqual(backup.file_digests(earlier), backup.file_digests(fewer))
        self.assertIsNone(backup.file_digests(None))
        self.assertIsNone(backup.file_digests(dict(format=1)))

    def test_shown_settings_keep_tabs_in_values_and_skip_other_lines(self):
        text = "P01\tタイトル\t本日は\t晴天\nP05\t文字サイズ\tLARGE\n\nnot a setting\n1日\t0時\t\n"
        self.assertEqual(facts.parse_settings(text), [
            dict(where="P01", setting="タイトル", value="本日は\t晴天"),
            dict(where="P05", setting="文字サイズ", value="LARGE"),
            dict(where="1日", setting="0時", value=""),
        ])


if __name__ == "__main__":
    unittest.main()
