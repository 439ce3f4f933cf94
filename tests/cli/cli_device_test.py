#!/usr/bin/env python3
"""scanix-cli end to end against the simulator: scan, set-ip, restore, url."""
import csv
import io
import json
import re
import subprocess
import sys
import time
import unittest

sys.dont_write_bytecode = True
from cli_support import CLI, CliTestCase, mac, main  # noqa: E402

MAKER_LAN1 = [mac(1, i) for i in range(7)]
MAKER_LAN2 = [mac(2, i) for i in range(7)]
FIELDS = ["ip", "mac", "type", "typeName", "model", "name", "mask", "gateway", "ip2", "dns1", "dns2", "httpPort",
          "dataPort", "rtspPort", "httpType", "softwareVersion", "buildDate", "hardwareVersion", "kernelVersion",
          "bootTime", "runningTime", "runningSeconds", "dhcp", "encryptType", "activated", "conflict"]

# Sends N made-up device answers to the searcher port of the discovery group through eth0 of
# the namespace it runs in (no default route there: the interface is named).
FLOODER = r"""
import socket, struct, sys, time
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_TTL, 1)
s.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_IF,
             struct.pack("4s4si", socket.inet_aton("239.255.37.81"), bytes(4), socket.if_nametoindex("eth0")))
for i in range(int(sys.argv[1])):
    mac = "02:77:00:%02X:%02X:%02X" % (i >> 16, (i >> 8) & 255, i & 255)
    s.sendto(("<multicastSearchResult><mac>%s</mac><event>reply</event><productInfo><productSeries>QMX_IPC"
              "</productSeries></productInfo><tcpIp><ipAddr><item><ip>172.16.9.9</ip></item></ipAddr></tcpIp>"
              "</multicastSearchResult>" % mac).encode(), ("239.255.37.81", 37811))
    if i % 100 == 99:
        time.sleep(0.005)
"""


class ScanTest(CliTestCase):
    def test_lists_exactly_the_makers_devices_in_every_format(self):
        self.lan1()
        lan2 = self.simulator("lan2", ["--count", "7", "--seed", "2", "--first-ip", "172.16.0.10", "--prefix", "16"])
        # Two devices on one address: both are marked, and named on stderr.
        lan2.command("set %s ip=172.16.0.10" % mac(2, 1))
        expected = sorted(MAKER_LAN1 + MAKER_LAN2)

        code, out, err = self.cli("scan", "--seconds", "2.5", "--format", "json")
        self.assertEqual(code, 0, err)
        devices = json.loads(out)
        self.assertEqual(sorted(d["mac"] for d in devices), expected)
        self.assertEqual(list(devices[0].keys()), FIELDS)
        camera = next(d for d in devices if d["mac"] == mac(1, 0))
        self.assertEqual((camera["type"], camera["typeName"], camera["ip"]), ("QMX_IPC", "IP Camera", "192.168.1.64"))
        self.assertIsInstance(camera["httpPort"], int)
        self.assertIn(camera["activated"], (True, False, None))
        conflicted = sorted(d["mac"] for d in devices if d["conflict"])
        self.assertEqual(conflicted, [mac(2, 0), mac(2, 1)])
        self.assertIn("172.16.0.10: %s, %s" % (mac(2, 0), mac(2, 1)), err)
        # Sorted by address as numbers: 172.16.x before 192.168.x, .64 before .70.
        addresses = [tuple(int(p) for p in d["ip"].split(".")) for d in devices]
        self.assertEqual(addresses, sorted(addresses))

        code, out, err = self.cli("scan", "--seconds", "2", "--format", "csv")
        self.assertEqual(code, 0, err)
        self.assertIn("\r\n", out)
        rows = list(csv.DictReader(io.StringIO(out, newline="")))
        self.assertEqual(sorted(r["mac"] for r in rows), expected)
        self.assertEqual(list(rows[0].keys()), FIELDS)
        self.assertEqual(sorted(r["mac"] for r in rows if r["conflict"] == "true"), [mac(2, 0), mac(2, 1)])

        code, out, err = self.cli("scan", "--seconds", "2")
        self.assertEqual(code, 0, err)
        lines = out.splitlines()
        self.assertEqual(len(lines), 1 + len(expected))
        self.assertTrue(all(len(line) <= 80 for line in lines), out)
        self.assertTrue(any(line.startswith("!172.16.0.10") for line in lines), out)
        self.assertTrue(any("Network Keyboard" in line for line in lines), out)
        self.assertNotIn("QMX_", out)

    def test_a_flood_of_invented_devices_is_reported_not_hidden(self):
        self.lan1()
        scan = subprocess.Popen(["ip", "netns", "exec", self.net.ns("pc"), CLI, "scan", "--seconds", "3",
                                 "--format", "json"], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        # Answers to the scan's own probe, from 10,000 MACs that do not exist: more than the
        # library's table holds.
        time.sleep(0.4)
        subprocess.run(["ip", "netns", "exec", self.net.ns("lan2"), sys.executable, "-c", FLOODER, "10000"],
                       check=True, timeout=30)
        out, err = scan.communicate(timeout=30)
        self.assertEqual(scan.returncode, 0, err)
        listed = len(json.loads(out))
        match = re.search(r"warning: (\d+) device reports dropped: too many devices answered", err.decode())
        self.assertIsNotNone(match, err)
        self.assertLessEqual(listed, 8192)
        self.assertGreater(int(match.group(1)), 0)

    def test_bad_arguments_are_usage_errors(self):
        for args in (["scan", "--format", "xml"], ["scan", "--columns", "ip,colour"], ["scan", "--seconds", "-1"],
                     ["set-ip", "02:5C:01:00:00", "--ip", "192.168.1.9", "--mask", "255.255.255.0", "--gateway",
                      "192.168.1.1", "--password-stdin"],
                     ["set-ip", mac(1, 0), "--ip", "192.168.1.300", "--mask", "255.255.255.0", "--gateway",
                      "192.168.1.1", "--password-stdin"],
                     ["set-ip", mac(1, 0), "--ip", "192.168.1.9", "--mask", "255.255.255.0", "--gateway",
                      "192.168.1.1", "--http-port", "70000", "--data-port", "6036", "--password-stdin"],
                     ["restore", "nonsense"], ["check", "1.2.3", "255.0.0.0", "1.2.3.1"], ["frobnicate"],
                     ["--iface", "nope0", "scan"]):
            code, _, err = self.cli(*args, stdin="Admin123\n")
            self.assertEqual(code, 2, "%s: %s" % (args, err))
            self.assertTrue(err.strip(), args)
        # A wait that never ends is refused; input quoted back in a message is cut short and
        # printed without control characters.
        for args in (["scan", "--seconds", "nan"], ["url", mac(1, 0), "--seconds", "inf"],
                     ["scan", "--format", "x\x1b[2J" + "y" * 100000], ["restore", "\x1b]0;t\x07" + "z" * 100000],
                     ["scan", "--columns", "ip,\x1b[31m" + "c" * 100000]):
            code, _, err = self.cli(*args)
            self.assertEqual(code, 2, "%s: %s" % (args[:2], err[:300]))
            self.assertLess(len(err), 1000, args[:2])
            self.assertNotIn("\x1b", err, args[:2])
            self.assertNotIn("\x07", err, args[:2])


class SetIpTest(CliTestCase):
    def set_ip(self, target, ip, mask="255.255.255.0", gateway="192.168.1.1", password="Admin123", seconds="3"):
        return self.cli("set-ip", target, "--ip", ip, "--mask", mask, "--gateway", gateway, "--password-stdin",
                        "--seconds", seconds, stdin=password + "\n")

    def test_outcomes_and_exit_codes(self):
        self.lan1()
        code, out, err = self.set_ip(mac(1, 0), "192.168.1.200")
        self.assertEqual(code, 0, err)
        self.assertIn("The network parameters were changed.", out)
        # A recorder's answer is awaited too, though the engine does not wait for it.
        code, _, err = self.set_ip(mac(1, 1), "192.168.1.201")
        self.assertEqual(code, 0, err)

        code, _, err = self.set_ip(mac(1, 2), "192.168.1.202", password="wrong")
        self.assertEqual(code, 5, err)
        self.assertIn("refused", err)
        code, _, err = self.set_ip(mac(1, 3), "10.0.0.9", mask="255.0.255.0", gateway="10.0.0.1")
        self.assertEqual(code, 3, err)
        self.assertIn("not contiguous", err)
        code, _, err = self.set_ip("02:5C:09:00:00:99", "192.168.1.203", seconds="1.5")
        self.assertEqual(code, 4, err)
        self.assertIn("No device with this MAC address was found.", err)

        devices = self.scan_json()
        self.assertEqual(devices[mac(1, 0)]["ip"], "192.168.1.200")
        self.assertEqual(devices[mac(1, 1)]["ip"], "192.168.1.201")
        self.assertEqual(devices[mac(1, 2)]["ip"], "192.168.1.66")
        self.assertEqual(devices[mac(1, 3)]["ip"], "192.168.1.67")


class RestoreTest(CliTestCase):
    def test_camera_restored_recorder_refused(self):
        sim = self.lan1()
        sim.command("button " + mac(1, 0))
        code, out, err = self.cli("restore", mac(1, 0))
        self.assertEqual(code, 0, err)
        self.assertIn("restored", out)
        code, _, err = self.cli("restore", mac(1, 1))
        self.assertEqual(code, 6, err)
        self.assertIn("does not support password restore", err)
        code, _, err = self.cli("restore", "02:5C:09:00:00:99", "--seconds", "1.5")
        self.assertEqual(code, 4, err)
        # The restored camera has no password at all, the factory one included, until activated.
        code, _, err = self.cli("set-ip", mac(1, 0), "--ip", "192.168.1.210", "--mask", "255.255.255.0",
                                "--gateway", "192.168.1.1", "--password-stdin", stdin="12345\n")
        self.assertEqual(code, 5, err)
        self.assertIn("not activated", err)

    def test_url_of_a_device(self):
        self.lan1()
        code, out, err = self.cli("url", mac(1, 0))
        self.assertEqual(code, 0, err)
        self.assertRegex(out.strip(), r"^https?://192\.168\.1\.64(:\d+)?$|^https?://169\.254\.")


if __name__ == "__main__":
    main()
