"""LAN sharing from outside the program: talvorine-lan, the Linux peer of the native build, and
the program's LAN tab set up for loopback.

Every datagram stays on loopback: the program's broadcast address is set to 127.0.0.1 (or the
loopback net's broadcast address 127.255.255.255, which only lo carries) before LAN sharing is
switched on, and the peer is always told --to 127.0.0.1. Endpoints on one machine share the
channel's port, so a peer listening beside the program hears the program's broadcasts, and the
program hears its own.
"""

import os
import random
import socket
import subprocess

from desktop_road import settings_text
from talvorine_e2e import CK_NW_USE, EDIT1, IPADDR, environment, wait_for


LOOPBACK = "127.0.0.1"
LOOPBACK_BROADCAST = "127.255.255.255"
BASE_PORT = 5504

# The LAN hotkeys of the default bindings.
HK_GET_KEYS = "ctrl+3"
HK_SET_KEYS = "ctrl+1"
HK_SEND_KEY = "5"  # with Ctrl
HK_FSEND_KEYS = "ctrl+6"

# The boxes and dialogs of LAN sharing.
SENT_TEXT = "送信完了しました。"
SENT_CAPTION = "ファイル送信"
SAVE_CAPTION = "到着ファイルの保存"
SAVED_TEXT = "保存完了しました。"
SAVED_CAPTION = "ファイル受信"
SEND_FILE_DIALOG = "送信するファイルを指示"
RECV_FILE_DIALOG = "受信したファイルの保存"
SEND_FORM_TITLE = "ネットワーク上PCへの一斉送付"
IDOK, IDYES, IDNO = 1, 6, 7


def tool_path():
    """talvorine-lan of the native build; a missing one fails the test with what to do."""
    path = environment("TALVORINE_LAN")
    if not os.access(path, os.X_OK):
        raise AssertionError(
            f"talvorine-lan is not at {path}: build the native tree first (make test-linux, or "
            "cmake --build build/linux), or configure this build with -DTALVORINE_LAN_TOOL=PATH")
    return path


def bound_udp_ports():
    """The local UDP ports that some socket of this network namespace is bound to."""
    ports = set()
    with open("/proc/net/udp") as table:
        next(table)
        for row in table:
            local = row.split()[1]
            ports.add(int(local.split(":")[1], 16))
    return ports


def free_channel():
    """A channel from 30 to 50 whose port no socket holds (another test may use one)."""
    taken = bound_udp_ports()
    free = [c for c in range(30, 51) if BASE_PORT + c not in taken]
    if not free:
        raise AssertionError("no free LAN channel from 30 to 50")
    return random.choice(free)


def windows_path(path):
    """The path as the program sees it under Wine (drive Z: is the Linux root)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def lan_settings(channel, **values):
    """A settings file: the main window stays in the tray, the start and LAN hotkeys are
    registered at start-up, LAN sharing off on the given channel, plus [section] key=value."""
    return settings_text(Network_UseNetwork=0, Network_AutoNwKeySet=1, Network_CH=channel,
                         **values)


def switch_lan_on(session, channel, address=LOOPBACK):
    """Sets the broadcast address first, then ticks CkNWUse, and waits until the program
    listens on the channel's port (nothing else of this test holds it yet)."""
    port = BASE_PORT + channel
    if port in bound_udp_ports():
        raise AssertionError(f"port {port} is taken before the program listens on it")
    answer = session.helper("set-text", IPADDR, address)
    if not answer.get("set"):
        raise AssertionError(f"IPaddr could not be set: {answer}")
    wait_for(lambda: session.control_text(IPADDR) == address, 10, "IPaddr to hold the address")
    session.helper("click", CK_NW_USE)
    wait_for(lambda: session.control_state(CK_NW_USE) == 1, 10, "CkNWUse to be ticked")
    # Timer2 opens the endpoint within 500 ms of the tick.
    wait_for(lambda: port in bound_udp_ports(), 10, f"the program to listen on port {port}")


class Listener:
    """`talvorine-lan listen` on a channel, its output lines collected as they come. It runs in
    a folder of its own (cwd), where it keeps its own ".\\recv.tmp"."""

    def __init__(self, channel, cwd, save_dir=None, host_name="peer"):
        self.channel = channel
        os.makedirs(cwd, exist_ok=True)
        args = [tool_path(), "listen", "--channel", str(channel), "--host-name", host_name]
        if save_dir is not None:
            args += ["--save-dir", save_dir]
        self.process = subprocess.Popen(args, cwd=cwd, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        os.set_blocking(self.process.stdout.fileno(), False)
        self._buffer = b""
        self.lines = []
        expected = f"listening on channel {channel}, port {BASE_PORT + channel}"
        wait_for(lambda: expected in self.read_lines() or self._ended(), 10,
                 "talvorine-lan to listen")
        if expected not in self.lines:
            raise AssertionError(f"talvorine-lan did not listen: {self.stderr()}")

    def _ended(self):
        return self.process.poll() is not None

    def stderr(self):
        if self._ended():
            return self.process.stderr.read().decode("utf-8", "replace")
        return ""

    def read_lines(self):
        """All lines printed so far (UTF-8)."""
        try:
            chunk = self.process.stdout.read()
        except BlockingIOError:
            chunk = None
        if chunk:
            self._buffer += chunk
            *complete, self._buffer = self._buffer.split(b"\n")
            self.lines.extend(line.decode("utf-8") for line in complete)
        return self.lines

    def wait_line(self, line, limit=20):
        wait_for(lambda: line in self.read_lines(), limit, f"talvorine-lan to print {line!r}")

    def wait_prefix(self, prefix, limit=20):
        """The first line that begins with prefix, once it is there."""
        return wait_for(lambda: next((l for l in self.read_lines() if l.startswith(prefix)),
                                     None), limit, f"talvorine-lan to print {prefix!r}...")

    def stop(self):
        if not self._ended():
            self.process.terminate()
            self.process.wait(timeout=10)
        self.process.stdout.close()
        self.process.stderr.close()


class RawCapture:
    """A socket of the test on the channel's port, sharing it as peers do: it sees every
    broadcast to the port exactly as it went out."""

    def __init__(self, channel):
        self.socket = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.socket.bind(("0.0.0.0", BASE_PORT + channel))
        self.socket.setblocking(False)
        self.datagrams = []

    def poll(self):
        while True:
            try:
                self.datagrams.append(self.socket.recv(65536))
            except BlockingIOError:
                return self.datagrams

    def wait_for_kind(self, kind, limit=20):
        """The first datagram whose kind token is kind (bytes, as b"CB")."""
        return wait_for(lambda: next((d for d in self.poll() if d.startswith(kind + b":")),
                                     None), limit, f"a {kind!r} datagram")

    def close(self):
        self.socket.close()


def send_text(channel, text):
    result = subprocess.run([tool_path(), "send-text", text, "--channel", str(channel),
                             "--to", LOOPBACK], capture_output=True, timeout=30)
    if result.returncode != 0:
        raise AssertionError(f"send-text failed: {result.stderr.decode('utf-8', 'replace')}")


def send_file(channel, path, host_name="peer"):
    result = subprocess.run([tool_path(), "send-file", path, "--channel", str(channel),
                             "--to", LOOPBACK, "--host-name", host_name],
                            capture_output=True, timeout=120)
    if result.returncode != 0:
        raise AssertionError(f"send-file failed: {result.stderr.decode('utf-8', 'replace')}")
