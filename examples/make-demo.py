#!/usr/bin/env python3
"""Writes the demo project: demo.Notecast (ten events, two of each trigger kind, two shared) and
demo.show, a ten-second DMX recording in OLA's show file format that exercises every event."""
import math

EVENTS = [
    # channel, type, status, data1, data2, threshold, note-off, once, shared name
    (1, 0, 0x90, 60, 100, 128, 1, 1, "Intro hit"),  # rising past 128 once per swell
    (2, 0, 0xC0, 5, 0, 200, 0, 0, ""),              # program change while above 200
    (3, 1, 0x91, 62, 90, 50, 1, 1, ""),             # falling to 50 once per dip
    (4, 1, 0xB0, 64, 0, 10, 0, 0, ""),              # sustain off while down
    (5, 2, 0x99, 36, 110, 0, 1, 0, ""),             # a drum hit on every change
    (6, 2, 0x99, 42, 80, 0, 1, 0, "Scene change"),  # another drum, also a host command
    (7, 4, 0xB0, 7, 0, 0, 0, 0, ""),                # volume follows the channel
    (8, 4, 0xB0, 10, 0, 0, 0, 0, ""),               # pan follows the channel
    (9, 3, 0xE0, 0, 64, 0, 0, 0, ""),               # pitch bend fine byte from the channel
    (10, 3, 0x92, 0, 100, 0, 1, 0, ""),             # a note whose key comes from the channel
]
KEYS = ["DMXChannel", "Data1", "Data2", "MIDIMessage", "Value", "SendNoteOff", "SendOnlyOnce",
        "Share", "ShareName", "Typ"]


def event_file():
    lines = ["[General]", "WARNING=DO NOT EDIT UNLESS YOU KNOW WHAT YOU ARE DOING!",
             "MIDIOutputDevice=Notecast virtual output", "Count=%d" % (len(EVENTS) - 1),
             "WindowState=0", "Left=1500", "Top=1500"]
    for i, (channel, typ, status, d1, d2, value, off, once, name) in enumerate(EVENTS):
        fields = dict(DMXChannel=channel, Data1=d1, Data2=d2, MIDIMessage=status, Value=value,
                      SendNoteOff=off, SendOnlyOnce=once, Share=1 if name else 0, ShareName=name,
                      Typ=typ)
        lines.append("[Entry_%d]" % i)
        lines += ["%s=%s" % (key, fields[key]) for key in KEYS]
    return "\r\n".join(lines) + "\r\n"


def levels(t):
    triangle = 1 - abs((t % 4) / 2 - 1)                # 0..1..0 every 4 s
    step = 1 if int(t / 2) % 2 else 0                  # up and down every 2 s
    return [
        round(255 * triangle),
        255 * step,
        round(255 * (1 - triangle)),
        255 * (1 - step),
        int(t) * 25,                                   # changes once a second
        int(t / 2.5) * 60,                             # changes every 2.5 s
        round(127.5 + 127.5 * math.sin(t * 1.3)),
        round(127.5 + 127.5 * math.sin(t * 0.7 + 1)),
        round(255 * ((t / 10) % 1)),
        [96, 120, 128, 136, 144, 152, 160, 176][int(t / 1.25) % 8],
    ]


def show_file(seconds=10, fps=25):
    lines = ["OLA Show"]
    frames = seconds * fps
    for n in range(frames):
        lines.append("1 " + ",".join(str(v) for v in levels(n / fps)))
        if n + 1 < frames:
            lines.append(str(1000 // fps))
    return "\n".join(lines) + "\n"


if __name__ == "__main__":
    import os
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "demo.Notecast"), "wb") as out:
        out.write(event_file().encode("cp1252"))
    with open(os.path.join(here, "demo.show"), "w") as out:
        out.write(show_file())
