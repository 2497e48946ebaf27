# -*- coding: utf-8 -*-
# Copyright: 2026 TVX-230 tool developers. All rights reserved; see LICENSE.

from __future__ import absolute_import, division, print_function

__metaclass__ = type


class ModuleDocFragment(object):
    # The link to one unit and the tool that drives it, shared by every module of the collection.
    DOCUMENTATION = r"""
options:
  tcp:
    description:
      - The unit on the network, as C(HOST:PORT) (the port defaults to 9004; an IPv6 address with a port
        is written C([ADDR]:PORT)).
      - Exactly one of I(tcp) and I(serial).
    type: str
  serial:
    description:
      - The serial device of the managed node the unit hangs on (38400 baud, 8 data bits, even parity,
        1 stop bit), for example C(/dev/ttyUSB0).
      - Exactly one of I(tcp) and I(serial).
    type: str
  rs485:
    description:
      - With I(serial), the unit's RS-485 slave address, 0 to 31. Without it the line is RS-232C.
      - Several units on one bus are several inventory hosts with the same I(serial), one address each.
        They share the line, so the runs on one managed node wait for each other on the device (up to an
        hour) and the units of a bus take turns by themselves while units elsewhere run in parallel.
    type: int
  pace:
    description:
      - Step pacing of the tool's sequences. C(reply) sends the next step as soon as the answer to the
        previous one arrived; a number is a fixed tick in milliseconds.
      - When left out, the tool's own pace for each sequence (400 ms for a read-back).
    type: raw
  reply_timeout:
    description:
      - How long one answer may take, in seconds (decimals allowed). The tool's default is 3.
    type: float
  cli:
    description:
      - Path of C(tvx230-cli) on the managed node.
      - When left out, C(tvx230-cli) is looked for on the PATH.
    type: path
notes:
  - The modules run C(tvx230-cli) on the managed node (the site computer the unit is reached from) and
    read its JSON report.
  - A unit that fails fails only its host. The failure carries the tool's message in C(msg), its stable
    word in C(reason_code) (C(timeout), C(connection_refused), C(connection_closed), C(error_reply),
    C(mode_difference), C(unexpected_answer), C(not_read), C(differences), C(interrupted), C(file),
    C(document); C(usage) when the module or the tool refused an option's value, C(no_report) when the
    tool ended without a report), the tool's exit status in C(rc) and its standard error in C(stderr).
requirements:
  - C(tvx230-cli) on the managed node.
"""
