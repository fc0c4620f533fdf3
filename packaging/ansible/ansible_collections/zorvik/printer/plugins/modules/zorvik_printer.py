#!/usr/bin/python
# -*- coding: utf-8 -*-
"""Keeps an LXT-640IV receipt printer's settings as desired state through zorvik-cli."""

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: zorvik_printer
short_description: Keep the settings of an LXT-640IV receipt printer as desired state
description:
  - Runs C(zorvik-cli set --state FILE --json) on the managed host, for the printer on one of its
    serial, parallel or USB ports, or at a network address it reaches.
  - The printer's switches and power save are read first; only the named settings and pins that differ
    are written, every other pin is sent as "no change". The write is read back and the task fails when
    the printer does not hold it.
  - Before a write the previous settings are kept in a rollback status file; restore them with
    C(zorvik-cli set --from FILE).
  - Reports C(changed) only when the printer's settings changed. Check mode runs C(--dry-run) and reports
    what would change; diff mode shows the named settings, power save and pins before and after.
  - A double-byte font other than C([Single Byte Font]) is downloaded into the printer when it does not
    hold that font yet; the result names it in C(font_download).
version_added: "1.0.0"
author:
  - Zorvik developers
options:
  port:
    description:
      - The printer, as C(zorvik-cli --port) takes it, for example C(COM1), C(/dev/ttyUSB0), C(LPT1),
        C(LXT-640IV:usb:1-2:1.0:vid_f5a7:pid_0640) or C(127.0.0.1:9100).
    type: str
    required: true
  baud:
    description: Serial baud rate.
    type: int
    choices: [2400, 4800, 9600, 19200, 38400, 57600, 115200]
  data_bits:
    description: Serial data bits.
    type: int
    choices: [7, 8]
  parity:
    description: Serial parity.
    type: str
    choices: [none, odd, even, mark, space]
  stop_bits:
    description: Serial stop bits.
    type: str
    choices: ["1", "1.5", "2"]
  flow:
    description: Serial flow control.
    type: str
    choices: [hardware, xon, none]
  tcp_port:
    description: TCP port for a network address given without one.
    type: int
  settings:
    description:
      - The named settings to hold. Each list setting is an entry of its list, by text or by index
        (C(zorvik-cli set --list) prints them). Settings left out are not changed.
    type: dict
    suboptions:
      code_page:
        description: Default code page, for example C(WPC1250 (Czech)).
        type: str
      print_speed:
        description: Print speed, for example C(Print speed 2).
        type: str
      emulation:
        description: Emulation, for example C(Emulation 2).
        type: str
      single_font:
        description: Single-byte font, for example C(Font B (9x17)).
        type: str
      double_font:
        description:
          - Double-byte font. A font other than C(No Change) and C([Single Byte Font]) fixes the code page
            (C(code_page) is then left out) and is downloaded when the printer does not hold it.
        type: str
      power_save:
        description: Power save on or off.
        type: bool
      entrance_time:
        description: Power-save entrance time in seconds, 6 to 255.
        type: int
  pins:
    description:
      - Memory switch pins to hold, as C(MSW.PIN) keys (switches 1 to 6, 11 and 12; pins 1 to 8) with the
        states C(on), C(off) or C(keep). A pin that a named setting writes must agree with it.
    type: dict
  rollback_dir:
    description:
      - Folder on the managed host for the rollback status file written before a change. It is made
        when missing. Without it the file goes into the module's working folder.
    type: path
  zorvik_cli:
    description: Path of zorvik-cli on the managed host; found on C(PATH) when not given.
    type: path
requirements:
  - zorvik-cli on the managed host
notes:
  - Supports check mode and diff mode.
  - The state given is the shape C(zorvik-cli get --json) prints, so the settings of one printer can be
    copied to another.
"""

EXAMPLES = r"""
- name: Every till printer prints fast in the Czech code page, with power save after a minute
  zorvik.printer.zorvik_printer:
    port: /dev/ttyS0
    baud: 38400
    settings:
      code_page: WPC1250 (Czech)
      print_speed: Print speed 1
      power_save: true
      entrance_time: 60
    pins:
      "5.3": "on"
    rollback_dir: /var/lib/zorvik/rollback

- name: The kitchen printer downloads the Korean font once
  zorvik.printer.zorvik_printer:
    port: 127.0.0.1:9100
    settings:
      double_font: KS5601(Korean)
  register: kitchen
"""

RETURN = r"""
changed:
  description: Whether the printer's settings changed (in check mode, would change).
  returned: always
  type: bool
changes:
  description: The pins written (or to be), each with switch, pin, from, to and label.
  returned: when the printer was read
  type: list
  elements: dict
before:
  description: The printer's settings as read, in the shape of C(zorvik-cli get --json).
  returned: when the printer was read
  type: dict
after:
  description: The settings read back after the write; in check mode, the settings that would be held.
  returned: when the printer was read
  type: dict
font_download:
  description: The double-byte font the write downloaded (or, in check mode, would download).
  returned: always
  type: str
rollback:
  description: The rollback status file written before the change.
  returned: when something was written
  type: str
stage:
  description: On failure, the step that failed, one of connect, identify, read, write, verify, font download.
  returned: on failure
  type: str
cmd:
  description: The command line run.
  returned: always
  type: list
"""

import json
import os
import re
import time

from ansible.module_utils.basic import AnsibleModule

SETTING_KEYS = {
    "code_page": "codePage",
    "print_speed": "printSpeed",
    "emulation": "emulation",
    "single_font": "singleFont",
    "double_font": "doubleFont",
}
PIN_KEY = re.compile(r"^\s*(\d+)\.(\d+)\s*$")


def desired_state(module):
    """The state file text: the shape "zorvik-cli get --json" prints."""
    settings = module.params["settings"] or {}
    state = {"settings": {}}
    for key, name in SETTING_KEYS.items():
        if settings.get(key) is not None:
            state["settings"][name] = settings[key]
    if settings.get("power_save") is not None or settings.get("entrance_time") is not None:
        state["powerSave"] = {"enabled": settings.get("power_save"), "entranceTime": settings.get("entrance_time")}
    switches = {}
    for key, value in (module.params["pins"] or {}).items():
        match = PIN_KEY.match(str(key))
        if not match:
            module.fail_json(msg="pins: %r is not MSW.PIN, for example 2.3" % (key,))
        if isinstance(value, bool):
            value = "on" if value else "off"
        switches.setdefault(int(match.group(1)), []).append({"pin": int(match.group(2)), "state": str(value)})
    state["switches"] = [{"switch": number, "pins": pins} for number, pins in sorted(switches.items())]
    return state


def command(module, cli, state_path):
    params = module.params
    cmd = [cli, "set", "--state", state_path, "--json", "--port", params["port"]]
    for option, name in (("--baud", "baud"), ("--data-bits", "data_bits"), ("--parity", "parity"),
                         ("--stop-bits", "stop_bits"), ("--flow", "flow"), ("--tcp-port", "tcp_port")):
        if params[name] is not None:
            cmd += [option, str(params[name])]
    if module.check_mode:
        cmd.append("--dry-run")
    elif params["rollback_dir"]:
        folder = params["rollback_dir"]
        if not os.path.isdir(folder):
            try:
                os.makedirs(folder)
            except OSError as error:
                module.fail_json(msg="rollback_dir %s: %s" % (folder, error))
        name = "zorvik-rollback-%s-%s.sts" % (re.sub(r"[^A-Za-z0-9._-]", "_", params["port"]),
                                               time.strftime("%Y%m%d-%H%M%S"))
        cmd += ["--rollback", os.path.join(folder, name)]
    return cmd


def diff_view(state):
    """The named settings, power save and every pin, for diff mode."""
    if not state:
        return {}
    pins = {}
    for switch in state.get("switches", []):
        for pin in switch.get("pins", []):
            pins["%d.%d" % (switch["switch"], pin["pin"])] = pin["state"]
    return {"settings": state.get("settings"), "powerSave": state.get("powerSave"), "pins": pins}


def main():
    # The module's parameters, handed to AnsibleModule as its first argument.
    parameters = dict(
        port=dict(type="str", required=True),
        baud=dict(type="int", choices=[2400, 4800, 9600, 19200, 38400, 57600, 115200]),
        data_bits=dict(type="int", choices=[7, 8]),
        parity=dict(type="str", choices=["none", "odd", "even", "mark", "space"]),
        stop_bits=dict(type="str", choices=["1", "1.5", "2"]),
        flow=dict(type="str", choices=["hardware", "xon", "none"]),
        tcp_port=dict(type="int"),
        settings=dict(
            type="dict",
            options=dict(
                code_page=dict(type="str"),
                print_speed=dict(type="str"),
                emulation=dict(type="str"),
                single_font=dict(type="str"),
                double_font=dict(type="str"),
                power_save=dict(type="bool"),
                entrance_time=dict(type="int"),
            ),
        ),
        pins=dict(type="dict"),
        rollback_dir=dict(type="path"),
        zorvik_cli=dict(type="path"),
    )
    module = AnsibleModule(parameters, supports_check_mode=True)
    cli = module.params["zorvik_cli"] or module.get_bin_path("zorvik-cli", required=True)
    state = desired_state(module)
    if not state["settings"] and "powerSave" not in state and not state["switches"]:
        module.fail_json(msg="name at least one setting or pin to hold")
    state_path = os.path.join(module.tmpdir, "zorvik-state.json")
    with open(state_path, "w") as handle:
        json.dump(state, handle)
    cmd = command(module, cli, state_path)
    rc, out, err = module.run_command(cmd)

    result = dict(changed=False, cmd=cmd, rc=rc, font_download=None)
    try:
        report = json.loads(out)
    except ValueError:
        report = None
    if not isinstance(report, dict):
        # Bad arguments (status 2) print no JSON: the first line of standard error says why.
        lines = [line for line in (err or out).splitlines() if line.strip()]
        module.fail_json(msg=lines[0] if lines else "zorvik-cli ended with status %d" % rc,
                         stderr=err, stdout=out, **result)

    result.update(
        changed=bool(report.get("changed", False)),
        changes=report.get("changes", []),
        before=report.get("before"),
        after=report.get("after"),
        font_download=report.get("fontDownload"),
        rollback=report.get("rollback"),
    )
    if module._diff and report.get("before") is not None:
        result["diff"] = dict(before=diff_view(report.get("before")), after=diff_view(report.get("after")),
                              before_header="%s (read)" % module.params["port"],
                              after_header="%s (%s)" % (module.params["port"],
                                                         "would hold" if module.check_mode else "read back"))
    if rc != 0 or report.get("error"):
        result["stage"] = report.get("stage")
        module.fail_json(msg=report.get("error") or "zorvik-cli ended with status %d" % rc, stderr=err, **result)
    if result["font_download"]:
        result["msg"] = "%s the font %s" % ("Would download" if module.check_mode else "Downloaded",
                                            result["font_download"])
    module.exit_json(**result)


if __name__ == "__main__":
    main()
