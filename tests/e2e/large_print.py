#!/usr/bin/env python3
"""The window's large print in the real program under Xvfb: the main menu, the lane in the
middle of a game and the results are each dumped with xwd and checked for text in the colour
scheme's colours; F8 must change the colours without the menu saying anything more. Without
xwd the pictures are skipped and only the game's run is checked.
  large_print.py STRIKORA STRIKORA-TEST-SOUNDSET WORDS.TXT"""

import collections
import os
import shutil
import struct
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import strikora_driver as drive  # noqa: E402

YELLOW, WHITE, BLACK = (255, 255, 0), (255, 255, 255), (0, 0, 0)
RESULTS = r"play\tAnnouncerBuffer\t[^\t]*/ruagain\.wav\t"


def grab(game):
    """The window's pixels as (width, height, rows of (r, g, b)); None without xwd."""
    if shutil.which("xwd") is None:
        return None
    time.sleep(0.3)  # the picture is drawn as the clip starts; let the server take it
    dump = subprocess.run(["xwd", "-silent", "-id", game.window],
                          env=dict(os.environ, DISPLAY=game.display), check=True,
                          capture_output=True).stdout
    h = struct.unpack(">25I", dump[:100])
    size, width, height, order, bpp, stride, ncolors = h[0], h[4], h[5], h[7], h[11], h[12], h[19]
    masks = h[14:17]
    if bpp != 32:
        raise drive.Failure("xwd gave %d bits a pixel" % bpp)
    data = dump[size + 12 * ncolors:]
    fmt = "<I" if order == 0 else ">I"
    shifts = [(m & -m).bit_length() - 1 for m in masks]
    rows = []
    for y in range(height):
        line = data[y * stride: y * stride + 4 * width]
        rows.append([tuple((p & m) >> s for m, s in zip(masks, shifts))
                     for (p,) in struct.iter_unpack(fmt, line)])
    return width, height, rows


def expect_text(picture, name, ink, paper, least=0.01):
    """The picture is paper with a good share of ink on it: the text was drawn."""
    if picture is None:
        return
    width, height, rows = picture
    counts = collections.Counter(px for row in rows for px in row)
    total = width * height
    if (width, height) != (1024, 640):
        raise drive.Failure("%s: the window is %d x %d, not 1024 x 640" % (name, width, height))
    if counts.get(paper, 0) < total // 2 or counts.get(ink, 0) < total * least:
        raise drive.Failure("%s: %d of %d pixels in the text colour, %d in the background" %
                            (name, counts.get(ink, 0), total, counts.get(paper, 0)))
    print("ok %s: %.1f %% text, %.1f %% background" %
          (name, 100 * counts.get(ink, 0) / total, 100 * counts.get(paper, 0) / total))


def large_print(game):
    game.start("large")
    game.wait_quiet()
    expect_text(grab(game), "the main menu", YELLOW, BLACK)
    heard = len(game.lines)
    game.press("F8")
    time.sleep(0.5)
    game.poll()
    if any(l[1] == "play" for l in game.lines[heard:] if len(l) > 1):
        raise drive.Failure("F8 made the menu speak")
    expect_text(grab(game), "F8, white on black", WHITE, BLACK)
    game.press("F8")
    game.press("F8")
    game.create_bowler()
    game.choose_first_bowler()
    taken = []

    def lane(frame, clip):  # at the second ball of the fourth frame, or the first after it
        if clip.startswith("2ndball") and frame >= 3 and not taken:
            game.wait_quiet()
            expect_text(grab(game), "the lane mid-game", YELLOW, BLACK)
            taken.append(frame)

    game.bowl(RESULTS, before_ball=lane)
    game.wait_quiet()
    expect_text(grab(game), "the results", YELLOW, BLACK, least=0.005)
    game.press("n")
    game.after(r"/lgb\.wav\t", "Escape")
    game.ended_well()


def main(program, soundset_tool, words):
    # A screen with room for the window's own 1024 x 640.
    return drive.run("the window showed the menu, the lane and the results in large print",
                     program, soundset_tool, large_print, screen="1280x1024x24", words=words)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
