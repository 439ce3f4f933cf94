#!/usr/bin/env python3
"""scanix-cli doctor end to end: strict reverse-path filtering and a firewall that drops answers."""
import shutil
import subprocess
import sys
import unittest

sys.dont_write_bytecode = True
from cli_support import CliTestCase, main  # noqa: E402


class DoctorTest(CliTestCase):
    def in_pc(self, *command):
        subprocess.run(["ip", "netns", "exec", self.net.ns("pc")] + list(command), check=True, capture_output=True)

    def problems(self, out):
        return [line for line in out.splitlines() if line.startswith("PROBLEM")]

    def test_clean_network_then_strict_rp_filter_then_firewall(self):
        self.lan1()
        code, out, err = self.cli("doctor", "--seconds", "2")
        self.assertEqual(code, 0, out + err)
        self.assertRegex(out, r"interface eth0 10\.0\.0\.5/24: up, multicast; searched")
        self.assertRegex(out, r"search on eth0: 7 devices answered")
        # The namespace has no link-local route: a note with the command, no problem.
        self.assertIn("note     link-local route 169.254.0.0/16: missing", out)
        self.assertIn("add it with: sudo ip route add 169.254.0.0/16 dev eth0", out)
        self.in_pc("ip", "route", "add", "169.254.0.0/16", "dev", "eth0")
        code, out, err = self.cli("doctor", "--seconds", "1.5")
        self.assertEqual(code, 0, out + err)
        self.assertIn("ok       link-local route 169.254.0.0/16: present on eth0", out)
        self.in_pc("ip", "route", "del", "169.254.0.0/16", "dev", "eth0")

        # The devices sit in another subnet: strict filtering drops their answers.
        self.in_pc("sysctl", "-qw", "net.ipv4.conf.all.rp_filter=1")
        code, out, err = self.cli("doctor", "--seconds", "2")
        self.assertEqual(code, 1, out + err)
        self.assertTrue(any("reverse-path filtering on eth0: rp_filter=1 (strict)" in p for p in self.problems(out)),
                        out)
        self.assertTrue(any("search on eth0: no device answered" in p for p in self.problems(out)), out)
        self.in_pc("sysctl", "-qw", "net.ipv4.conf.all.rp_filter=0")

    @unittest.skipIf(shutil.which("nft") is None, "nft is not installed")
    def test_firewall_that_drops_the_answer_port(self):
        self.in_pc("nft", "add table inet guard")
        self.in_pc("nft", "add chain inet guard in { type filter hook input priority 0 ; policy accept ; }")
        self.in_pc("nft", "add rule inet guard in udp dport { 80, 37811 } drop")
        code, out, err = self.cli("doctor", "--seconds", "1.5")
        self.assertEqual(code, 1, out + err)
        self.assertTrue(any("UDP port 37811" in p and "inet guard in" in p for p in self.problems(out)), out)


if __name__ == "__main__":
    main()
