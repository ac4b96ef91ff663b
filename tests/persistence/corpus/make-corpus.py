#!/usr/bin/env python3
"""Writes the bad-event-file corpus: one file per case, and expected.txt, the table the corpus
test checks each file against (EventFileCorpusTest.cpp).

expected.txt holds one line per file:
  name  entries  compare  saved  [checks...]
    entries  the number of entries a load gives
    compare  what comparing the loaded table with the file gives: same, changed, or 13 (a stored
             numeric value that is not a number)
    saved    what comparing the table with the copy it was saved to gives: same, or changed
             (only where a share name keeps blanks or quotes around it, which the file loses)
    checks   n.Key=value (entry n's field) or device=text; %XX stands for the byte XX (hex), %20 for a blank

Run it from anywhere; it rewrites the .ini files and expected.txt of the directory it lives in.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
CASES = []

KEYS = ["DMXChannel", "Data1", "Data2", "MIDIMessage", "Value", "SendNoteOff", "SendOnlyOnce",
        "Share", "ShareName", "Typ"]
WARNING = "WARNING=DO NOT EDIT UNLESS YOU KNOW WHAT YOU ARE DOING!"


def case(name, data, entries, compare="same", saved="same", *checks):
    if isinstance(data, str):
        data = data.encode("latin-1")
    CASES.append((name, data, entries, compare, saved, checks))


def lines(*text, end="\r\n", final=True):
    body = end.join(text)
    return body + end if final else body


def general(count, device="Synth"):
    return ["[General]", WARNING, "MIDIOutputDevice=" + device, "Count=" + str(count)]


def entry(n, **values):
    keys = {"DMXChannel": n + 1, "Data1": 60, "Data2": 100, "MIDIMessage": 144, "Value": 127,
            "SendNoteOff": 0, "SendOnlyOnce": 0, "Share": 0, "ShareName": "", "Typ": 0}
    keys.update(values)
    return ["[Entry_%d]" % n] + ["%s=%s" % (k, keys[k]) for k in KEYS if keys[k] is not None]


def good(count, end="\r\n", final=True):
    text = general(count - 1)
    for n in range(count):
        text += entry(n)
    return lines(*text, end=end, final=final)


# --- empty and garbage -------------------------------------------------------------------------
case("empty", "", 1)
case("only-newline", "\r\n", 1)
case("only-blanks", "   \t  \r\n \r\n", 1)
case("only-ctrl-z", "\x1a", 1)
case("single-nul", "\0", 1)
case("nul-run", "\0" * 4096, 1)
for seed in range(8):
    state = 0x9E3779B9 * (seed + 1) & 0xFFFFFFFF
    garbage = bytearray()
    for _ in range(2048 << seed % 4):
        state = (state * 1103515245 + 12345) & 0xFFFFFFFF
        garbage.append(state >> 16 & 0xFF)
    case("garbage-%d" % seed, bytes(garbage), 1)
case("garbage-brackets", "[[[[]]]]][[=]=[=\r\n[=]\r\n=\r\n[General\r\n", 1)
case("garbage-equals", "=\r\n==\r\n=Count=5\r\n", 1)
case("general-unclosed-header", lines("[General", "Count=3"), 1)
case("general-header-only", lines("[General]"), 1)
case("png-header", b"\x89PNG\r\n\x1a\n" + bytes(range(256)) * 4, 1)
case("utf16-le-bom", "\ufeff[General]\r\nCount=2\r\n".encode("utf-16-le"), 1)

# --- Count ---------------------------------------------------------------------------------------
case("count-zero", good(1), 1, "same", "same", "0.DMXChannel=1", "device=Synth")
case("count-three", good(4), 4, "same", "same", "3.DMXChannel=4")
case("count-missing", lines("[General]", "MIDIOutputDevice=Synth", *entry(0)), 1,
     "same", "same", "0.DMXChannel=1")
case("count-empty", lines(*general(""), *entry(0)), 1, "13")
case("count-negative", lines(*general(-4), *entry(0)), 1, "changed")
case("count-minus-one", lines(*general(-1), *entry(0)), 1, "changed")
case("count-words", lines(*general("many"), *entry(0)), 1, "13")
case("count-hex", lines(*general("0x10"), *entry(0)), 1, "13")
case("count-exponent", lines(*general("1e3"), *entry(0)), 1001, "same")
case("count-trailing-text", lines(*general("3 entries"), *entry(0)), 1, "13")
case("count-fraction-down", lines(*general("1.4"), *entry(0), *entry(1)), 2, "changed")
case("count-half-even", lines(*general("2.5"), *entry(0)), 3, "changed")
case("count-plus-sign", lines(*general("+1"), *entry(0), *entry(1)), 2, "same")
case("count-leading-zeros", lines(*general("0002"), *entry(0)), 3, "same")
case("count-quoted", lines(*general('"1"'), *entry(0), *entry(1)), 2, "same")
case("count-single-quoted", lines(*general("'1'"), *entry(0), *entry(1)), 2, "same")
case("count-max", lines(*general(32766), *entry(0)), 32767, "same")
case("count-max-plus-one", lines(*general(32767), *entry(0)), 32767, "changed")
case("count-int32-max", lines(*general(2147483647)), 32767, "changed")
case("count-int32-overflow", lines(*general(2147483648)), 1, "changed")
case("count-huge", lines(*general(10 ** 30)), 1, "changed")
case("count-huge-negative", lines(*general(-10 ** 30)), 1, "changed")
case("count-2000000000", lines(*general(2000000000)), 32767, "changed")
case("count-blanks-around", lines("[General]", "  Count  =   1   ", *entry(0), *entry(1)), 2)
case("count-tab-around", lines("[General]", "\tCount\t=\t1\t", *entry(0), *entry(1)), 2)
case("count-name-case", lines("[general]", "COUNT=1", *entry(0), *entry(1)), 2)
case("count-no-equals", lines("[General]", "Count", *entry(0)), 1)
case("count-overlong-digits", lines(*general("0" * 2000 + "1"), *entry(0), *entry(1)), 1, "same")
case("count-nul-inside", lines(*general("1\x002"), *entry(0)), 1, "13")

# --- numeric values ------------------------------------------------------------------------------
case("value-negative-channel", lines(*general(0), *entry(0, DMXChannel=-7)), 1, "same", "same",
     "0.DMXChannel=-7")
case("value-words", lines(*general(0), *entry(0, MIDIMessage="note")), 1, "13", "same",
     "0.MIDIMessage=0")
case("value-empty", lines(*general(0), *entry(0, Value="")), 1, "13", "same", "0.Value=0")
case("value-blank", lines(*general(0), *entry(0, Value="   ")), 1, "13", "same", "0.Value=0")
case("value-int32-overflow", lines(*general(0), *entry(0, Data1=99999999999)), 1, "changed",
     "same", "0.Data1=0")
case("value-int32-min", lines(*general(0), *entry(0, Data1=-2147483648)), 1, "same", "same",
     "0.Data1=-2147483648")
case("value-int32-max", lines(*general(0), *entry(0, Data2=2147483647)), 1, "same", "same",
     "0.Data2=2147483647")
case("value-fraction", lines(*general(0), *entry(0, Data2="64.5")), 1, "changed", "same",
     "0.Data2=64")
case("value-fraction-up", lines(*general(0), *entry(0, Data2="65.5")), 1, "changed", "same",
     "0.Data2=66")
case("value-plus", lines(*general(0), *entry(0, Typ="+1")), 1, "same", "same", "0.Typ=1")
case("value-minus-zero", lines(*general(0), *entry(0, Typ="-0")), 1, "same", "same", "0.Typ=0")
case("value-leading-zeros", lines(*general(0), *entry(0, MIDIMessage="0144")), 1, "same", "same",
     "0.MIDIMessage=144")
case("value-hex", lines(*general(0), *entry(0, MIDIMessage="&H90")), 1, "13", "same",
     "0.MIDIMessage=0")
case("value-c-hex", lines(*general(0), *entry(0, MIDIMessage="0x90")), 1, "13")
case("value-exponent", lines(*general(0), *entry(0, Data1="1e2")), 1, "same", "same",
     "0.Data1=100")
case("value-two-signs", lines(*general(0), *entry(0, Data1="--1")), 1, "13")
case("value-comma-decimal", lines(*general(0), *entry(0, Data1="1,5")), 1, "13")
case("value-quoted", lines(*general(0), *entry(0, DMXChannel='"12"')), 1, "same", "same",
     "0.DMXChannel=12")
case("value-quoted-blanks", lines(*general(0), *entry(0, DMXChannel='" 12 "')), 1, "same",
     "same", "0.DMXChannel=12")
case("value-unmatched-quote", lines(*general(0), *entry(0, DMXChannel='"12')), 1, "13")
case("value-every-key-words", lines(*general(0), "[Entry_0]",
                                    *["%s=x" % k for k in KEYS if k != "ShareName"]), 1, "13",
     "same", "0.Value=0", "0.MIDIMessage=0")
case("value-later-entry-words", lines(*general(2), *entry(0), *entry(1), *entry(2, Typ="two")),
     3, "13")
case("value-above-count-words", lines(*general(0), *entry(0), *entry(1, Typ="two")), 1, "same")
case("value-overlong-digits", lines(*general(0), *entry(0, Data1="0" * 1500 + "7")), 1,
     "same", "same", "0.Data1=0")
case("value-overlong-words", lines(*general(0), *entry(0, Data1="x" * 5000)), 1, "13")
case("value-megabyte", lines(*general(0), *entry(0, Data1="9" * (1 << 20) + "1")), 1, "changed")
case("value-nul", lines(*general(0), *entry(0, Data1="6\x000")), 1, "13")
case("value-latin1", lines(*general(0), *entry(0, Data1="\xbd")), 1, "13")
case("value-nbsp", lines(*general(0), *entry(0, Data1="\xa05")), 1, "13")

# --- sections and keys ---------------------------------------------------------------------------
case("missing-general", lines(*entry(0)), 1, "same", "same", "0.DMXChannel=1")
case("missing-entries", lines(*general(2)), 3, "same", "same", "2.MIDIMessage=144",
     "2.Value=127", "2.DMXChannel=0")
case("missing-middle-entry", lines(*general(2), *entry(0), *entry(2)), 3, "same", "same",
     "1.DMXChannel=0", "2.DMXChannel=3")
case("missing-keys", lines(*general(0), "[Entry_0]", "Typ=1"), 1, "same", "same",
     "0.MIDIMessage=144", "0.Value=127", "0.Typ=1")
case("entry-header-only", lines(*general(0), "[Entry_0]"), 1, "same", "same", "0.Value=127")
case("duplicate-general", lines(*general(1), *entry(0), *entry(1), *general(5, "Other")), 2,
     "same", "same", "device=Synth")
case("duplicate-entry", lines(*general(0), *entry(0, DMXChannel=5), *entry(0, DMXChannel=9)),
     1, "same", "same", "0.DMXChannel=5")
case("duplicate-key", lines(*general(0), "[Entry_0]", "DMXChannel=5", "DMXChannel=x"), 1,
     "same", "same", "0.DMXChannel=5")
case("duplicate-key-bad-first", lines(*general(0), "[Entry_0]", "DMXChannel=x", "DMXChannel=5"),
     1, "13", "same", "0.DMXChannel=0")
case("duplicate-count", lines("[General]", "Count=1", "Count=3", *entry(0), *entry(1)), 2)
case("key-case", lines(*general(0), "[entry_0]", "dmxchannel=8", "SHARENAME=Fog", "share=1"), 1,
     "same", "same", "0.DMXChannel=8", "0.ShareName=Fog", "0.Share=1")
case("section-blanks", lines(*general(0), "  [ Entry_0 ]  ", "DMXChannel=8"), 1, "same", "same",
     "0.DMXChannel=8")
case("section-trailing-text", lines(*general(0), "[Entry_0] note", "DMXChannel=8"), 1, "same",
     "same", "0.DMXChannel=8")
case("section-leading-zero", lines(*general(1), "[Entry_01]", "DMXChannel=8"), 2, "same", "same",
     "1.DMXChannel=0")
case("section-negative", lines(*general(0), "[Entry_-1]", "DMXChannel=8"), 1, "same", "same",
     "0.DMXChannel=0")
case("keys-before-any-section", lines("Count=3", "DMXChannel=4", *entry(0)), 1, "same", "same",
     "0.DMXChannel=1")
case("comment-lines", lines("; a comment", *general(0), "# another", *entry(0)), 1)
case("commented-key", lines(*general(0), "[Entry_0]", ";DMXChannel=8"), 1, "same", "same",
     "0.DMXChannel=0")
case("key-without-equals", lines(*general(0), "[Entry_0]", "DMXChannel"), 1, "same", "same",
     "0.DMXChannel=0")
case("key-empty-name", lines(*general(0), "[Entry_0]", "=5", "DMXChannel=3"), 1, "same", "same",
     "0.DMXChannel=3")
case("key-two-equals", lines(*general(0), "[Entry_0]", "DMXChannel=3=4"), 1, "13")
case("blanks-around-names", lines(" [General] ", "  MIDIOutputDevice  =  Synth  ", " Count = 0 ",
                                  " [Entry_0] ", "  DMXChannel  =  12  "), 1, "same", "same",
     "0.DMXChannel=12", "device=Synth")
case("many-entries-above-count", lines(*general(0), *sum((entry(n) for n in range(3000)), [])),
     1)

# --- device and share names ----------------------------------------------------------------------
case("device-blanks", lines(*general(0, "   Synth A   "), *entry(0)), 1, "same", "same",
     "device=Synth%20A")
case("device-quoted", lines(*general(0, '" Synth "'), *entry(0)), 1, "same", "same",
     "device=Synth")
case("device-latin1", lines(*general(0, "Caf\xe9 \xbd"), *entry(0)), 1, "same", "same",
     "device=Café%20½")
case("device-utf8", (lines(*general(0, "@@"), *entry(0))).encode("latin-1").replace(
    b"@@", "Café ♪".encode("utf-8")), 1, "same", "same", "device=Café%20♪")
case("device-overlong", lines(*general(0, "d" * 1500), *entry(0)), 1)
case("device-megabyte", lines(*general(0, "d" * (1 << 20) + "e"), *entry(0)), 1)
case("share-name-blanks", lines(*general(0), *entry(0, Share=1, ShareName='"  Fog  "')), 1,
     "same", "changed", "0.ShareName=%20%20Fog%20%20")
case("share-name-quotes-kept", lines(*general(0), *entry(0, Share=1, ShareName='""Fog""')), 1,
     "same", "changed", '0.ShareName="Fog"')
case("share-name-one-quote", lines(*general(0), *entry(0, Share=1, ShareName='"Fog')), 1,
     "same", "same", '0.ShareName="Fog')
case("share-name-latin1", lines(*general(0), *entry(0, Share=1, ShareName="Caf\xe9 \x80\xff")),
     1, "same", "same", "0.ShareName=Café%20€ÿ")
case("share-name-undefined-1252", lines(*general(0), *entry(0, ShareName="\x81\x8d\x8f\x90\x9d")),
     1)
case("share-name-utf8", lines(*general(0), *entry(0, ShareName="@@")).encode("latin-1").replace(
    b"@@", "Café ♪ 日本".encode("utf-8")), 1)
case("share-name-invalid-utf8", lines(*general(0), *entry(0, ShareName="\xc3\x28\xe2\x82")), 1)
case("share-name-nul", lines(*general(0), *entry(0, ShareName="a\x00b")), 1)
case("share-name-1023", lines(*general(0), *entry(0, ShareName="s" * 1023)), 1)
case("share-name-1024", lines(*general(0), *entry(0, ShareName="s" * 1024)), 1)
case("share-name-overlong", lines(*general(0), *entry(0, ShareName="s" * 3000)), 1)
case("share-name-overlong-latin1", lines(*general(0), *entry(0, ShareName="\xe9" * 1500)), 1)
case("share-name-megabyte", lines(*general(0), *entry(0, ShareName="n" * (1 << 20) + "m")), 1)
case("share-name-equals", lines(*general(0), *entry(0, ShareName="a=b=c")), 1, "same", "same",
     "0.ShareName=a=b=c")
case("share-name-brackets", lines(*general(0), *entry(0, ShareName="[Entry_0]")), 1)
case("share-name-semicolon", lines(*general(0), *entry(0, ShareName="; not a comment")), 1)
case("share-name-tab-inside", lines(*general(0), *entry(0, ShareName="a\tb")), 1, "same", "same",
     "0.ShareName=a%09b")

# --- line ends -----------------------------------------------------------------------------------
case("lf-only", good(3, "\n"), 3, "same", "same", "2.DMXChannel=3")
case("cr-only", good(3, "\r"), 3, "same", "same", "2.DMXChannel=3")
case("lf-cr", good(3, "\n\r"), 3, "same", "same", "2.DMXChannel=3")
case("mixed-line-ends", lines(*general(1), end="\n") + lines(*entry(0), end="\r") +
     lines(*entry(1), end="\r\n"), 2, "same", "same", "1.DMXChannel=2")
case("no-final-newline", good(2, final=False), 2, "same", "same", "1.Typ=0")
case("no-final-newline-lf", good(2, "\n", final=False), 2)
case("no-final-newline-cr", good(2, "\r", final=False), 2)
case("no-final-newline-value", lines(*general(0), *entry(0))[:-2] + "99", 1, "same", "same",
     "0.Typ=99")
case("blank-lines-between", good(2, "\r\n\r\n\r\n"), 2)
case("overlong-line", lines(*general(0), "x" * 5000, *entry(0)), 1)
case("overlong-section-name", lines(*general(0), "[" + "E" * 5000 + "]", "Typ=1", *entry(0)), 1)
case("overlong-key-name", lines(*general(0), "[Entry_0]", "K" * 5000 + "=1"), 1)
case("megabyte-line", lines(*general(0), *entry(0), "z" * (1 << 20) + "=1"), 1)
case("nul-inside-line", lines(*general(0), "[Entry_0]", "DMX\x00Channel=4"), 1, "same", "same",
     "0.DMXChannel=0")
case("nul-after-count", lines("[General]", "Count=1", "\0\0\0", *entry(0), *entry(1)), 2)
case("ctrl-z-ending", good(2) + "\x1a", 2)
case("utf8-bom", "\ufeff".encode("utf-8") + good(2).encode("latin-1"), 2, "same", "same",
     "device=Synth", "1.DMXChannel=2")
case("utf8-bom-utf8-device", "\ufeff".encode("utf-8") + lines(*general(0, "@@"), *entry(0)).encode(
    "latin-1").replace(b"@@", "Café ♪".encode("utf-8")), 1, "same", "same", "device=Café%20♪")
case("crlf-windows-save", good(5), 5, "same", "same", "4.DMXChannel=5")


def main():
    for name in os.listdir(HERE):
        if name.endswith(".ini") or name == "expected.txt":
            os.remove(os.path.join(HERE, name))
    names = set()
    with open(os.path.join(HERE, "expected.txt"), "w", encoding="utf-8", newline="\n") as table:
        table.write("# Written by make-corpus.py; see there for the columns.\n")
        for name, data, entries, compare, saved, checks in CASES:
            assert name not in names, name
            names.add(name)
            with open(os.path.join(HERE, name + ".ini"), "wb") as out:
                out.write(data)
            table.write(" ".join([name + ".ini", str(entries), compare, saved, *checks]) + "\n")
    print("%d files" % len(CASES))


main()
