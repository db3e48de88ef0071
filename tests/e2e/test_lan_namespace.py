"""End-to-end tests of LAN sharing between two hosts: the program under Wine in network namespace
A (10.213.0.1/24) and talvorine-lan in namespace B (10.213.0.2/24), joined by a veth pair. With
IPaddr empty the program finds the broadcast address of its own interface and sends there; the
other host hears it and is heard. Nothing reaches any address but loopback and 10.213.0.0/24:
both namespaces record every packet and the tests check them."""

import ipaddress
import os
import subprocess
import zlib

import netns
from desktop_road import Road, settings_text
from talvorine_e2e import (CK_NW_USE, EDIT1, IPADDR, Session, TalvorineTestCase, environment,
                           main, wait_for)

CHANNEL = 17
PORT = 5504 + CHANNEL

# Double-byte text, a half-width kana, an NEC special, a backslash and a line break: every
# kind of byte a hand-over carries.
HANDED_OVER = "受け渡し①：ﾊﾝｶｸと～全角、C:\\temp\r\n二行目"
FROM_THE_OTHER_HOST = "Ｂからの連絡：休憩は１０分です"


def lan_settings():
    """LAN sharing on from the start, on our channel, with the four LAN hotkeys registered."""
    return settings_text(Network_UseNetwork=1, Network_CH=CHANNEL, Network_AutoNwKeySet=1)


def received_text(line):
    """The text of a "received text: " line of talvorine-lan listen, escapes undone."""
    text = line[len("received text: "):]
    out = []
    i = 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            out.append({"\\": "\\", "r": "\r", "n": "\n"}[text[i + 1]])
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


class TwoHostsTestCase(TalvorineTestCase):
    """Hosts A and B, A with its own display and Wine server, and a Session whose Windows
    programs run in A. Everything is removed again, also when a step fails."""

    def setUp(self):
        self.lan_tool = environment("TALVORINE_LAN")
        if not os.access(self.lan_tool, os.X_OK):
            raise AssertionError(
                f"talvorine-lan is not built at {self.lan_tool}: build the Linux tools first "
                "(cmake --build --preset linux --target talvorine-lan)")
        self.network = netns.Network()
        self.addCleanup(self.network.close)
        self.a, self.b = self.network.a, self.network.b
        self.assert_only_own_routes()
        self.packets_a = netns.start_recorder(self.a)
        self.packets_b = netns.start_recorder(self.b)
        # Checked once every program of the test has ended, so its whole life is covered.
        self.addCleanup(self.assert_only_own_addresses)
        display = netns.Display(self.a)
        self.set_environment(DISPLAY=display.name, WINEPREFIX=environment("E2E_NETNS_PREFIX"))
        wine_server = netns.WineServer(self.a, os.environ["WINEPREFIX"])
        self.addCleanup(wine_server.close)
        self.assertEqual(wine_server.netns_inode(),
                         os.stat(f"/run/netns/{self.a.namespace}").st_ino,
                         "the Wine server runs in namespace A")
        self.session = Session(self.id(), wine=self.a.command("wine"))
        self.addCleanup(self.session.close)

    def set_environment(self, **values):
        """Points this test's X and Wine commands at host A; undone at the end."""
        saved = {name: os.environ.get(name) for name in values}

        def restore():
            for name, value in saved.items():
                if value is None:
                    os.environ.pop(name, None)
                else:
                    os.environ[name] = value

        self.addCleanup(restore)
        os.environ.update(values)

    def assert_only_own_routes(self):
        for host in self.network.hosts:
            addresses, has_default = host.route_addresses()
            self.assertFalse(has_default, f"{host.namespace} has a default route")
            foreign = [a for a in addresses
                       if not any(ipaddress.ip_network(a, strict=False).subnet_of(n)
                                  for n in netns.ALLOWED_NETWORKS)]
            self.assertEqual(foreign, [], f"routes of {host.namespace}")

    def assert_only_own_addresses(self):
        for name, lines in (("A", self.packets_a), ("B", self.packets_b)):
            self.assertEqual(netns.foreign_addresses(netns.packets(lines)), [],
                             f"packets in namespace {name}")

    def listen_in_b(self, *options):
        """talvorine-lan listen on our channel in B, once it listens."""
        listener = netns.Lines(self.b.start(self.lan_tool, "listen", "--channel", CHANNEL,
                                            *options, cwd=self.b_workdir(),
                                            stdout=subprocess.PIPE))
        listener.wait(lambda line: line.startswith(f"listening on channel {CHANNEL}, port {PORT}"),
                      15, "talvorine-lan to listen in B")
        return listener

    def b_workdir(self):
        """B's working folder: each host keeps the file it receives in its own recv.tmp."""
        path = self.session.path("host-b")
        os.makedirs(path, exist_ok=True)
        return path

    def start_program_and_target(self):
        """The program with LAN sharing on, then the paste target in front, for the hotkeys to
        reach the program; the Road and the broadcast address."""
        s = self.session
        s.write("自動読込.tvs", lan_settings())
        s.start_talvorine()
        brd = self.wait_lan_on()
        # Windows that appear in a fresh session (Wine's tray, the candidate window of the
        # start-up) take the focus from whatever was in front: the target comes after them.
        wait_for(lambda: s.x_window("Wine System Tray"), 15, "Wine's system tray")
        s.wait_startup_settled()
        s.start_target()
        road = Road(s)
        road.focus_target()
        return road, brd

    def wait_lan_on(self):
        """The first Timer2 tick with LAN sharing on has determined the address and opened the
        endpoint: IPaddr shows the address."""
        return wait_for(lambda: self.session.control_text(IPADDR), 20, "IPaddr to be filled")


class BroadcastAddress(TwoHostsTestCase):
    def test_an_empty_ipaddr_becomes_the_broadcast_address_of_the_hosts_own_interface(self):
        brd = self.a.broadcast_address()
        self.session.write("自動読込.tvs", lan_settings())
        self.session.start_talvorine()
        self.assertEqual(self.wait_lan_on(), brd, "the brd that ip reports in namespace A")
        self.assertEqual(self.session.control_state(CK_NW_USE), 1)


class HandOver(TwoHostsTestCase):
    def test_the_hand_over_hotkey_reaches_the_other_host_and_its_text_comes_back(self):
        listener = self.listen_in_b()
        road, brd = self.start_program_and_target()
        self.assertEqual(brd, self.a.broadcast_address())

        self.assertEqual(road.probe("set-clipboard", HANDED_OVER), "set")
        road.focus_target()
        road.press("ctrl+1")  # HK_SET with its default binding
        line = listener.wait(lambda line: line.startswith("received text: "), 15,
                             "the hand-over in B")
        self.assertEqual(received_text(line), HANDED_OVER)
        sent = wait_for(lambda: netns.udp_datagrams(self.packets_b, PORT), 10,
                        "the datagram on B's interface")
        self.assertEqual(sent, [(self.a.address, brd, b"CB:" + HANDED_OVER.encode("cp932"))])
        # The program hears its own broadcast as every receiver does.
        wait_for(lambda: self.session.control_text(EDIT1) == HANDED_OVER, 10,
                 "the own hand-over in Edit1")

        sender = self.b.run(self.lan_tool, "send-text", FROM_THE_OTHER_HOST, "--to", brd,
                            "--channel", CHANNEL)
        self.assertIn("sent text: ", sender)
        wait_for(lambda: self.session.control_text(EDIT1) == FROM_THE_OTHER_HOST, 10,
                 "the text from B in Edit1")
        heard = wait_for(lambda: [d for d in netns.udp_datagrams(self.packets_a, PORT)
                                  if d[0] == self.b.address], 10, "B's datagram on A's interface")
        self.assertEqual(heard, [(self.b.address, brd,
                                  b"CB:" + FROM_THE_OTHER_HOST.encode("cp932"))])


# 1000 bytes, zero bytes among them: four full chunks and the empty one that ends a file whose
# size is a multiple of 250.
FILE_DATA = bytes((i * 7 + i // 256) % 256 for i in range(1000))
FILE_NAME = "送付資料.bin"
IDOK = 1
IDYES = 6


def dialog_texts(session, title):
    """The texts of the program's dialog or message box with that title, or None."""
    answer = session.helper("dialog-text", title)
    return answer["texts"] if answer["found"] else None


def file_datagrams(datagrams):
    """The kinds of the file datagrams, in order, and the FS and FE payloads."""
    kinds = [payload[:3] for _, _, payload in datagrams if payload[:3] in (b"FS:", b"FL:", b"FE:")]
    heads = [payload for _, _, payload in datagrams if payload[:3] in (b"FS:", b"FE:")]
    return kinds, heads


class FileTransfer(TwoHostsTestCase):
    def test_a_file_sent_with_the_hotkey_is_saved_on_the_other_host_and_ends_at_the_sender(self):
        s = self.session
        s.write(FILE_NAME, FILE_DATA)
        save_dir = s.path("received-in-b")
        os.makedirs(save_dir)
        listener = self.listen_in_b("--save-dir", save_dir)
        road, brd = self.start_program_and_target()
        road.press("ctrl+6")  # HK_FSEND with its default binding
        wait_for(lambda: s.helper("file-dialog", "送信するファイルを指示", FILE_NAME)["found"], 15,
                 "the file dialog")
        line = listener.wait(lambda line: line.startswith(("saved file: ", "not saved: ")), 30,
                             "the file in B")
        self.assertEqual(line, f"saved file: {os.path.join(save_dir, FILE_NAME)}")
        with open(os.path.join(save_dir, FILE_NAME), "rb") as saved:
            self.assertEqual(saved.read(), FILE_DATA)
        # The sender hears its own end and knows the file is its own by its host name.
        self.assertEqual(wait_for(lambda: dialog_texts(s, "ファイル送信"), 15, "the sender's box"),
                         ["送信完了しました。"])
        s.helper("press", "ファイル送信", IDOK)
        self.assertFalse(s.exists("recv.tmp"))

        kinds, heads = file_datagrams([d for d in netns.udp_datagrams(self.packets_b, PORT)
                                       if d[:2] == (self.a.address, brd)])
        self.assertEqual(kinds, [b"FS:"] + [b"FL:"] * 5 + [b"FE:"])
        path = ("Z:" + s.path(FILE_NAME).replace("/", "\\")).encode("cp932")
        host = self.a.host_name.encode("ascii")
        # The end carries the file's size and CRC-32 behind a zero byte, where earlier peers,
        # which read text up to the first zero byte, never look.
        check = b"\0CHK:%d:%08X" % (len(FILE_DATA), zlib.crc32(FILE_DATA))
        self.assertEqual(heads,
                         [b"FS:" + host + b":" + path, b"FE:" + host + b":" + path + check])

    def test_a_file_from_the_other_host_is_offered_under_its_host_name_and_saved(self):
        s = self.session
        sent = os.path.join(s.path("in-b"), FILE_NAME)
        os.makedirs(os.path.dirname(sent))
        with open(sent, "wb") as file:
            file.write(FILE_DATA)
        s.write("自動読込.tvs", lan_settings())
        s.start_talvorine()
        brd = self.wait_lan_on()
        self.b.start(self.lan_tool, "send-file", sent, "--to", brd, "--channel", CHANNEL,
                     cwd=self.b_workdir())
        self.assertEqual(wait_for(lambda: dialog_texts(s, "到着ファイルの保存"), 30, "the question"),
                         [f"{self.b.host_name} からファイルが届きました。保存しますか？"])
        s.helper("press", "到着ファイルの保存", IDYES)
        wait_for(lambda: s.helper("file-dialog", "受信したファイルの保存", "saved.bin")["found"],
                 15, "the save dialog")
        self.assertEqual(wait_for(lambda: dialog_texts(s, "ファイル受信"), 15, "the saved box"),
                         ["保存完了しました。"])
        self.assertEqual(s.read("saved.bin"), FILE_DATA)
        # The temporary file goes once the box is closed.
        s.helper("press", "ファイル受信", IDOK)
        wait_for(lambda: not s.exists("recv.tmp"), 10, "recv.tmp to be deleted")


if __name__ == "__main__":
    main()
