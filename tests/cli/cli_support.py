"""End-to-end support for scanix-cli: private namespaces, the test network, simulators.

Every test process re-executes itself under unshare (mount, PID and network namespaces, a tmpfs
on /run), builds a throw-away topology with tools/netns/netns.sh and runs scanix-cli in its "pc"
node, so nothing reaches the machine's own interfaces.
"""
import os
import select
import subprocess
import sys
import time
import unittest

CLI = os.environ.get("SCANIX_CLI", "")
DEVSIM = os.environ.get("SCANIX_DEVSIM", "")
NETNS = os.environ.get("SCANIX_NETNS_SCRIPT", "")
SKIP = 77


def enter_private_namespaces():
    """Re-executes this script in private namespaces; exits 77 (skip) when that is impossible."""
    if os.environ.get("SCANIX_PRIVATE_NS"):
        return
    probe = ["unshare", "--mount", "--pid", "--fork", "--kill-child", "--mount-proc", "--net", "true"]
    if os.geteuid() != 0 or subprocess.run(probe, capture_output=True).returncode != 0:
        print("SKIPPED: needs root and unshare to create private network namespaces")
        sys.exit(SKIP)
    os.environ["SCANIX_PRIVATE_NS"] = "1"
    inner = 'mount -t tmpfs tmpfs /run && exec "$0" "$@"'
    args = ["unshare", "--mount", "--pid", "--fork", "--kill-child", "--mount-proc", "--net",
            "/bin/sh", "-c", inner, sys.executable] + sys.argv
    sys.exit(subprocess.run(args).returncode)


def mac(seed, index):
    """MAC of the index-th device of a simulator started with --seed seed."""
    return "02:5C:%02X:%02X:%02X:%02X" % (seed, (index >> 16) & 0xFF, (index >> 8) & 0xFF, index & 0xFF)


class Network:
    def __init__(self, fleet=1, lan=16):
        out = subprocess.run(["bash", NETNS, "up", "--owner", str(os.getpid()), "--fleet", str(fleet),
                              "--lan", str(lan)], check=True, capture_output=True, text=True).stdout
        self.vars = dict(line.split("=", 1) for line in out.split())

    def ns(self, node):
        return self.vars["SCX_NS_" + node.upper()]

    def close(self):
        subprocess.run(["bash", NETNS, "down", self.vars["SCX_ID"]], capture_output=True)


class Simulator:
    """One scanix-devsim in a namespace, driven through its control channel."""

    def __init__(self, ns, args):
        self.proc = subprocess.Popen(["ip", "netns", "exec", ns, DEVSIM] + args, stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, bufsize=1)
        line = self._line(10)
        if not line.startswith("ready"):
            raise RuntimeError("simulator did not start: %r" % line)

    def _line(self, seconds):
        ready, _, _ = select.select([self.proc.stdout], [], [], seconds)
        return self.proc.stdout.readline().strip() if ready else ""

    def command(self, line):
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()
        answer = self._line(5)
        if not answer.startswith("ok"):
            raise RuntimeError("simulator refused %r: %r" % (line, answer))

    def close(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.proc.stdin.close()
        self.proc.stdout.close()


class CliTestCase(unittest.TestCase):
    """A test network per test class; simulators started by a test are stopped after it."""

    fleet = 1

    @classmethod
    def setUpClass(cls):
        cls.net = Network(fleet=cls.fleet)

    @classmethod
    def tearDownClass(cls):
        cls.net.close()

    def setUp(self):
        self.sims = []

    def tearDown(self):
        for sim in self.sims:
            sim.close()

    def simulator(self, node, args):
        sim = Simulator(self.net.ns(node), args)
        self.sims.append(sim)
        return sim

    def lan1(self, *extra):
        """The seven types and two foreign series in lan1 (seed 1)."""
        return self.simulator("lan1", ["--count", "7", "--foreign", "2", "--seed", "1", "--first-ip",
                                       "192.168.1.64", "--prefix", "24"] + list(extra))

    def cli(self, *args, stdin=None, timeout=60, node="pc"):
        """Runs scanix-cli in a node; returns (exit code, stdout, stderr)."""
        # Bytes, decoded without newline translation: CSV lines must keep their CR LF.
        done = subprocess.run(["ip", "netns", "exec", self.net.ns(node), CLI] + list(args),
                              input=stdin.encode() if stdin is not None else None, capture_output=True,
                              timeout=timeout)
        return done.returncode, done.stdout.decode(), done.stderr.decode()

    def scan_json(self, *extra):
        import json
        code, out, err = self.cli("scan", "--seconds", "2", "--format", "json", *extra)
        self.assertEqual(code, 0, err)
        return {d["mac"]: d for d in json.loads(out)}


def main():
    enter_private_namespaces()
    for name, value in (("SCANIX_CLI", CLI), ("SCANIX_DEVSIM", DEVSIM), ("SCANIX_NETNS_SCRIPT", NETNS)):
        if not value:
            sys.exit("%s is not set" % name)
    unittest.main(module="__main__", verbosity=2)
