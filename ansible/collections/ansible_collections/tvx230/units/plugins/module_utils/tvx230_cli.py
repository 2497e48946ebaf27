# -*- coding: utf-8 -*-
# Copyright: 2026 TVX-230 tool developers. All rights reserved; see LICENSE.
"""Running tvx230-cli for the modules of this collection.

Every module talks to its unit through the command-line tool and reads the run's JSON report; none
speaks the unit's protocol itself. This file holds, once, the link options (their definitions and
their rules), finding the tool, running it and turning a failed run into the host's failure.
"""

from __future__ import absolute_import, division, print_function

__metaclass__ = type

import errno
import fcntl
import json
import os
import re
import tempfile
import time

from ansible.module_utils.basic import AnsibleModule

# The options every module takes; the documentation of them is the doc fragment tvx230.units.link.
LINK_OPTIONS = dict(
    tcp=dict(type="str"),
    serial=dict(type="str"),
    rs485=dict(type="int"),
    pace=dict(type="raw"),
    reply_timeout=dict(type="float"),
    cli=dict(type="path"),
)
LINK_MUTUALLY_EXCLUSIVE = [("tcp", "serial")]
LINK_REQUIRED_ONE_OF = [("tcp", "serial")]
LINK_REQUIRED_BY = dict(rs485="serial")

RS485_ADDRESSES = range(0, 32)
CLI_NAME = "tvx230-cli"

# Exit status of a usage error: the tool printed its message and no report.
EXIT_USAGE = 2

# How long a run waits for the serial line while other runs on the same managed node use it: the units of
# one bus take turns, and a bus of 32 units applying a document at 38400 baud takes about ten minutes.
SERIAL_WAIT_SECONDS = 3600
SERIAL_POLL_SECONDS = 0.2


def serial_lock_path(device):
    """The lock file every run on this device takes: one per device, however the device is named."""
    name = re.sub(r"[^A-Za-z0-9_.-]", "_", os.path.realpath(device).lstrip("/"))
    return os.path.join(tempfile.gettempdir(), "tvx230-serial-%s.lock" % name)


class SerialLine:
    """Holds the serial device for one run: the runs of the units of one bus (several inventory hosts on
    the same managed node, run in parallel by Ansible) go one after another instead of failing to open
    a line another run holds."""

    def __init__(self, device, wait_seconds=SERIAL_WAIT_SECONDS):
        self.device = device
        self.wait_seconds = wait_seconds
        self.handle = None

    def acquire(self):
        """True once held; False when the line stayed busy for the whole wait. A lock file that cannot
        be made (another user's, a read-only folder) is no reason to refuse the run: the tool still
        refuses a line another program holds, as it would without the collection."""
        try:
            self.handle = os.fdopen(os.open(serial_lock_path(self.device), os.O_RDWR | os.O_CREAT, 0o666), "r+")
        except OSError:
            return True
        deadline = time.monotonic() + self.wait_seconds
        while True:
            try:
                fcntl.flock(self.handle.fileno(), fcntl.LOCK_EX | fcntl.LOCK_NB)
                return True
            except OSError as error:
                if error.errno not in (errno.EAGAIN, errno.EACCES, errno.EWOULDBLOCK):
                    return True
            if time.monotonic() >= deadline:
                self.release()
                return False
            time.sleep(SERIAL_POLL_SECONDS)

    def release(self):
        if self.handle is not None:
            self.handle.close()  # closing the file gives the lock back
            self.handle = None


def unit_module(own_options, supports_check_mode=True):
    """An AnsibleModule with the link options beside the module's own ones."""
    options = dict(LINK_OPTIONS)
    options.update(own_options)
    return AnsibleModule(
        argument_spec=options,
        mutually_exclusive=LINK_MUTUALLY_EXCLUSIVE,
        required_one_of=LINK_REQUIRED_ONE_OF,
        required_by=LINK_REQUIRED_BY,
        supports_check_mode=supports_check_mode,
    )


def pace_argument(value):
    """The --pace argument for the option's value, or None when the value is none of its forms.

    Ansible hands an integer from YAML as int and a quoted one as text; both mean milliseconds.
    """
    if value is None or isinstance(value, bool):
        return None
    if isinstance(value, int):
        return str(value) if value >= 0 else None
    text = str(value).strip()
    if text == "reply" or (text.isdigit() and text.isascii()):
        return text
    return None


def link_arguments(params):
    """The tool's link and pacing arguments built from the module's options.

    Returns (arguments, None), or (None, message) when an option's value cannot be passed on.
    """
    args = []
    if params.get("tcp") is not None:
        tcp = params["tcp"].strip()
        if not tcp:
            return None, "tcp must name a unit as HOST:PORT"
        args += ["--tcp", tcp]
    else:
        serial = params["serial"].strip()
        if not serial:
            return None, "serial must name a device"
        args += ["--serial", serial]
        if params.get("rs485") is not None:
            if params["rs485"] not in RS485_ADDRESSES:
                return None, "rs485 must be an address from 0 to 31, not %d" % params["rs485"]
            args += ["--rs485", str(params["rs485"])]
    if params.get("pace") is not None:
        pace = pace_argument(params["pace"])
        if pace is None:
            return None, 'pace must be "reply" or a number of milliseconds, not %r' % (params["pace"],)
        args += ["--pace", pace]
    if params.get("reply_timeout") is not None:
        if not params["reply_timeout"] > 0:
            return None, "reply_timeout must be a number of seconds above 0"
        args += ["--reply-timeout", repr(float(params["reply_timeout"]))]
    return args, None


def read_report(stdout):
    """The report the tool printed with --json, or None when stdout holds none."""
    try:
        report = json.loads(stdout)
    except ValueError:
        return None
    if not isinstance(report, dict) or not isinstance(report.get("units"), list):
        return None
    return report


def first_unit(report):
    """The report's one unit (the modules name one link), or an empty object."""
    units = report.get("units") if report else None
    return units[0] if units and isinstance(units[0], dict) else {}


def tool_message(text):
    """The tool's last message on standard error: its last notice (the lines it starts with its name),
    not the hint to --help that follows a usage error; else the last line."""
    lines = [line.strip() for line in (text or "").splitlines() if line.strip()]
    notices = [line for line in lines if line.startswith(CLI_NAME + ":")]
    return (notices or lines or [""])[-1]


def failure_of(rc, stdout, stderr):
    """Why a run failed, as (message, reason_code), or None when it succeeded.

    A run succeeds when the tool ends 0 and its one unit reports ok. The message is the tool's own
    words: the unit's reason, else the run's, else the last line the tool wrote on standard error.
    reason_code is the report's stable word; a run without a report (the tool refused its arguments,
    or ended without writing one) gets "usage" or "no_report".
    """
    report = read_report(stdout)
    if report is None:
        code = "usage" if rc == EXIT_USAGE else "no_report"
        message = tool_message(stderr) or "%s ended with exit status %d and no report" % (CLI_NAME, rc)
        return message, code
    unit = first_unit(report)
    if rc == 0 and report.get("result") == "ok" and unit.get("result") == "ok":
        return None
    message = unit.get("reason") or report.get("reason") or tool_message(stderr)
    if not message:
        message = "%s ended with exit status %d" % (CLI_NAME, rc)
    return message, unit.get("reason_code") or report.get("reason_code")


class UnitCli:
    """tvx230-cli as the module's options name it: one unit over one link."""

    def __init__(self, module):
        self.module = module
        self.path = self._find()
        self.link, problem = link_arguments(module.params)
        if problem:
            module.fail_json(msg=problem, reason_code="usage")

    def _find(self):
        path = self.module.params.get("cli")
        if path is None:
            return self.module.get_bin_path(CLI_NAME, required=True)
        if not (os.path.isfile(path) and os.access(path, os.X_OK)):
            self.module.fail_json(msg="cli %s is not an executable file" % path, reason_code="file")
        return path

    def run_unit(self, command, extra=None):
        """Runs COMMAND against the unit; returns (report, the unit's object) on success.

        On any failure the host fails with the tool's message, reason_code, exit status and standard
        error; `extra` (a dict or a function of the unit's object) adds to that failure.
        """
        args = [self.path] + self.link + ["--quiet", "--json"] + list(command)
        line = SerialLine(self.module.params["serial"]) if self.module.params.get("serial") else None
        if line is not None and not line.acquire():
            self.module.fail_json(msg="the serial line %s stayed busy with other runs for %d s"
                                  % (line.device, line.wait_seconds), reason_code="timeout", cmd=args)
        try:
            rc, stdout, stderr = self.module.run_command(args)
        finally:
            if line is not None:
                line.release()
        failure = failure_of(rc, stdout, stderr)
        report = read_report(stdout)
        unit = first_unit(report)
        if failure is not None:
            message, code = failure
            details = extra(unit) if callable(extra) else dict(extra or {})
            self.module.fail_json(msg=message, reason_code=code, rc=rc, stderr=stderr,
                                  cmd=args, **details)
        return report, unit

    def run_offline(self, command):
        """Runs an offline command (no link); returns its standard output, or fails the host."""
        args = [self.path] + list(command)
        rc, stdout, stderr = self.module.run_command(args)
        if rc != 0:
            message = tool_message(stderr) or "%s ended with exit status %d" % (CLI_NAME, rc)
            code = "usage" if rc == EXIT_USAGE else "document"
            self.module.fail_json(msg=message, reason_code=code, rc=rc, stderr=stderr, cmd=args)
        return stdout
