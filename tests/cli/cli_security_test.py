"""The configuration protocol against an intruder on the segment (tests/cli/intruder.py).

The intruder captures every frame of the searcher's own interface (the strongest listener
there is), replays a captured request, forges answers and reports from another node on the
bridge; scanix-cli and the simulator are the real ones.
"""
import base64
import json
import os
import struct
import subprocess
import sys
import time

from cli_support import CliTestCase, main, mac

INTRUDER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "intruder.py")
PASSWORD = "Admin123"
NEW_PASSWORD = "N3w-Secret!x"
CAMERA = mac(1, 0)        # QMX_IPC, activated, plain HTTP
HTTPS_CAMERA = mac(1, 14)  # QMX_IPC, activated, HTTPS on 8080
OTHER = mac(1, 1)          # QMX_NVR


def frames(path):
    """The captured frames' bytes, one after another."""
    with open(path, "rb") as capture:
        data = capture.read()
    out, at = [], 0
    while at + 4 <= len(data):
        (length,) = struct.unpack("!I", data[at:at + 4])
        out.append(data[at + 4:at + 4 + length])
        at += 4 + length
    return out


def secret_forms(secret):
    """Every form in which a secret could be read or reused off the wire."""
    raw = secret.encode()
    forms = [raw, raw.hex().encode(), raw.hex().upper().encode(), base64.b64encode(raw),
             base64.b64encode(b"admin:" + raw)]
    return [f for f in forms if f]


class SecurityTest(CliTestCase):

    def intruder(self, node, *args):
        return subprocess.Popen(["ip", "netns", "exec", self.net.ns(node), sys.executable, INTRUDER] + list(args),
                                stdout=subprocess.PIPE, text=True)

    def finished(self, intruder, word):
        """Waits for an intruder run and checks that it really sent something."""
        out, _ = intruder.communicate(timeout=60)
        self.assertEqual(intruder.returncode, 0)
        count = int(out.split(word)[1].split()[0]) if word in out else 0
        self.assertGreater(count, 0, "the intruder sent nothing: " + out)

    def set_ip(self, device, ip, password, *extra):
        gateway = ip.rsplit(".", 1)[0] + ".1"
        return self.cli("set-ip", device, "--ip", ip, "--mask", "255.255.255.0", "--gateway", gateway,
                        "--password-stdin", "--seconds", "3", *extra, stdin=password + "\n")

    def device(self, device):
        return self.scan_json()[device]

    def test_intruder(self):
        # In the searcher's own subnet, so that the web interfaces can be reached.
        lan1 = self.net.ns("lan1")
        batch = "".join("addr add 10.0.0.%d/24 dev eth0\n" % (64 + i) for i in range(16))
        subprocess.run(["ip", "-n", lan1, "-batch", "-"], input=batch.encode(), check=True)
        sim = self.simulator("lan1", ["--count", "15", "--seed", "1", "--first-ip", "10.0.0.64", "--prefix", "24",
                                      "--http"])
        capture_file = os.path.join("/run", "capture.bin")
        sniffer = self.intruder("pc", "capture", "90", capture_file)
        time.sleep(0.5)

        # A change with the right password works, and its request is captured.
        code, _, err = self.set_ip(CAMERA, "10.0.0.200", PASSWORD)
        self.assertEqual(code, 0, err)
        # Ports of a plain-HTTP camera ride in the authenticated request; an HTTPS camera takes
        # them over TLS pinned to the key it vouched for.
        code, _, err = self.set_ip(CAMERA, "10.0.0.200", PASSWORD, "--http-port", "81", "--data-port", "6100")
        self.assertEqual(code, 0, err)
        code, _, err = self.set_ip(HTTPS_CAMERA, "10.0.0.78", PASSWORD, "--http-port", "8443", "--data-port",
                                   "6101")
        self.assertEqual(code, 0, err)
        scanned = self.scan_json()
        self.assertEqual((scanned[CAMERA]["httpPort"], scanned[CAMERA]["dataPort"]), (81, 6100))
        self.assertEqual((scanned[HTTPS_CAMERA]["httpPort"], scanned[HTTPS_CAMERA]["dataPort"]), (8443, 6101))
        code, _, err = self.set_ip(CAMERA, "10.0.0.64", PASSWORD)
        self.assertEqual(code, 0, err)

        # Replay: the captured requests sent again from another node change nothing.
        time.sleep(0.5)
        requests = [f[f.find(b"<scanixSetIp>"):] for f in frames(capture_file) if b"<scanixSetIp>" in f]
        self.assertTrue(requests, "no request was captured")
        replay = os.path.join("/run", "replay.bin")
        for request in requests[:3]:
            with open(replay, "wb") as out:
                out.write(request)
            self.assertEqual(self.intruder("lan2", "send", "37810", replay).wait(10), 0)
        time.sleep(1)
        self.assertEqual(self.device(CAMERA)["ip"], "10.0.0.64")

        # Forged answers: a wrong password never succeeds, nor a restore without the button.
        forger = self.intruder("lan2", "forge", "10")
        time.sleep(0.5)
        for _ in range(3):
            code, out, err = self.set_ip(CAMERA, "10.0.0.201", "wrong-one")
            self.assertEqual(code, 5, out + err)
        code, out, err = self.cli("restore", CAMERA, "--seconds", "3")
        self.assertEqual(code, 5, out + err)
        self.assertIn("reset button", err)
        self.finished(forger, "forged")
        self.assertEqual(self.device(CAMERA)["ip"], "10.0.0.64")

        # Restore with the button: the device is back to "not activated", then activation.
        sim.command("button " + CAMERA)
        code, out, err = self.cli("restore", CAMERA, "--seconds", "3")
        self.assertEqual(code, 0, out + err)
        time.sleep(0.5)
        self.assertEqual(self.device(CAMERA)["activated"], False)
        code, out, err = self.set_ip(CAMERA, "10.0.0.202", PASSWORD)
        self.assertEqual(code, 5, out + err)
        self.assertIn("not activated", err)
        code, out, err = self.cli("activate", CAMERA, "--password-stdin", "--seconds", "3", stdin="weak\n")
        self.assertEqual(code, 2, out + err)
        code, out, err = self.cli("activate", CAMERA, "--password-stdin", "--seconds", "3", stdin=NEW_PASSWORD + "\n")
        self.assertEqual(code, 0, out + err)
        time.sleep(0.5)
        code, out, err = self.cli("activate", CAMERA, "--password-stdin", "--seconds", "3", stdin=NEW_PASSWORD + "\n")
        self.assertEqual(code, 6, out + err)
        code, out, err = self.set_ip(CAMERA, "10.0.0.203", NEW_PASSWORD)
        self.assertEqual(code, 0, out + err)

        # A forged report of a known device from another address is not listed.
        reporter = self.intruder("lan2", "report", OTHER, "9")
        time.sleep(1)
        for _ in range(3):
            self.assertEqual(self.device(OTHER)["ip"], "10.0.0.65")
        self.finished(reporter, "reported")

        # Nothing secret was ever on the wire.
        open(capture_file + ".stop", "w").close()
        self.assertEqual(sniffer.wait(10), 0)
        captured = b"".join(frames(capture_file))
        self.assertGreater(len(captured), 10000)
        for secret in (PASSWORD, NEW_PASSWORD):
            for form in secret_forms(secret):
                self.assertNotIn(form, captured, "%r seen on the wire" % form)

        # Brute force: after five wrong passwords the device locks, the right one too.
        for _ in range(5):
            self.assertEqual(self.set_ip(OTHER, "10.0.0.210", "guess")[0], 5)
        code, out, err = self.set_ip(OTHER, "10.0.0.210", PASSWORD)
        self.assertEqual(code, 5, out + err)
        self.assertIn("locked", err)

    def test_legacy_device(self):
        self.simulator("lan1", ["--count", "2", "--seed", "3", "--first-ip", "10.0.0.64", "--prefix", "24",
                                "--legacy"])
        legacy = mac(3, 0)
        self.assertIn(legacy, self.scan_json())
        code, out, err = self.set_ip(legacy, "192.168.1.90", PASSWORD)
        self.assertEqual(code, 5, out + err)
        self.assertIn("SCANIX_ALLOW_CLEARTEXT_PASSWORD", err)
        code, out, err = self.cli("restore", legacy, "--seconds", "3")
        self.assertEqual(code, 5, out + err)
        done = subprocess.run(["ip", "netns", "exec", self.net.ns("pc"), "env", "SCANIX_ALLOW_CLEARTEXT_PASSWORD=1",
                               os.environ["SCANIX_CLI"], "set-ip", legacy, "--ip", "192.168.1.90", "--mask",
                               "255.255.255.0", "--gateway", "192.168.1.1", "--password-stdin"],
                              input=(PASSWORD + "\n").encode(), capture_output=True, timeout=60)
        self.assertEqual(done.returncode, 0, done.stderr.decode())


if __name__ == "__main__":
    main()
