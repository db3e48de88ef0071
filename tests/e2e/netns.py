"""Two hosts on one machine for the LAN tests: two Linux network namespaces joined by a veth pair.

Host A (10.213.0.1/24) runs the program under Wine with an X display, a window manager and a
Wine server of its own, all started inside A, so every socket the program opens is one of A's.
Host B (10.213.0.2/24) runs talvorine-lan, the Linux peer. Each host also has a host name of its
own (a UTS namespace per command) that its /etc/hosts (the file `ip netns exec` mounts from
/etc/netns/NAME/hosts) maps to its veth address, so that the program's own address is A's.

Nothing leaves the namespaces: they have no route but their /24 and loopback, IPv6 is off, and a
packet recorder in each namespace lets a test check every address that was used.

Names carry the PID of the test process that made them (talvorine-e2e-PID-a); leftovers of a
test process that no longer runs (killed by a time-out) are removed before new ones are made.

Run as a program inside a namespace, this file is the packet recorder:
    python3 netns.py record    "ready", then one JSON line per packet on any interface
"""

import fcntl
import glob
import ipaddress
import json
import os
import re
import select
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import threading

from talvorine_e2e import wait_for

NAME_PREFIX = "talvorine-e2e-"
SUBNET = ipaddress.ip_network("10.213.0.0/24")
LOOPBACK = ipaddress.ip_network("127.0.0.0/8")
ALLOWED_NETWORKS = (SUBNET, LOOPBACK)
HOST_ADDRESSES = {"a": "10.213.0.1", "b": "10.213.0.2"}
ETC_NETNS = "/etc/netns"

ETH_P_ALL = 0x0003
ETH_P_IP = 0x0800
ETH_P_ARP = 0x0806
PACKET_OUTGOING = 4
PACKET_LOOPBACK = 5
IPPROTO_UDP = 17


class NamespaceError(AssertionError):
    """The machine refused a step of setting the hosts up; the message says which."""


def run(*args, check=True, timeout=60):
    result = subprocess.run(list(args), stdin=subprocess.DEVNULL, capture_output=True,
                            timeout=timeout)
    if check and result.returncode != 0:
        raise NamespaceError(f"{' '.join(args)} failed ({result.returncode}): "
                             f"{result.stderr.decode('utf-8', 'replace').strip()}")
    return result.stdout.decode("utf-8", "replace")


def process_alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        return True
    return True


class Lines:
    """The output lines of a process, gathered by a thread so that a test can wait for one."""

    def __init__(self, process):
        self.process = process
        self._lines = []
        self._lock = threading.Lock()
        self._thread = threading.Thread(target=self._read, daemon=True)
        self._thread.start()

    def _read(self):
        with self.process.stdout:
            for raw in self.process.stdout:
                with self._lock:
                    self._lines.append(raw.decode("utf-8", "replace").rstrip("\n"))

    def all(self):
        with self._lock:
            return list(self._lines)

    def wait(self, predicate, limit, what):
        """The first line for which predicate is true; fails after limit s or when the process
        has ended without printing it."""

        def found():
            for line in self.all():
                if predicate(line):
                    return line
            if self.process.poll() is not None:
                self._thread.join(timeout=5)
                for line in self.all():
                    if predicate(line):
                        return line
                raise AssertionError(f"the process ended ({self.process.returncode}) before "
                                     f"{what}; it printed {self.all()}")
            return None

        return wait_for(found, limit, what)


class Host:
    """One namespace: its name, address, host name and how to run a command inside it."""

    def __init__(self, run_id, letter):
        self.namespace = f"{NAME_PREFIX}{run_id}-{letter}"
        self.host_name = f"talvorine-{letter}-{run_id}"
        self.address = HOST_ADDRESSES[letter]
        self.interface = f"tv{letter}0"
        self.processes = []

    def command(self, *args):
        """argv that runs args inside the namespace, under the host's own host name."""
        return ["ip", "netns", "exec", self.namespace, "unshare", "--uts", "sh", "-c",
                'hostname "$0" && exec "$@"', self.host_name, *[str(a) for a in args]]

    def run(self, *args, check=True, timeout=60):
        return run(*self.command(*args), check=check, timeout=timeout)

    def call(self, *args, timeout=120):
        """Runs a command whose helpers may outlive it (Wine's services) with its output sent
        away, so that nothing waits for them; its exit status."""
        return subprocess.run(self.command(*args), stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout).returncode

    def start(self, *args, cwd=None, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
              env=None):
        """A process left running inside the namespace; ended by stop_processes()."""
        process = subprocess.Popen(self.command(*args), cwd=cwd, stdin=subprocess.DEVNULL,
                                   stdout=stdout, stderr=stderr, env=env)
        self.processes.append(process)
        return process

    def stop_processes(self):
        # Asked first, so that Xvfb takes its socket and lock file away with it.
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait(timeout=10)
        self.processes.clear()

    def ipv4_addresses(self):
        """What `ip -4 addr show` reports inside the namespace: [(interface, address/len,
        broadcast or None)]."""
        out = self.run("ip", "-4", "addr", "show")
        found = []
        interface = None
        for line in out.splitlines():
            header = re.match(r"^\d+:\s+([^:@]+)", line)
            if header:
                interface = header.group(1)
                continue
            inet = re.match(r"^\s+inet\s+(\S+)(?:\s+brd\s+(\S+))?", line)
            if inet:
                found.append((interface, inet.group(1), inet.group(2)))
        return found

    def broadcast_address(self):
        """The brd of the host's one non-loopback IPv4 address, as ip reports it."""
        rows = [row for row in self.ipv4_addresses() if row[0] != "lo"]
        if len(rows) != 1 or rows[0][2] is None:
            raise AssertionError(f"{self.namespace} should have one address with a broadcast "
                                 f"address besides loopback: {rows}")
        return rows[0][2]

    def route_addresses(self):
        """Every IPv4 address or network named in the namespace's routing tables, and whether
        a default route exists."""
        out = self.run("ip", "-4", "route", "show", "table", "all")
        has_default = any(line.split()[:1] == ["default"] for line in out.splitlines())
        return re.findall(r"\b\d+\.\d+\.\d+\.\d+(?:/\d+)?", out), has_default


def leftover_namespaces():
    """Namespaces and /etc/netns folders of test processes that no longer run."""
    pattern = re.compile(re.escape(NAME_PREFIX) + r"(\d+)-[ab]$")
    names = set(line.split()[0] for line in run("ip", "netns", "list").splitlines() if line)
    if os.path.isdir(ETC_NETNS):
        names.update(os.listdir(ETC_NETNS))
    stale = []
    for name in sorted(names):
        match = pattern.match(name)
        if match and not process_alive(int(match.group(1))):
            stale.append(name)
    return stale


def remove_namespace(name):
    """Ends every process inside the namespace (all of them started by a test), deletes it and
    its veth end, and its /etc/netns folder."""
    if os.path.exists(os.path.join("/run/netns", name)):

        def all_ended():
            # Killed again on every look: Wine may start a process while it is being ended.
            pids = [int(p) for p in run("ip", "netns", "pids", name, check=False).split()]
            for pid in pids:
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            return not pids

        wait_for(all_ended, 15, f"the processes in {name} to end")
        run("ip", "netns", "del", name, check=False)
    shutil.rmtree(os.path.join(ETC_NETNS, name), ignore_errors=True)


class Network:
    """Hosts A and B joined by a veth pair; removed by close() whatever happened."""

    def __init__(self):
        for name in leftover_namespaces():
            remove_namespace(name)
        run_id = os.getpid()
        self.a = Host(run_id, "a")
        self.b = Host(run_id, "b")
        self.hosts = (self.a, self.b)
        try:
            self._create()
        except BaseException:
            self.close()
            raise

    def _create(self):
        for host in self.hosts:
            result = subprocess.run(["ip", "netns", "add", host.namespace],
                                    stdin=subprocess.DEVNULL, capture_output=True)
            if result.returncode != 0:
                raise NamespaceError(
                    "the LAN tests need network namespaces (run them as root on a system that "
                    f"allows them): 'ip netns add {host.namespace}' was refused: "
                    f"{result.stderr.decode('utf-8', 'replace').strip()}")
            etc = os.path.join(ETC_NETNS, host.namespace)
            os.makedirs(etc, exist_ok=True)
            with open(os.path.join(etc, "hosts"), "w", encoding="ascii") as hosts:
                hosts.write(f"127.0.0.1 localhost\n{host.address} {host.host_name}\n")
            # No IPv6: nothing of the kernel's own (router solicitations) goes out either.
            run("ip", "netns", "exec", host.namespace, "sh", "-c",
                "for f in /proc/sys/net/ipv6/conf/all/disable_ipv6 "
                "/proc/sys/net/ipv6/conf/default/disable_ipv6; do "
                "[ ! -e $f ] || echo 1 > $f; done")
        # Both ends are made inside the namespaces: the machine's own namespace never sees them.
        run("ip", "link", "add", self.a.interface, "netns", self.a.namespace, "type", "veth",
            "peer", "name", self.b.interface, "netns", self.b.namespace)
        for host in self.hosts:
            run("ip", "-n", host.namespace, "addr", "add", f"{host.address}/24", "brd", "+",
                "dev", host.interface)
            run("ip", "-n", host.namespace, "link", "set", "lo", "up")
            run("ip", "-n", host.namespace, "link", "set", host.interface, "up")

    def close(self):
        for host in self.hosts:
            host.stop_processes()
        for host in self.hosts:
            remove_namespace(host.namespace)
        try:
            os.rmdir(ETC_NETNS)  # only when no other namespace has a folder there
        except OSError:
            pass

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


# ----- an X display and a Wine server inside a host ---------------------------------------------


class Display:
    """Xvfb and a window manager started inside the host. Clients of other namespaces reach it
    through its socket in /tmp/.X11-unix; being the host's own, its clipboard and keyboard
    focus are shared with no other Wine session."""

    def __init__(self, host):
        # Xvfb picks a free display itself and tells its number: no race with other displays.
        server = host.start("Xvfb", "-displayfd", "1", "-noreset", "-screen", "0", "1280x1024x24",
                            "-nolisten", "tcp", stdout=subprocess.PIPE)
        ready, _, _ = select.select([server.stdout], [], [], 60)
        number = server.stdout.readline().decode().strip() if ready else ""
        server.stdout.close()
        if not number.isdigit():
            raise AssertionError(f"Xvfb did not start in {host.namespace}")
        self.name = f":{number}"
        environment = dict(os.environ, DISPLAY=self.name)
        wait_for(lambda: subprocess.run(["xdpyinfo"], env=environment, capture_output=True)
             .returncode == 0, 60, f"the display {self.name}")
        # Without a window manager Wine moves no X focus and keys go nowhere. Now and then an
        # openbox ends at once with status 1 and not a word, on a display that works: it is
        # started again then, and what each one said goes into the failure message.
        complaints = []
        for _ in range(3):
            if self._start_window_manager(host, environment, complaints):
                return
        raise AssertionError(f"no window manager on {self.name}: {complaints}")

    @staticmethod
    def _start_window_manager(host, environment, complaints):
        with tempfile.TemporaryFile() as log:
            window_manager = host.start("openbox", env=environment, stderr=log)

            def managed_or_ended():
                if window_manager.poll() is not None:
                    return "ended"
                return "window id" in subprocess.run(
                    ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=environment,
                    capture_output=True).stdout.decode()

            display = environment["DISPLAY"]
            if wait_for(managed_or_ended, 60, f"the window manager on {display}") is True:
                return True
            log.seek(0)
            complaints.append(f"openbox ended ({window_manager.returncode}): "
                              f"{log.read().decode('utf-8', 'replace').strip()}")
            return False


class WineServer:
    """The Wine server of one prefix, run inside the host: Wine makes its sockets in the server,
    so the server's namespace is the one the program's sockets live in. The prefix is made once
    per build folder and reused; a lock keeps two tests from sharing it at the same time. The
    caller sets WINEPREFIX and DISPLAY in the environment first."""

    READY_MARK = "talvorine-ready"

    def __init__(self, host, prefix):
        self.host = host
        self.prefix = prefix
        os.makedirs(os.path.dirname(prefix), exist_ok=True)
        self._lock = open(prefix + ".lock", "w")
        wait_for(lambda: self._try_lock(), 170, f"the Wine prefix {prefix} to be free")
        # A server of this prefix left in another namespace would take our programs in.
        run("wineserver", "-k", check=False)
        run("wineserver", "-w", check=False)
        if not os.path.exists(os.path.join(prefix, self.READY_MARK)):
            self._create_prefix()
        # The sockets of servers ended above are stale; the next one to appear is our server's.
        for path in self.socket_paths():
            os.remove(path)
        self.process = host.start("wineserver", "-f", "-p")
        wait_for(lambda: self.socket_paths() or self.process.poll() is not None, 30,
             "the Wine server's socket")
        if self.process.poll() is not None:
            raise AssertionError(f"the Wine server did not start in {host.namespace}")
        # Starts Wine's services with their output sent away (see wine-env.sh).
        host.call("wine", "cmd", "/c", "exit")

    def _try_lock(self):
        try:
            fcntl.flock(self._lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
            return True
        except BlockingIOError:
            return False

    def _create_prefix(self):
        shutil.rmtree(self.prefix, ignore_errors=True)
        os.makedirs(self.prefix)
        if self.host.call("wine", "wineboot", "-i", timeout=170) != 0:
            raise AssertionError(f"wineboot -i failed for {self.prefix}")
        self.host.call("wineserver", "-w", timeout=120)
        with open(os.path.join(self.prefix, self.READY_MARK), "w"):
            pass

    def socket_paths(self):
        """Where a server of the prefix listens: /tmp/.wine-UID/server-DEV-INODE/socket, or a
        folder of /tmp whose name the server writes into the prefix (Debian's Wine)."""
        info = os.stat(self.prefix)
        server = f"server-{info.st_dev:x}-{info.st_ino:x}"
        return (glob.glob(f"/tmp/.wine-{os.getuid()}/{server}/socket") +
                glob.glob(f"/tmp/wine-*/{server}/socket"))

    def netns_inode(self):
        """The inode of the network namespace the server runs in."""
        return os.stat(f"/proc/{self.process.pid}/ns/net").st_ino

    def close(self):
        run("wineserver", "-k", check=False)
        try:
            self.process.wait(timeout=15)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait(timeout=10)
        fcntl.flock(self._lock, fcntl.LOCK_UN)
        self._lock.close()


# ----- the packet recorder ---------------------------------------------------------------------


def start_recorder(host):
    """Records every packet on every interface of the host; returns its Lines once it is
    recording."""
    process = host.start(sys.executable, os.path.abspath(__file__), "record",
                         stdout=subprocess.PIPE)
    lines = Lines(process)
    lines.wait(lambda line: line == "ready", 15, f"the packet recorder in {host.namespace}")
    return lines


def packets(lines):
    return [json.loads(line) for line in lines.all() if line.startswith("{")]


def foreign_addresses(records):
    """Addresses in the records outside loopback and the test's subnet, and frames that are
    neither IPv4 nor ARP."""
    foreign = []
    for record in records:
        if record["proto"] not in (ETH_P_IP, ETH_P_ARP):
            foreign.append(f"a frame of protocol {record['proto']:#06x} on {record['if']}")
            continue
        for key in ("src", "dst"):
            address = ipaddress.ip_address(record[key])
            if not any(address in network for network in ALLOWED_NETWORKS):
                foreign.append(f"{record[key]} ({key} on {record['if']})")
    return foreign


def udp_datagrams(lines, port):
    """The UDP datagrams to the port that went over the host's veth, sent or received, each
    once (not the copy of its own broadcast that the kernel loops back to the sender):
    [(source, destination, payload bytes)]."""
    seen = []
    for record in packets(lines):
        if (record.get("dport") == port and record["if"] != "lo" and
                record["type"] != PACKET_LOOPBACK):
            seen.append((record["src"], record["dst"], bytes.fromhex(record["payload"])))
    return seen


def record_packets():
    recorder = socket.socket(socket.AF_PACKET, socket.SOCK_DGRAM, socket.htons(ETH_P_ALL))
    print("ready", flush=True)
    while True:
        data, (interface, proto, packet_type, _, _) = recorder.recvfrom(65535)
        record = {"if": interface, "proto": proto, "type": packet_type}
        if proto == ETH_P_IP and len(data) >= 20:
            header = (data[0] & 0x0F) * 4
            record["src"] = socket.inet_ntoa(data[12:16])
            record["dst"] = socket.inet_ntoa(data[16:20])
            if data[9] == IPPROTO_UDP and len(data) >= header + 8:
                record["sport"], record["dport"] = struct.unpack("!HH", data[header:header + 4])
                record["payload"] = data[header + 8:].hex()
        elif proto == ETH_P_ARP and len(data) >= 28:
            record["src"] = socket.inet_ntoa(data[14:18])
            record["dst"] = socket.inet_ntoa(data[24:28])
        print(json.dumps(record), flush=True)


if __name__ == "__main__" and sys.argv[1:] == ["record"]:
    record_packets()
