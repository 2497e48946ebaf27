#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: 2026 TVX-230 tool developers. All rights reserved; see LICENSE.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: backup
short_description: Back a TVX-230 unit up into a folder
version_added: "1.0.0"
description:
  - Reads the whole unit (its settings and the three glyph banks) into I(dest) with
    C(tvx230-cli backup). It then holds the settings document C(unit.dat), the banks C(unit.tll), C(unit.tlm) and
    C(unit.tls), and C(manifest.json) with each file's size and SHA-256.
  - I(dest) is replaced whole, and only when everything was read; a failed run leaves the earlier
    backup as it was. A folder that holds anything but a backup's files is refused.
  - The task is C(changed) when the new backup's files differ from the earlier backup's (the
    manifests' SHA-256 are compared; the time and the tool's version are not). A missing or unreadable
    earlier backup counts as changed.
  - In check mode the unit is backed up into a temporary folder, which is compared and removed;
    I(dest) is not touched.
options:
  dest:
    description:
      - The backup folder on the managed node. It is made if need be.
    type: path
    required: true
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
seealso:
  - module: tvx230.units.settings
    description: Restores a unit from a backup folder (I(src) the folder).
author:
  - TVX-230 tool developers (@tvx230)
"""

EXAMPLES = r"""
- name: Back every unit up on its site computer
  tvx230.units.backup:
    dest: "/srv/tvx230/backups/{{ inventory_hostname }}"
    tcp: "{{ unit_tcp }}"
    pace: reply

- name: A unit on an RS-485 bus
  tvx230.units.backup:
    dest: /srv/tvx230/backups/unit05
    serial: /dev/ttyUSB0
    rs485: 5
"""

RETURN = r"""
changed:
  description: Whether the backup's files differ from those of the backup that was in I(dest).
  returned: always
  type: bool
version:
  description: The unit's version answer.
  returned: success
  type: str
  sample: "1.00"
files:
  description: The backup's files, as its manifest lists them (in check mode, those a backup would hold).
  returned: success
  type: dict
  sample: {"unit.dat": {"size": 10060, "sha256": "045a31d515876e3718588e383a39971265510cb2f7a049f06012b6d4e983aaef"}}
dest:
  description: The backup folder.
  returned: success
  type: str
  sample: /srv/tvx230/backups/unit05
reason_code:
  description: On failure, the tool's stable word for the cause.
  returned: failure
  type: str
  sample: file
rc:
  description: On failure, the exit status of C(tvx230-cli).
  returned: failure
  type: int
  sample: 1
"""

import json
import os
import shutil
import tempfile

from ansible_collections.tvx230.units.plugins.module_utils.tvx230_cli import UnitCli, unit_module

MANIFEST = "manifest.json"


def read_manifest(folder):
    """The backup manifest in folder, or None when there is none that can be read."""
    try:
        with open(os.path.join(folder, MANIFEST), "rb") as f:
            manifest = json.loads(f.read().decode("utf-8"))
    except (OSError, ValueError):
        return None
    return manifest if isinstance(manifest, dict) else None


def file_digests(manifest):
    """What makes two backups the same: each file's name and SHA-256 (not the time nor the tool)."""
    if manifest is None or not isinstance(manifest.get("files"), dict):
        return None
    return dict((name, entry.get("sha256") if isinstance(entry, dict) else None)
                for name, entry in manifest["files"].items())


def main():
    module = unit_module(dict(dest=dict(type="path", required=True)))
    dest = module.params["dest"]
    cli = UnitCli(module)
    before = file_digests(read_manifest(dest))

    scratch = None
    try:
        if module.check_mode:
            scratch = tempfile.mkdtemp(prefix="tvx230-backup-", dir=module.tmpdir)
            target = os.path.join(scratch, "backup")
        else:
            target = dest
        report, unit = cli.run_unit(["backup", target])
        manifest = read_manifest(target)
        if manifest is None:
            module.fail_json(msg="the backup in %s has no readable %s" % (target, MANIFEST),
                             reason_code="file", rc=0)
    finally:
        if scratch is not None:
            shutil.rmtree(scratch, ignore_errors=True)

    after = file_digests(manifest)
    module.exit_json(changed=before is None or before != after,
                     version=unit.get("version") or manifest.get("version"),
                     files=manifest.get("files"), dest=dest)


if __name__ == "__main__":
    main()
