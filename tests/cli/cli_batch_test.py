#!/usr/bin/env python3
"""scanix-cli batch-ip and assign end to end: all rows checked before any is sent."""
import json
import os
import sys
import tempfile

sys.dont_write_bytecode = True
from cli_support import CliTestCase, mac, main  # noqa: E402

MASK, GW = "255.255.255.0", "192.168.1.1"


class BatchTest(CliTestCase):
    def write(self, text, binary=False):
        handle, path = tempfile.mkstemp(suffix=".csv")
        with os.fdopen(handle, "wb") as out:
            out.write(text if binary else text.encode())
        self.addCleanup(os.remove, path)
        return path

    def batch(self, path, *extra):
        return self.cli("batch-ip", path, "--password-stdin", "--seconds", "3", *extra, stdin="Admin123\n")

    def test_bad_input_is_refused_naming_the_line(self):
        cases = [
            ("", "no rows"),
            ("mac,ip,mask,gateway\r\n", "no rows"),
            ("%s,192.168.1.90,%s\n" % (mac(1, 0), MASK), "line 1: 3 fields"),
            ("%s,192.168.1.90,%s,%s\n02:5C:01:00:00:0Z,192.168.1.91,%s,%s\n" % (mac(1, 0), MASK, GW, MASK, GW),
             "line 2: \"02:5C:01:00:00:0Z\" is not a MAC"),
            ("%s,192.168.1.90,%s,%s\n%s,\"192.168\"x,%s,%s\n" % (mac(1, 0), MASK, GW, mac(1, 1), MASK, GW),
             "line 2: text after a closing quote"),
            ("%s,192.168.1.9O,%s,%s\n" % (mac(1, 0), MASK, GW), "line 1: ip \"192.168.1.9O\""),
            ("x" * (10 * 1024 * 1024), "larger than 1 MiB"),
        ]
        for text, message in cases:
            code, out, err = self.batch(self.write(text))
            self.assertEqual(code, 2, "%r: %s" % (text[:60], err))
            self.assertIn(message, err, text[:60])
            self.assertIn("nothing was changed", err)
            self.assertEqual(out, "")
        code, _, err = self.batch("/nonexistent/list.csv")
        self.assertEqual((code, "cannot be read" in err), (2, True), err)

    def test_one_bad_row_changes_nothing_keep_going_changes_the_good(self):
        self.lan1()
        # A byte-order mark, CR LF lines and a header, as a spreadsheet saves them.
        rows = ["mac,ip,mask,gateway",
                "%s,192.168.1.90,%s,%s" % (mac(1, 0), MASK, GW),
                "%s,192.168.1.91,%s,%s" % (mac(1, 1), MASK, GW),
                "%s,192.168.1.92,255.0.255.0,%s" % (mac(1, 2), GW),
                "%s,192.168.1.91,%s,%s" % (mac(1, 3), MASK, GW),
                "02:5C:09:00:00:99,192.168.1.95,%s,%s" % (MASK, GW)]
        path = self.write(b"\xef\xbb\xbf" + "\r\n".join(rows).encode() + b"\r\n", binary=True)
        code, out, err = self.batch(path)
        self.assertEqual(code, 3, err)
        self.assertIn("line 4: Invalid subnet mask", err)
        self.assertIn("line 5: address 192.168.1.91 is already given on line 3", err)
        self.assertEqual(out, "")
        before = self.scan_json()
        self.assertEqual([before[mac(1, i)]["ip"] for i in range(4)],
                         ["192.168.1.64", "192.168.1.65", "192.168.1.66", "192.168.1.67"])

        code, out, err = self.batch(path, "--keep-going", "--format", "json")
        self.assertEqual(code, 7, err)
        results = {r["mac"]: r for r in json.loads(out)}
        self.assertEqual(sorted(results), sorted([mac(1, 0), mac(1, 1), "02:5C:09:00:00:99"]))
        self.assertEqual(results[mac(1, 0)]["result"], "changed")
        self.assertEqual(results[mac(1, 1)]["line"], 3)
        self.assertEqual(results["02:5C:09:00:00:99"]["result"], "not found")
        after = self.scan_json()
        self.assertEqual([after[mac(1, i)]["ip"] for i in range(4)],
                         ["192.168.1.90", "192.168.1.91", "192.168.1.66", "192.168.1.67"])


class AssignTest(CliTestCase):
    def test_three_cameras_on_one_factory_address_get_free_ones(self):
        self.lan1()
        cams = self.simulator("lan1", ["--count", "3", "--types", "QMX_IPC", "--seed", "4", "--first-ip",
                                       "192.168.1.80", "--prefix", "24"])
        for i in range(3):
            cams.command("set %s ip=192.168.1.100" % mac(4, i))
        args = ["assign", "--from", "192.168.1.68", "--to", "192.168.1.90", "--type", "IPC", "--only-ip",
                "192.168.1.100", "--seconds", "2.5"]
        code, out, err = self.cli(*(args + ["--dry-run"]))
        self.assertEqual(code, 0, err)
        # .68 to .70 belong to the other devices; the cameras get the next three, in MAC order.
        plan = [line.split()[:2] + line.split()[-4:-2] for line in out.splitlines()[1:]]
        self.assertEqual([p[0] for p in plan], [mac(4, 0), mac(4, 1), mac(4, 2)])
        self.assertEqual([p[3] for p in plan], ["192.168.1.71", "192.168.1.72", "192.168.1.73"])
        self.assertTrue(all(d["ip"] == "192.168.1.100" for m, d in self.scan_json().items() if m.startswith("02:5C:04")))

        code, out, err = self.cli(*(args[:2] + ["192.168.1.71", "--to", "192.168.1.72"] + args[5:]))
        self.assertEqual(code, 3, err)
        self.assertIn("too few free addresses", err)

        code, out, err = self.cli(*args, "--password-stdin", stdin="Admin123\n")
        self.assertEqual(code, 0, err)
        devices = self.scan_json()
        self.assertEqual([devices[mac(4, i)]["ip"] for i in range(3)],
                         ["192.168.1.71", "192.168.1.72", "192.168.1.73"])
        self.assertFalse(any(d["conflict"] for d in devices.values()))


if __name__ == "__main__":
    main()
