"""An intruder on the test network's segment, for the security end-to-end test.

    intruder.py capture SECONDS FILE        every frame of the node's interfaces (AF_PACKET), raw
    intruder.py send PORT FILE              one datagram (the bytes of FILE) to the group
    intruder.py forge SECONDS               answer every request seen with forged successes
    intruder.py report MAC SECONDS          resend MAC's own report with this node's address

Python's standard library only; run it with `ip netns exec` inside the project's namespaces.
"""
import fcntl
import os
import re
import socket
import struct
import sys
import time

GROUP = "239.255.37.81"
DEVICE_PORT = 37810
SEARCHER_PORT = 37811


def own_address(interface="eth0"):
    """The interface's IPv4 address (the namespaces have no default route to pick one)."""
    probe = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    request = struct.pack("256s", interface.encode())
    return socket.inet_ntoa(fcntl.ioctl(probe.fileno(), 0x8915, request)[20:24])  # SIOCGIFADDR


def listener(port):
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.bind((GROUP, port))
    sock.setsockopt(socket.IPPROTO_IP, socket.IP_ADD_MEMBERSHIP,
                    struct.pack("4s4s", socket.inet_aton(GROUP), socket.inet_aton(own_address())))
    return sock


def sender():
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_TTL, 1)
    sock.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_IF, socket.inet_aton(own_address()))
    return sock


def capture(seconds, path):
    raw = socket.socket(socket.AF_PACKET, socket.SOCK_RAW, socket.htons(0x0003))
    raw.settimeout(0.2)
    end = time.monotonic() + seconds
    with open(path, "wb") as out:
        while time.monotonic() < end and not os.path.exists(path + ".stop"):
            try:
                frame = raw.recv(65535)
            except socket.timeout:
                continue
            out.write(struct.pack("!I", len(frame)) + frame)
            out.flush()


def child(text, name):
    found = re.search(r"<%s>([^<]*)</%s>" % (name, name), text)
    return found.group(1) if found else ""


def forged_answers(text):
    """Successes of every kind, for whatever the request names, with no valid proof."""
    mac = child(text, "mac") or (re.search(r'serialNo="([^"]*)"', text) or [None, ""])[1]
    cnonce, dnonce, rid = child(text, "cnonce"), child(text, "dnonce"), child(text, "id")
    fake = "00" * 32
    return [
        "<multicastSearchResult><mac>%s</mac><event>setIPResult</event><setIPResult>0</setIPResult>"
        "</multicastSearchResult>" % mac,
        "<scanixChallengeResult><mac>%s</mac><cnonce>%s</cnonce><dnonce>%s</dnonce></scanixChallengeResult>"
        % (mac, cnonce, "11" * 16),
        "<scanixSetIpResult><mac>%s</mac><cnonce>%s</cnonce><dnonce>%s</dnonce><result>0</result><reason/>"
        "<ip>10.0.0.66</ip><proof>%s</proof></scanixSetIpResult>" % (mac, cnonce, dnonce, fake),
        "<scanixResetPasswordResult><mac>%s</mac><cnonce>%s</cnonce><id>%s</id><result>1</result><reason/>"
        "<proof>%s</proof></scanixResetPasswordResult>" % (mac, cnonce, rid, fake),
        "<scanixRestoreResult><mac>%s</mac><id>%s</id><result>1</result></scanixRestoreResult>" % (mac, rid),
    ]


def forge(seconds):
    requests = listener(DEVICE_PORT)
    requests.settimeout(0.2)
    out = sender()
    end = time.monotonic() + seconds
    sent = 0
    while time.monotonic() < end:
        try:
            data = requests.recv(9000).decode("latin-1")
        except socket.timeout:
            continue
        if "scanixProbe" in data:
            continue
        for answer in forged_answers(data):
            out.sendto(answer.encode(), (GROUP, SEARCHER_PORT))
            sent += 1
    print("forged %d" % sent)


def report(mac, seconds):
    """Copies the real device's report (key and all) and sends it with this node's address."""
    reports = listener(SEARCHER_PORT)
    reports.settimeout(0.5)
    out = sender()
    mine = own_address()
    end = time.monotonic() + seconds
    copy = None
    sent = 0
    while time.monotonic() < end:
        try:
            data = reports.recv(9000).decode("latin-1")
            # Always the latest report: bound to the search under way, only its tag can betray it.
            if "<mac>%s</mac>" % mac in data and "<ipAddr>" in data and mine not in data:
                copy = re.sub(r"<ip>[^<]*</ip>", "<ip>%s</ip>" % mine, data, count=1)
                copy = copy.replace("<event>hello</event>", "<event>reply</event>")
        except socket.timeout:
            pass
        if copy is not None:
            out.sendto(copy.encode("latin-1"), (GROUP, SEARCHER_PORT))
            sent += 1
            time.sleep(0.01)
    print("reported %d" % sent)


def main():
    command = sys.argv[1]
    if command == "capture":
        capture(float(sys.argv[2]), sys.argv[3])
    elif command == "send":
        with open(sys.argv[3], "rb") as data:
            sender().sendto(data.read(), (GROUP, int(sys.argv[2])))
    elif command == "forge":
        forge(float(sys.argv[2]))
    elif command == "report":
        report(sys.argv[2], float(sys.argv[3]))


if __name__ == "__main__":
    main()
