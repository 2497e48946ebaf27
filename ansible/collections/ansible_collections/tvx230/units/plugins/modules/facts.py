#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: 2026 TVX-230 tool developers. All rights reserved; see LICENSE.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: facts
short_description: Read a TVX-230 unit's version and settings as facts
version_added: "1.0.0"
description:
  - Reads the unit back (C(tvx230-cli read-back)) into a temporary settings document on the managed node,
    lists every setting of it (C(tvx230-cli show)) and returns them as facts. The temporary files are
    always removed.
  - Read only; the task is never C(changed). It reads in check mode too.
extends_documentation_fragment:
  - tvx230.units.link
  - ansible.builtin.action_common_attributes
attributes:
  check_mode:
    support: full
  diff_mode:
    support: none
  facts:
    support: full
  platform:
    platforms: posix
author:
  - TVX-230 tool developers (@tvx230)
"""

EXAMPLES = r"""
- name: Read every unit
  tvx230.units.facts:
    tcp: "{{ unit_tcp }}"
    pace: reply

- name: Units whose page 5 is not in large characters
  ansible.builtin.debug:
    msg: "{{ inventory_hostname }}: {{ tvx230_settings_by_name['P05 文字サイズ'] }}"
  when: tvx230_settings_by_name['P05 文字サイズ'] != 'LARGE'
"""

RETURN = r"""
ansible_facts:
  description: The unit's version and settings.
  returned: always
  type: complex
  contains:
    tvx230_version:
      description: The unit's version answer, or null when the tool does not report it.
      type: str
      sample: "1.00"
    tvx230_settings:
      description: Every setting of the unit, in the tool's words and order (pages, schedule days, groups).
      type: list
      elements: dict
      sample: [{"where": "P05", "setting": "文字サイズ", "value": "MEDIUM"}]
    tvx230_settings_by_name:
      description: The same settings keyed C(WHERE SETTING).
      type: dict
      sample: {"P05 文字サイズ": "MEDIUM"}
"""

import os
import shutil
import tempfile

from ansible_collections.tvx230.units.plugins.module_utils.tvx230_cli import UnitCli, unit_module


def parse_settings(text):
    """The lines WHERE<TAB>SETTING<TAB>VALUE as a list of dicts; a value may hold tabs of its own."""
    settings = []
    for line in text.splitlines():
        fields = line.split("\t", 2)
        if len(fields) == 3:
            settings.append(dict(where=fields[0], setting=fields[1], value=fields[2]))
    return settings


def main():
    module = unit_module(dict())
    cli = UnitCli(module)
    scratch = tempfile.mkdtemp(prefix="tvx230-facts-", dir=module.tmpdir)
    try:
        document = os.path.join(scratch, "unit.dat")
        report, unit = cli.run_unit(["read-back", "-o", document])
        settings = parse_settings(cli.run_offline(["show", document]))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    if not settings:
        module.fail_json(msg="tvx230-cli show listed no setting of the unit's document", reason_code="document")
    by_name = dict(("%s %s" % (s["where"], s["setting"]), s["value"]) for s in settings)
    module.exit_json(changed=False, ansible_facts=dict(tvx230_version=unit.get("version"),
                                                       tvx230_settings=settings,
                                                       tvx230_settings_by_name=by_name))


if __name__ == "__main__":
    main()
