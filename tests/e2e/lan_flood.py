"""Datagrams sent by the test itself, from a plain UDP socket on loopback: file transfers with
chunks left out or with and without the file check, and floods at a set rate.

Everything goes to 127.0.0.1 (or into a network namespace the caller made and runs this in).
"""

import binascii
import os
import socket
import subprocess
import sys
import time

BASE_PORT = 5504
CHUNK = 250


def file_start(host_name, path):
    return b"FS:" + host_name.encode("cp932") + b":" + path.encode("cp932")


def file_end(host_name, path, check=None):
    """ "FE" as peers of every version send it; with check=(size, crc32) the file check follows
    the path behind a zero byte."""
    datagram = b"FE:" + host_name.encode("cp932") + b":" + path.encode("cp932")
    if check is not None:
        size, crc = check
        datagram += b"\0CHK:%d:%08X" % (size, crc)
    return datagram


def file_chunks(data):
    """The "FL" datagrams of a file: 250 bytes each and one short (maybe empty) one at the end."""
    chunks = []
    at = 0
    while True:
        piece = data[at:at + CHUNK]
        chunks.append(b"FL:" + bytes([4 + len(piece)]) + piece)
        if len(piece) < CHUNK:
            return chunks
        at += CHUNK


def check_of(data):
    return len(data), binascii.crc32(data) & 0xFFFFFFFF


class RawSender:
    """A UDP socket of the test that sends to the program's port on loopback."""

    def __init__(self, channel, address="127.0.0.1"):
        self.destination = (address, BASE_PORT + channel)
        self.socket = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)

    def send(self, datagram):
        self.socket.sendto(datagram, self.destination)

    def send_file(self, host_name, path, data, left_out=(), with_check=True, pause=0.002):
        """One transfer; the chunks whose numbers are in left_out never go out. A short pause
        between datagrams keeps the socket's queue from dropping them."""
        self.send(file_start(host_name, path))
        for number, chunk in enumerate(file_chunks(data)):
            if number not in left_out:
                self.send(chunk)
            time.sleep(pause)
        self.send(file_end(host_name, path, check_of(data) if with_check else None))

    def close(self):
        self.socket.close()


class Flood:
    """A flood of datagrams at a rate, from a process of its own so that the test's timing is
    not disturbed; kind "CB" sends hand-overs, "FSFE" start and end pairs."""

    def __init__(self, channel, rate, kind="CB", address="127.0.0.1"):
        self.process = subprocess.Popen(
            [sys.executable, os.path.abspath(__file__), address, str(BASE_PORT + channel),
             str(rate), kind], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE)
        if self.process.stdout.readline().strip() != b"flooding":
            raise AssertionError("the flood did not start")

    def stop(self):
        """Stops it and returns the number of datagrams sent."""
        if self.process.poll() is None:
            self.process.terminate()
        out, _ = self.process.communicate(timeout=10)
        return int(out.strip() or 0)


def _flood(address, port, rate, kind):
    sender = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sender.setsockopt(socket.SOL_SOCKET, socket.SO_SNDBUF, 1 << 20)
    sent = 0
    stopping = []
    import signal
    signal.signal(signal.SIGTERM, lambda *_: stopping.append(True))
    print("flooding", flush=True)
    start = time.monotonic()
    while not stopping:
        due = int((time.monotonic() - start) * rate)
        while sent < due and not stopping:
            if kind == "FSFE":
                name = "C:\\flood\\%d.txt" % sent
                datagram = file_start("flood", name) if sent % 2 == 0 else file_end("flood", name)
            else:
                datagram = b"CB:flood %d" % sent
            try:
                sender.sendto(datagram, (address, port))
            except OSError:
                pass  # a full socket buffer: the datagram is lost, as on a busy network
            sent += 1
        time.sleep(0.0005)
    print(sent, flush=True)


if __name__ == "__main__":
    _flood(sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4])
