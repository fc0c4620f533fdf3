# Keeps each host's last task result whole (diff included) as JSON in
# $ZORVIK_RESULT_DIR/HOST, so the playbook test can read what the module returned.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json
import os

from ansible.plugins.callback import CallbackBase

DOCUMENTATION = r"""
name: result_files
type: notification
short_description: each host's last task result as a JSON file
description: Writes the whole result of every host's last task to $ZORVIK_RESULT_DIR/HOST.
"""


class CallbackModule(CallbackBase):
    CALLBACK_VERSION = 2.0
    CALLBACK_TYPE = "notification"
    CALLBACK_NAME = "result_files"
    CALLBACK_NEEDS_ENABLED = True

    def _keep(self, result, failed):
        folder = os.environ["ZORVIK_RESULT_DIR"]
        os.makedirs(folder, exist_ok=True)
        data = dict(result._result)
        data["failed"] = failed
        with open(os.path.join(folder, result._host.get_name()), "w") as handle:
            json.dump(data, handle, default=str)

    def v2_runner_on_ok(self, result):
        self._keep(result, False)

    def v2_runner_on_failed(self, result, ignore_errors=False):
        self._keep(result, True)
