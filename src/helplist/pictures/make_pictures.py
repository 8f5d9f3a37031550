#!/usr/bin/env python3
"""Draws the lookup control's pictures as small PNG files, with the drawing helpers of the buttons' script.

  imgHelp.png        16 x 16, 16 colours: what the control shows at design time
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "buttons", "pictures"))
import make_pictures as buttons  # noqa: E402

# A book with a question mark: the help on a field.
HELP = """
................
..bbbbbbbbbbbb..
..bwwwwwwwwwwbk.
..bwwwkkkkwwwbk.
..bwwkkwwkkwwbk.
..bwwwwwwkkwwbk.
..bwwwwwkkwwwbk.
..bwwwwkkwwwwbk.
..bwwwwkkwwwwbk.
..bwwwwwwwwwwbk.
..bwwwwkkwwwwbk.
..bwwwwkkwwwwbk.
..bwwwwwwwwwwbk.
..bbbbbbbbbbbbk.
...kkkkkkkkkkkk.
................"""


def main():
    picture = buttons.rows(HELP)
    assert len(picture) == 16 and all(len(l) == 16 for l in picture)
    buttons.png(os.path.join(HERE, "imgHelp.png"), 16, 16, picture, "pal16")


if __name__ == "__main__":
    main()
