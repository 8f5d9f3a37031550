#!/usr/bin/env python3
"""Draws the command buttons' pictures and the About pages' pictures as small PNG files.

Run once after changing a drawing; the PNG files are kept in the repository and compiled in as
resources. Each drawing is pixel art, one character a pixel, from the 16-colour palette below.

  button pictures   src/buttons/pictures/<Class>.png        15 x 15, 16 colours (palette, '.' clear)
  toolbox pictures  src/buttons/pictures/toolbox/<n>.png    16 x 15, 24-bit colour (30005: 8-bit palette)
                    src/frame/pictures/toolbox/<n>.png      the other controls', same form
  About pictures    src/frame/pictures/about-<kind>.png     16 x 16 (text: 16 colours, others 24-bit)
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
FRAME = os.path.join(HERE, "..", "..", "frame", "pictures")

# The classic 16-colour palette; '.' is the clear pixel (drawn as the button face where no alpha exists).
PALETTE = {
    "k": (0, 0, 0), "R": (128, 0, 0), "g": (0, 128, 0), "o": (128, 128, 0),
    "b": (0, 0, 128), "p": (128, 0, 128), "t": (0, 128, 128), "s": (192, 192, 192),
    "d": (128, 128, 128), "r": (255, 0, 0), "G": (0, 255, 0), "y": (255, 255, 0),
    "B": (0, 0, 255), "m": (255, 0, 255), "c": (0, 255, 255), "w": (255, 255, 255),
}
FACE = PALETTE["s"]

GLYPHS = {
    "VqOKButton": (30003, """
...........
.........gg
........ggg
.......ggg.
gg....ggg..
ggg..ggg...
.gggggg....
..gggg.....
...gg......
...........
..........."""),
    "VqCancelButton": (30012, """
...........
.rr.....rr.
.rrr...rrr.
..rrr.rrr..
...rrrrr...
....rrr....
...rrrrr...
..rrr.rrr..
.rrr...rrr.
.rr.....rr.
..........."""),
    "VqNewButton": (30011, """
.kkkkkk....
.kwwwwkk...
.kwwwwkwk..
.kwwwwkkkk.
.kwwwwwwwk.
.kwwwwwwwk.
.kwwwwwwwk.
.kwwwwwwwk.
.kwwwwwwwk.
.kwwwwwwwk.
.kkkkkkkkk."""),
    "VqSaveButton": (30010, """
kkkkkkkkkkk
kbwwwwwwwbk
kbwwwwwwwbk
kbwwwwwwwbk
kbbbbbbbbbk
kbbbbbbbbbk
kbbsssssbbk
kbbsskssbbk
kbbsskssbbk
.kbsssssbbk
..kkkkkkkkk"""),
    "VqOpenButton": (30013, """
...........
.kkkk......
kyyyyk.....
kyyyykkkkk.
kywwwwwwwk.
kyw.kkkkkkk
kywkyyyyyyk
kyky.yyyyk.
kkyyyyyyyk.
kkkkkkkkk..
..........."""),
    "VqClearButton": (30014, """
...........
......kkkk.
.....krrrrk
....krrrrk.
...kwkrrk..
..kwwwkk...
.kwwwwk....
kwwwwk.....
.kwwk......
..kk.......
kkkkkkkkkkk"""),
    "VqExitButton": (30009, """
kkkkkkk....
kRRRRRk....
kRRRRRk....
kRRRRRk.r..
kRRRRyrrrr.
kRRRRRk.rrr
kRRRRyrrrr.
kRRRRRk.r..
kRRRRRk....
kRRRRRk....
kkkkkkk...."""),
    "VqFirstButton": (30008, """
...........
.bb.....bb.
.bb....bbb.
.bb...bbbb.
.bb..bbbbb.
.bb.bbbbbb.
.bb..bbbbb.
.bb...bbbb.
.bb....bbb.
.bb.....bb.
..........."""),
    "VqPreviousButton": (30007, """
...........
.......bb..
......bbb..
.....bbbb..
....bbbbb..
...bbbbbb..
....bbbbb..
.....bbbb..
......bbb..
.......bb..
..........."""),
    "VqNextButton": (30000, """
...........
..bb.......
..bbb......
..bbbb.....
..bbbbb....
..bbbbbb...
..bbbbb....
..bbbb.....
..bbb......
..bb.......
..........."""),
    "VqLastButton": (30006, """
...........
.bb.....bb.
.bbb....bb.
.bbbb...bb.
.bbbbb..bb.
.bbbbbb.bb.
.bbbbb..bb.
.bbbb...bb.
.bbb....bb.
.bb.....bb.
..........."""),
    "VqPrintButton": (30005, """
...kkkkkk..
...kwwwwk..
...kwkkwk..
...kwwwwk..
.kkkkkkkkkk
kssssssssdk
ksssssGsddk
kddddddddk.
kkwwwwwwkk.
..kwkkkwk..
..kkkkkkk.."""),
    "VqViewButton": (30004, """
...kkkk....
..kcwcck...
.kcwccccck.
.kwcccccck.
.kcccccccck
.kcccccccck
..kcccccck.
...kkkkkkR.
.........RR
..........R
..........."""),
}


def rows(art):
    lines = [l for l in art.strip("\n").split("\n")]
    return lines


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def png(path, width, height, pixels, mode):
    """pixels: rows of colour keys. mode 'rgb' (24-bit), 'pal16' (4-bit palette, '.' clear), 'pal8'."""
    if mode == "rgb":
        raw = b"".join(
            b"\x00" + b"".join(bytes(PALETTE.get(c, FACE)) for c in row) for row in pixels)
        header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
        extra = b""
    else:
        keys = ["."] + [k for k in PALETTE]  # index 0 is the clear pixel
        colours = [FACE] + [PALETTE[k] for k in PALETTE]
        if mode == "pal16":
            # 16 entries: the clear face stands in for the one colour these pictures do not use.
            keep = [i for i, k in enumerate(keys) if k != "m"]
            keys, colours = [keys[i] for i in keep], [colours[i] for i in keep]
        index = {k: i for i, k in enumerate(keys)}
        if mode == "pal16":
            raw = b""
            for row in pixels:
                nibbles = [index[c] for c in row] + [0] * (len(row) % 2)
                raw += b"\x00" + bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, len(nibbles), 2))
            depth = 4
        else:
            raw = b"".join(b"\x00" + bytes(index[c] for c in row) for row in pixels)
            depth = 8
        header = struct.pack(">IIBBBBB", width, height, depth, 3, 0, 0, 0)
        extra = chunk(b"PLTE", b"".join(bytes(c) for c in colours))
        if mode == "pal16":
            extra += chunk(b"tRNS", b"\x00")
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + extra + chunk(b"IDAT", zlib.compress(raw, 9)) \
        + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


def place(glyph, width, height, left, top, fill):
    canvas = [[fill] * width for _ in range(height)]
    for y, line in enumerate(glyph):
        for x, c in enumerate(line):
            if c != ".":
                canvas[top + y][left + x] = c
    return ["".join(r) for r in canvas]


def toolbox(glyph):
    # A raised button face: white top and left edges, grey and black bottom and right edges.
    canvas = [list(r) for r in place(glyph, 16, 15, 3, 2, "s")]
    for x in range(16):
        canvas[0][x] = "w"
        canvas[14][x] = "k"
        canvas[13][x] = "d" if 0 < x < 15 else canvas[13][x]
    for y in range(15):
        canvas[y][0] = "w" if y < 14 else "k"
        canvas[y][15] = "k"
        if 0 < y < 14:
            canvas[y][14] = "d"
    return ["".join(r) for r in canvas]


FRAME_TOOLBOX = os.path.join(FRAME, "toolbox")

# Toolbox pictures of the controls outside the button family, kept with the class table: number, drawing.
OTHER_TOOLBOX = {
    "VqTextBox": (30019, """
...........
kkkkkkkkkkk
kwwwwwwwwwk
kwwwwwwwkwk
kwbbwbwwkwk
kbwbwbbwkwk
kbbbwbwbkwk
kbwbwbbwkwk
kwwwwwwwkwk
kwwwwwwwwwk
kkkkkkkkkkk"""),
    "VqListBox": (30018, """
kkkkkkkkkkk
kwwwwwwwksk
kwkkkkwwksk
kbbbbbbbkdk
kbwwwwbbksk
kwwwwwwwksk
kwkkkkkwksk
kwwwwwwwkdk
kwkkkwwwksk
kwwwwwwwksk
kkkkkkkkkkk"""),
    "VqComboBox": (30017, """
...........
...........
...........
kkkkkkkkkkk
kwwwwwwksdk
kwkkkkwkkkk
kwwwwwwksks
kkkkkkkkkkk
...........
...........
..........."""),
    "VqPortableListBox": (30016, """
kkkkkkkkkkk
kwwwwwwksdk
kwkkkkwkkkk
kkkkkkkkkkk
kwwwwwwwwwk
kbbbbbbbbbk
kwwwwwwwwwk
kwkkkkkwwwk
kwwwwwwwwwk
kwkkkwwwwwk
kkkkkkkkkkk"""),
    "VqHierarchyCombo": (30015, """
yyy........
ykkkkk.....
yyy........
.d.........
.ddyyy.....
.d.ykkkkk..
.d.yyy.....
.d.........
.ddyyy.....
...ykkkkk..
...yyy....."""),
    "VqHelpList": (30002, """
...kkkk....
..kwwwwk...
.kwwccwwk..
.kwcwwwwk..
.kwwwwwwk..
.kwwwwwwk..
..kwwwwk...
...kkkkkk..
.......kkk.
........kkk
.........k."""),
    "VqDTPicker": (30001, """
kkkkkkkkkkk
krrrrrrrrrk
krrrrrrrrrk
kwwwwwwwwwk
kwkwkwkwkwk
kwwwwwwwwwk
kwkwkwkwkwk
kwwwwwwwwwk
kwkwkwbbkwk
kwwwwwwwwwk
kkkkkkkkkkk"""),
}

ABOUT = {
    "text": ("pal16", """
................
................
................
kkkkkkkkkkkkkk..
kwwwwwwwwwwwwk..
kwbbwbwwwkwwwk..
kbwbwbbwwkwwwk..
kbbbwbwbwkwwwk..
kbwbwbbwwkwwwk..
kwwwwwwwwwwwwk..
kkkkkkkkkkkkkk..
................
................
................
................
................"""),
    "list": ("rgb", """
kkkkkkkkkkkkkkkk
kwwwwwwwwwwksssk
kwkkkkkkkwwkskdk
kwwwwwwwwwwkkkdk
kbbbbbbbbbbksssk
kbwwwwwwbbbksssk
kbbbbbbbbbbksssk
kwwwwwwwwwwksssk
kwkkkkkkwwwksssk
kwwwwwwwwwwksssk
kwwwwwwwwwwksssk
kwkkkkkkkkwksssk
kwwwwwwwwwwkkkdk
kwwwwwwwwwwkskdk
kwwwwwwwwwwksssk
kkkkkkkkkkkkkkkk"""),
    "combo": ("rgb", """
................
................
................
................
kkkkkkkkkkkkkkkk
kwwwwwwwwwksssdk
kwkkkkkkwwksssdk
kwwwwwwwwwkskkdk
kwkkkkwwwwksksdk
kwwwwwwwwwksssdk
kkkkkkkkkkkkkkkk
................
................
................
................
................"""),
    "tree": ("rgb", """
kkkkkkkkkkkkkkkk
kwwwwwwwwwwwwwwk
kwyyywwwwwwwwwwk
kwykkkkkkwwwwwwk
kwyyywwwwwwwwwwk
kwwdwwwwwwwwwwwk
kwwdddyyywwwwwwk
kwwdwwykkkkkkwwk
kwwdwwyyywwwwwwk
kwwdwwwwwwwwwwwk
kwwdddyyywwwwwwk
kwwwwwykkkkkwwwk
kwwwwwyyywwwwwwk
kwwwwwwwwwwwwwwk
kwwwwwwwwwwwwwwk
kkkkkkkkkkkkkkkk"""),
}


def main():
    os.makedirs(os.path.join(HERE, "toolbox"), exist_ok=True)
    os.makedirs(FRAME, exist_ok=True)
    for name, (number, art) in GLYPHS.items():
        glyph = rows(art)
        assert len(glyph) == 11 and all(len(l) == 11 for l in glyph), name
        png(os.path.join(HERE, name + ".png"), 15, 15, place(glyph, 15, 15, 2, 2, "."), "pal16")
        png(os.path.join(HERE, "toolbox", "%d.png" % number), 16, 15, toolbox(glyph),
            "pal8" if number == 30005 else "rgb")
    os.makedirs(FRAME_TOOLBOX, exist_ok=True)
    for name, (number, art) in OTHER_TOOLBOX.items():
        glyph = rows(art)
        assert len(glyph) == 11 and all(len(l) == 11 for l in glyph), name
        png(os.path.join(FRAME_TOOLBOX, "%d.png" % number), 16, 15, toolbox(glyph), "rgb")
    for kind, (mode, art) in ABOUT.items():
        picture = rows(art)
        assert len(picture) == 16 and all(len(l) == 16 for l in picture), kind
        png(os.path.join(FRAME, "about-%s.png" % kind), 16, 16, picture, mode)


if __name__ == "__main__":
    main()
