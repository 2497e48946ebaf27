"""A stdout callback for the collection's test: what each task did on the hosts, in lines a shell reads.

One line per task, NAME<TAB>ok=N changed=N failed=N (a host counts once per task, loops included),
then one line per failed host, failed<TAB>HOST<TAB>reason_code<TAB>msg.
"""

from ansible.plugins.callback import CallbackBase

DOCUMENTATION = """
    name: task_results
    type: stdout
    short_description: each task's count of hosts ok, changed and failed, and every host's failure
    description:
      - For the tvx230.units collection's test.
"""


class CallbackModule(CallbackBase):
    CALLBACK_VERSION = 2.0
    CALLBACK_TYPE = "stdout"
    CALLBACK_NAME = "task_results"

    def __init__(self):
        super().__init__()
        self.tasks = []

    def v2_playbook_on_task_start(self, task, is_conditional):
        self.tasks.append((task.get_name(), {}))

    def record(self, result, failed):
        self.tasks[-1][1][result._host.get_name()] = (failed, result._result)

    def v2_runner_on_ok(self, result):
        self.record(result, False)

    def v2_runner_on_failed(self, result, ignore_errors=False):
        self.record(result, True)

    def v2_runner_on_unreachable(self, result):
        self.record(result, True)

    def v2_playbook_on_stats(self, stats):
        failures = []
        for name, hosts in self.tasks:
            failed = sorted(host for host, (fail, _) in hosts.items() if fail)
            changed = sum(1 for fail, result in hosts.values() if not fail and result.get("changed"))
            self._display.display("%s\tok=%d changed=%d failed=%d" % (name, len(hosts) - len(failed), changed,
                                                                     len(failed)))
            failures += [(host, hosts[host][1]) for host in failed]
        for host, result in failures:
            message = str(result.get("msg", "")).replace("\n", " ")
            self._display.display("failed\t%s\t%s\t%s" % (host, result.get("reason_code"), message))
