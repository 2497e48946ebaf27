#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: 2026 TVX-230 tool developers. All rights reserved; see LICENSE.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: clock
short_description: Set a TVX-230 unit's clock
version_added: "1.0.0"
description:
  - Sets the unit's date and time with C(tvx230-cli set-clock), to the managed node's clock or to I(at).
  - A clock always moves, so the task is always C(changed).
  - In check mode nothing is sent.
options:
  at:
    description:
      - The date and time to set, C(YYYY-MM-DD HH:MM:SS) (years 2000 to 2099). When left out, the managed
        node's local time at the moment of sending.
    type: str
extends_documentation_fragment:
  - tvx230.units.link
  - ansible.builtin.action_common_attributes
attributes:
  check_mode:
    support: full
  diff_mode:
    support: none
  platform:
    platforms: posix
author:
  - TVX-230 tool developers (@tvx230)
"""

EXAMPLES = r"""
- name: Set every unit's clock to its site computer's
  tvx230.units.clock:
    tcp: "{{ unit_tcp }}"

- name: Set a fixed time on the unit at RS-485 address 5
  tvx230.units.clock:
    serial: /dev/ttyUSB0
    rs485: 5
    at: "2027-01-01 00:00:00"
"""

RETURN = r"""
changed:
  description: Always true.
  returned: always
  type: bool
time_set:
  description: The date and time sent to the unit, C(YYYY-MM-DDTHH:MM:SS); null in check mode.
  returned: always
  type: str
  sample: "2026-12-08T14:45:48"
seconds_answered:
  description: When the unit answered the command that set the seconds (UTC); null in check mode.
  returned: always
  type: str
  sample: "2026-12-08T14:45:47.998Z"
reason_code:
  description: On failure, the tool's stable word for the cause.
  returned: failure
  type: str
  sample: connection_refused
rc:
  description: On failure, the exit status of C(tvx230-cli).
  returned: failure
  type: int
  sample: 1
"""

import datetime

from ansible_collections.tvx230.units.plugins.module_utils.tvx230_cli import UnitCli, unit_module

AT_FORMAT = "%Y-%m-%d %H:%M:%S"


def main():
    module = unit_module(dict(at=dict(type="str")))
    at = module.params["at"]
    if at is not None:
        # The tool checks the years it takes; the form is checked here too, so that check mode,
        # which runs nothing, does not pass a typing error.
        try:
            datetime.datetime.strptime(at, AT_FORMAT)
        except ValueError:
            module.fail_json(msg='at takes a date and time as "YYYY-MM-DD HH:MM:SS", not "%s"' % at,
                             reason_code="usage")
    cli = UnitCli(module)
    if module.check_mode:
        module.exit_json(changed=True, time_set=None, seconds_answered=None)
    report, unit = cli.run_unit(["set-clock"] + (["--at", at] if at is not None else []))
    module.exit_json(changed=True, time_set=unit.get("time_set"), seconds_answered=unit.get("seconds_answered"))


if __name__ == "__main__":
    main()
