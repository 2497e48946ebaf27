#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: 2026 TVX-230 tool developers. All rights reserved; see LICENSE.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: settings
short_description: Bring a TVX-230 unit's settings to a settings document or backup
version_added: "1.0.0"
description:
  - Reads the unit, compares it with I(src), sends only the settings that differ (each with its whole
    value from I(src)) and reads back what was sent, with C(tvx230-cli apply).
  - The task is C(changed) when something differed. A second run with the same I(src) sends no setting
    and reports no change.
  - In check mode nothing is sent (C(tvx230-cli apply --check)); the unit is still read, and the task
    tells whether something would change.
  - "In diff mode the changes are shown as text, one setting a line, C(WHERE SETTING: VALUE)."
options:
  src:
    description:
      - The settings document (C(.dat)) on the managed node, or a backup folder made by
        M(tvx230.units.backup) (the document and the three glyph banks, with its C(manifest.json)).
    type: path
    required: true
extends_documentation_fragment:
  - tvx230.units.link
  - ansible.builtin.action_common_attributes
attributes:
  check_mode:
    support: full
  diff_mode:
    support: full
  platform:
    platforms: posix
author:
  - TVX-230 tool developers (@tvx230)
"""

EXAMPLES = r"""
- name: Give every unit the site's settings
  tvx230.units.settings:
    src: /srv/tvx230/site.dat
    tcp: "{{ unit_tcp }}"
    pace: reply

- name: Restore a unit on an RS-485 bus from its backup folder
  tvx230.units.settings:
    src: /srv/tvx230/backups/unit05
    serial: /dev/ttyUSB0
    rs485: 5

- name: Show what would change, without sending
  tvx230.units.settings:
    src: /srv/tvx230/site.dat
    tcp: 192.168.1.20:9004
  check_mode: true
  diff: true
"""

RETURN = r"""
changed:
  description: Whether a setting differed (in check mode, whether one would be sent).
  returned: always
  type: bool
changes:
  description: The settings that differed, in the tool's words; before is the unit's value, after is I(src)'s.
  returned: success
  type: list
  elements: dict
  contains:
    where:
      description: The page, day or group of the setting.
      type: str
      sample: P05
    setting:
      description: The setting.
      type: str
      sample: 文字サイズ
    before:
      description: The unit's value before the run.
      type: str
      sample: MEDIUM
    after:
      description: The value of I(src).
      type: str
      sample: LARGE
  sample: [{"where": "P05", "setting": "文字サイズ", "before": "MEDIUM", "after": "LARGE"}]
version:
  description: The unit's version answer, or null when it was not read.
  returned: success
  type: str
  sample: "1.00"
reason_code:
  description: On failure, the tool's stable word for the cause.
  returned: failure
  type: str
  sample: timeout
rc:
  description: On failure, the exit status of C(tvx230-cli).
  returned: failure
  type: int
  sample: 1
"""

import os

from ansible_collections.tvx230.units.plugins.module_utils.tvx230_cli import UnitCli, unit_module


def change_lines(changes, side):
    """One line a change, "WHERE SETTING: VALUE", with the value of that side."""
    return "".join("%s %s: %s\n" % (c.get("where", ""), c.get("setting", ""), c.get(side, ""))
                   for c in changes)


def main():
    module = unit_module(dict(src=dict(type="path", required=True)))
    src = module.params["src"]
    if not os.path.exists(src):
        module.fail_json(msg="src %s does not exist on the managed node" % src, reason_code="file")
    if not (os.path.isfile(src) or os.path.isdir(src)):
        module.fail_json(msg="src %s is neither a settings document nor a backup folder" % src,
                         reason_code="file")

    cli = UnitCli(module)
    command = ["apply", src] + (["--check"] if module.check_mode else [])
    report, unit = cli.run_unit(
        command, extra=lambda unit: dict(changes=unit.get("changes") or [], version=unit.get("version")))

    changes = unit.get("changes") or []
    result = dict(changed=bool(unit.get("changed")), changes=changes, version=unit.get("version"))
    if module._diff:
        result["diff"] = dict(before_header=unit.get("label") or "unit", after_header=src,
                              before=change_lines(changes, "before"), after=change_lines(changes, "after"))
    module.exit_json(**result)


if __name__ == "__main__":
    main()
