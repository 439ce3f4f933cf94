#!/usr/bin/env python3
"""scanix-cli watch end to end: devices found, one switched off, one changed, clean stop."""
import json
import select
import signal
import subprocess
import sys
import time

sys.dont_write_bytecode = True
from cli_device_test import FLOODER  # noqa: E402
from cli_support import CLI, CliTestCase, mac, main  # noqa: E402


class WatchTest(CliTestCase):
    def read_events(self, proc, events, done, seconds):
        deadline = time.monotonic() + seconds
        while not done(events) and time.monotonic() < deadline:
            ready, _, _ = select.select([proc.stdout], [], [], max(0.0, deadline - time.monotonic()))
            if ready:
                line = proc.stdout.readline()
                if not line:
                    break
                events.append(json.loads(line))
        return done(events)

    def test_reports_found_gone_changed_and_stops_on_sigterm(self):
        sim = self.lan1()
        proc = subprocess.Popen(["ip", "netns", "exec", self.net.ns("pc"), CLI, "watch", "--interval", "5",
                                 "--format", "jsonl"], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        try:
            events = []
            found = lambda evs: len({e["mac"] for e in evs if e["event"] == "found"}) == 7  # noqa: E731
            self.assertTrue(self.read_events(proc, events, found, 10), events)
            self.assertTrue(all(e["time"].endswith("Z") and e["device"]["type"].startswith("QMX_") for e in events))

            sim.command("off %s" % mac(1, 2))
            sim.command("set %s name=Renamed" % mac(1, 3))
            gone = lambda evs: any(e["event"] == "gone" and e["mac"] == mac(1, 2) for e in evs)  # noqa: E731
            changed = lambda evs: any(e["event"] == "changed" and e["mac"] == mac(1, 3) for e in evs)  # noqa: E731
            self.assertTrue(self.read_events(proc, events, lambda evs: gone(evs) and changed(evs), 15), events)
            change = next(e for e in events if e["event"] == "changed")
            self.assertEqual(change["changes"], {"name": {"old": "MDVR-4", "new": "Renamed"}})
            # A gone device is named with what was known of it.
            self.assertEqual(next(e for e in events if e["event"] == "gone")["device"]["ip"], "192.168.1.66")

            proc.send_signal(signal.SIGTERM)
            self.assertEqual(proc.wait(10), 0)
        finally:
            if proc.poll() is None:
                proc.kill()
                proc.wait()
            proc.stdout.close()
            proc.stderr.close()

    def test_says_when_a_flood_overflows_the_device_table(self):
        self.lan1()
        proc = subprocess.Popen(["ip", "netns", "exec", self.net.ns("pc"), CLI, "watch"], stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE, text=True)
        try:
            time.sleep(0.5)
            subprocess.run(["ip", "netns", "exec", self.net.ns("lan2"), sys.executable, "-c", FLOODER, "10000"],
                           check=True, timeout=30)
            time.sleep(2)
            proc.send_signal(signal.SIGTERM)
            _, err = proc.communicate(timeout=20)
            self.assertEqual(proc.returncode, 0, err)
            self.assertRegex(err, r"warning: [1-9]\d* device reports dropped so far")
        finally:
            if proc.poll() is None:
                proc.kill()
                proc.communicate()


if __name__ == "__main__":
    main()
