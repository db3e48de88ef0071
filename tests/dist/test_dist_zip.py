#!/usr/bin/env python3
"""The zip `make dist` packs, opened as a user gets it.

Run through the `check-dist` target of the release build, which sets TALVORINE_DIST_ZIP,
TALVORINE_VERSION and TALVORINE_OBJDUMP.
"""
import os
import re
import struct
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree
import zipfile

EXE = "talvorine.exe"
QUICK_START = "はじめにお読みください.txt"
SAMPLE_PHRASES = "自動読込.tvw"
MAX_EXE_BYTES = 3 * 1024 * 1024

RT_VERSION = 16
RT_MANIFEST = 24

# DLLs every Windows has in its system folder. Anything else (libstdc++-6.dll,
# libgcc_s_seh-1.dll, libwinpthread-1.dll, ...) would have to lie beside the exe.
SYSTEM_DLLS = {
    "advapi32.dll", "bcrypt.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "imm32.dll",
    "iphlpapi.dll", "kernel32.dll", "msvcrt.dll", "ntdll.dll", "ole32.dll", "oleacc.dll",
    "oleaut32.dll", "shell32.dll", "shlwapi.dll", "ucrtbase.dll", "user32.dll", "uxtheme.dll",
    "winhttp.dll", "ws2_32.dll",
}


def foreign_dlls(names):
    """The DLL names that are not part of Windows itself."""
    return [name for name in names
            if name.lower() not in SYSTEM_DLLS and not name.lower().startswith("api-ms-win-")]


def windows_text_problems(data):
    """What keeps Notepad on any Windows, and the program, from reading the bytes as text."""
    problems = []
    if not data:
        problems.append("empty")
    if data.startswith(b"\xef\xbb\xbf"):
        problems.append("starts with a UTF-8 byte-order mark")
    try:
        data.decode("cp932")
    except UnicodeDecodeError as error:
        problems.append(f"not cp932 at byte {error.start}")
    if not data.isascii():
        try:
            data.decode("utf-8")
            # Japanese text in cp932 is practically never valid UTF-8 as well.
            problems.append("UTF-8, not cp932")
        except UnicodeDecodeError:
            pass
    if re.search(rb"\r(?!\n)|(?<!\r)\n", data):
        problems.append("a line end other than CR LF")
    if data and not data.endswith(b"\r\n"):
        problems.append("the last line has no CR LF")
    return problems


def objdump(exe_path, option):
    tool = os.environ.get("TALVORINE_OBJDUMP", "x86_64-w64-mingw32-objdump")
    return subprocess.run([tool, option, exe_path], check=True, capture_output=True,
                          text=True).stdout


def imported_dlls(exe_path):
    return re.findall(r"DLL Name: (\S+)", objdump(exe_path, "-p"))


def section_names(exe_path):
    return re.findall(r"^\s*\d+\s+(\S+)\s+[0-9a-f]{8}", objdump(exe_path, "-h"), re.MULTILINE)


def resource(pe, type_id, name_id):
    """The data of a resource given by numeric type and name (any language), or None."""
    def u16(offset):
        return struct.unpack_from("<H", pe, offset)[0]

    def u32(offset):
        return struct.unpack_from("<I", pe, offset)[0]

    coff = u32(0x3C) + 4
    if pe[coff - 4:coff] != b"PE\0\0":
        raise ValueError("not a PE file")
    optional = coff + 20
    if u16(optional) != 0x20B:
        raise ValueError("not a 64-bit PE file")
    resource_rva = u32(optional + 112 + 2 * 8)
    sections = optional + u16(coff + 16)
    table = [struct.unpack_from("<IIII", pe, sections + 40 * i + 8) for i in range(u16(coff + 2))]

    def file_offset(rva):
        for virtual_size, address, raw_size, raw_pointer in table:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw_pointer + rva - address
        raise ValueError(f"RVA {rva:#x} lies in no section")

    if resource_rva == 0:
        return None
    base = file_offset(resource_rva)

    def entries(directory):
        count = u16(directory + 12) + u16(directory + 14)
        return [(u32(directory + 16 + 8 * i), u32(directory + 20 + 8 * i)) for i in range(count)]

    def subdirectory(directory, wanted_id):
        for name, value in entries(directory):
            if name == wanted_id and value & 0x80000000:
                return base + (value & 0x7FFFFFFF)
        return None

    names = subdirectory(base, type_id)
    languages = subdirectory(names, name_id) if names is not None else None
    if languages is None or not entries(languages):
        return None
    data_entry = base + entries(languages)[0][1]
    start = file_offset(u32(data_entry))
    return pe[start:start + u32(data_entry + 4)]


def version_numbers(version):
    major, minor = version.split(".")
    return int(major), int(minor)


class DistZip(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.version = os.environ["TALVORINE_VERSION"]
        cls.zip_path = os.environ["TALVORINE_DIST_ZIP"]
        cls.folder = tempfile.TemporaryDirectory(prefix="talvorine-dist-")
        with zipfile.ZipFile(cls.zip_path) as archive:
            cls.names = archive.namelist()
            cls.contents = {name: archive.read(name) for name in cls.names}
        cls.exe_path = os.path.join(cls.folder.name, EXE)
        with open(cls.exe_path, "wb") as exe:
            exe.write(cls.contents.get(EXE, b""))

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def test_is_named_after_the_version_and_holds_the_exe_and_the_two_texts(self):
        self.assertEqual(os.path.basename(self.zip_path), f"talvorine-{self.version}-win64.zip")
        self.assertEqual(sorted(self.names), sorted([EXE, QUICK_START, SAMPLE_PHRASES]))

    def test_exe_imports_only_system_dlls(self):
        dlls = imported_dlls(self.exe_path)
        self.assertIn("KERNEL32.dll", dlls)
        self.assertEqual(foreign_dlls(dlls), [])

    def test_exe_carries_its_manifest_and_version_information(self):
        exe = self.contents[EXE]
        manifest = resource(exe, RT_MANIFEST, 1)
        self.assertIsNotNone(manifest, "no manifest")
        root = ElementTree.fromstring(manifest)
        namespace = "{urn:schemas-microsoft-com:asm.v1}"
        identities = [element.get("name") for element in root.iter(f"{namespace}assemblyIdentity")]
        self.assertIn("Microsoft.Windows.Common-Controls", identities)
        major, minor = version_numbers(self.version)
        self.assertEqual(root.find(f"{namespace}assemblyIdentity").get("version"),
                         f"{major}.{minor}.0.0")

        info = resource(exe, RT_VERSION, 1)
        self.assertIsNotNone(info, "no version information")
        fixed = info.find(struct.pack("<I", 0xFEEF04BD))
        self.assertGreater(fixed, 0, "no fixed file information")
        file_version_ms = struct.unpack_from("<I", info, fixed + 8)[0]
        self.assertEqual((file_version_ms >> 16, file_version_ms & 0xFFFF), (major, minor))
        strings = info.decode("utf-16-le", errors="replace")
        self.assertRegex(strings, f"FileVersion\0+{re.escape(self.version)}\0")
        self.assertRegex(strings, f"ProductVersion\0+{re.escape(self.version)}\0")

    def test_exe_has_no_debug_sections_and_stays_under_3_mb(self):
        sections = section_names(self.exe_path)
        self.assertIn(".text", sections)
        self.assertIn(".rsrc", sections)
        self.assertEqual([name for name in sections if name.startswith((".debug", ".zdebug"))],
                         [])
        self.assertLess(len(self.contents[EXE]), MAX_EXE_BYTES)

    def test_texts_are_cp932_with_cr_lf(self):
        for name in (QUICK_START, SAMPLE_PHRASES):
            with self.subTest(name=name):
                self.assertEqual(windows_text_problems(self.contents[name]), [])

    def test_sample_phrases_are_lines_the_program_inserts_whole(self):
        lines = self.contents[SAMPLE_PHRASES].decode("cp932").split("\r\n")[:-1]
        self.assertGreaterEqual(len(lines), 5)
        strokes = []
        for line in lines:
            with self.subTest(line=line):
                stroke, equals, phrase = line.partition("=")
                # Strokes are typed with the letter and digit keys, without Shift.
                self.assertRegex(stroke, r"^[a-z0-9]+$")
                self.assertEqual(equals, "=")
                # A phrase ends at its first ASCII white space: all of it must come through.
                self.assertTrue(phrase)
                self.assertNotRegex(phrase, r"[ \t\r\n\v\f]")
                strokes.append(stroke)
        self.assertEqual(len(strokes), len(set(strokes)), "a stroke given twice")
        self.assertTrue(any(code in line for line in lines
                            for code in ("【年】", "【月】", "【日】", "【時】", "【分】",
                                         "【曜日】", "【日付】", "【時間】")))


class Checks(unittest.TestCase):
    """The checks above catch what they are there for."""

    def test_texts_notepad_would_misread_are_refused(self):
        cases = [
            ("cp932 with CR LF", "語句\r\nです\r\n".encode("cp932"), []),
            ("LF alone", "語句\nです\r\n".encode("cp932"), ["a line end other than CR LF"]),
            ("CR alone", "語句\rです\r\n".encode("cp932"), ["a line end other than CR LF"]),
            ("UTF-8", "（拍手）\r\n".encode("utf-8"), ["not cp932 at byte 0", "UTF-8, not cp932"]),
            ("UTF-8 that cp932 also decodes", "語句\r\n".encode("utf-8"), ["UTF-8, not cp932"]),
            ("UTF-8 with a mark", "\ufeffab\r\n".encode("utf-8"),
             ["starts with a UTF-8 byte-order mark", "not cp932 at byte 0",
              "UTF-8, not cp932"]),
            ("no last line end", "語句".encode("cp932"), ["the last line has no CR LF"]),
            ("empty", b"", ["empty"]),
        ]
        for name, data, problems in cases:
            with self.subTest(case=name):
                self.assertEqual(windows_text_problems(data), problems)

    def test_dlls_from_the_compiler_are_foreign(self):
        names = ["KERNEL32.dll", "USER32.dll", "api-ms-win-crt-runtime-l1-1-0.dll",
                 "libstdc++-6.dll", "libgcc_s_seh-1.dll", "libwinpthread-1.dll", "zlib1.dll"]
        self.assertEqual(foreign_dlls(names),
                         ["libstdc++-6.dll", "libgcc_s_seh-1.dll", "libwinpthread-1.dll",
                          "zlib1.dll"])


if __name__ == "__main__":
    unittest.main()
