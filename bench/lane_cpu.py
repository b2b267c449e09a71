#!/usr/bin/env python3
"""What the lane costs while it waits for the bowler's Space, with its five timers running,
against the same program idle in its main menu, in one run of the real game with the default
sound set (Xvfb, OpenAL's null output). Target: the lane under 3 % of one core.
  lane_cpu.py BUILD-DIR"""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import strikora_driver as drive  # noqa: E402

SECONDS = 10
TARGET = 3.0


def usage(pid):
    """CPU ms of the whole process and of its main thread, and the main thread's sleeps."""
    def cpu(tid):
        with open("/proc/%d/task/%s/schedstat" % (pid, tid)) as f:
            return int(f.read().split()[0]) / 1e6
    total = sum(cpu(t) for t in os.listdir("/proc/%d/task" % pid))
    with open("/proc/%d/task/%d/status" % (pid, pid)) as f:
        sleeps = next(int(l.split()[1]) for l in f if l.startswith("voluntary_ctxt_switches"))
    return total, cpu(pid), sleeps


def measure(pid):
    a, start = usage(pid), time.monotonic()
    time.sleep(SECONDS)
    b, wall = usage(pid), (time.monotonic() - start) * 1000
    return [100 * (b[0] - a[0]) / wall, 100 * (b[1] - a[1]) / wall, (b[2] - a[2]) * 1000 / wall]


def main(build):
    work = drive.temporary_folder()
    game = None
    try:
        with drive.Xvfb() as x:
            game = drive.Game(os.path.join(build, "app", "strikora"),
                              os.path.join(build, "app", "sounds"), x.display, work)
            game.start("bench")
            game.wait_quiet(1000)
            menu = measure(game.proc.pid)
            game.create_bowler()
            game.choose_first_bowler()
            game.wait_for(r"/1stball\d\.wav\t", timeout=180)
            game.wait_quiet(1000)
            lane = measure(game.proc.pid)
        print("Waiting for %d s (default sound set, music looping):" % SECONDS)
        for name, (process, main_thread, wakes) in (("idle in the main menu", menu),
                                                    ("on the lane waiting for Space", lane)):
            print("  %-32s process %5.2f %%  main thread %5.2f %%  main thread wakes %6.1f/s"
                  % (name + ":", process, main_thread, wakes))
        print("target the lane under 3 %% of one core: %s" % ("met" if lane[0] < TARGET else "NOT met"))
        return 0
    except drive.Failure as e:
        print("lane_cpu:", e)
        return 1
    finally:
        if game is not None:
            game.stop()
        drive.shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
