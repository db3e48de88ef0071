#!/usr/bin/env python3
"""Packs the zip a Windows user downloads: the exe, the quick-start text and a sample phrase list.

The texts are kept here in UTF-8 with LF line ends, so that they read well in a diff; in the zip
they are cp932 with CR LF, the form Notepad shows on every Windows and the program reads.
"""
import argparse
import os
import sys
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))

# Name in the zip -> source file here.
TEXTS = {
    "はじめにお読みください.txt": "quick-start.txt",
    "自動読込.tvw": "sample-phrases.tvw",
}


def windows_text(source_path):
    with open(source_path, encoding="utf-8") as source:
        text = source.read()
    if "\r" in text:
        raise ValueError(f"{source_path}: keep LF line ends here; the zip gets CR LF")
    # A character outside cp932 is an error, not a "?" in the user's file.
    return text.replace("\n", "\r\n").encode("cp932")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--exe", required=True, help="the Release talvorine.exe")
    parser.add_argument("--out", required=True, help="the zip to write")
    args = parser.parse_args()

    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    partial = args.out + ".partial"
    # Names go in as UTF-8 with the zip's UTF-8 flag, which Explorer (Windows 10 and later)
    # and the common unpackers honour; every entry is dated like the exe.
    stamp = time.localtime(os.path.getmtime(args.exe))[:6]
    with zipfile.ZipFile(partial, "w", compression=zipfile.ZIP_DEFLATED) as archive:
        entry = zipfile.ZipInfo("talvorine.exe", date_time=stamp)
        entry.compress_type = zipfile.ZIP_DEFLATED
        with open(args.exe, "rb") as exe:
            archive.writestr(entry, exe.read())
        for name, source in TEXTS.items():
            entry = zipfile.ZipInfo(name, date_time=stamp)
            entry.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(entry, windows_text(os.path.join(HERE, source)))
    # A zip half written by an interrupted run never takes the final name.
    os.replace(partial, args.out)
    print(f"{args.out}: {os.path.getsize(args.out)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
