"""Drives the real game under a virtual X server: starts it with a sound set and a fresh data
folder, follows its sound trace as it grows, and sends keys with xdotool only once the trace
shows the prompt that waits for them. Used by the end-to-end tests and the benchmarks."""

import os
import re
import shutil
import subprocess
import tempfile
import time
import wave


class Failure(Exception):
    pass


class Xvfb:
    """A virtual X server on the first free display."""

    def __enter__(self):
        read, write = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "640x480x24", "-nolisten", "tcp"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            self.display = ":" + f.readline().strip()
        return self

    def __exit__(self, *exc):
        self.proc.kill()
        self.proc.wait()


def short_sound_set(tool, folder, clip_ms=40, mp3_ms=300, silence_ms=20):
    """The default clip list with every clip short and silent: a game takes seconds."""
    out = subprocess.run([tool, folder, str(clip_ms), str(mp3_ms), str(silence_ms)],
                         check=True, capture_output=True, text=True)
    return out.stdout.strip()


class Game:
    """One run of the real program. Trace lines are kept as lists of fields."""

    def __init__(self, program, packs, display, work):
        self.work = work
        # The game finds its packs beside itself: give this copy its own.
        bindir = os.path.join(work, "bin")
        os.makedirs(bindir, exist_ok=True)
        self.program = os.path.join(bindir, "strikora")
        shutil.copy2(program, self.program)
        if not os.path.exists(os.path.join(bindir, "sounds")):
            os.symlink(os.path.abspath(packs), os.path.join(bindir, "sounds"))
        self.profile = os.path.join(work, "profile")
        os.makedirs(self.profile, exist_ok=True)
        self.data = os.path.join(self.profile, "Application Data", "Strikora")
        self.display = display
        self.proc = None
        self.window = None

    def start(self, name):
        self.trace_file = os.path.join(self.work, name + ".tsv")
        self.lines = []
        self.read_at = 0
        self.sounding = {}  # slot: when its one-shot clip ends (monotonic seconds)
        self.lengths = {}
        env = dict(os.environ, DISPLAY=self.display, AllUsersProfile=self.profile,
                   STRIKORA_TRACE=self.trace_file, ALSOFT_DRIVERS="null")
        env.pop("SDL_VIDEODRIVER", None)
        self.output = open(os.path.join(self.work, name + ".out"), "w")
        self.proc = subprocess.Popen([self.program], env=env, stdout=self.output,
                                     stderr=subprocess.STDOUT)
        self.seen = 0
        self.wait_for(r"play\tSpeechBuffer\t.*/lgb\.wav\t", timeout=120)
        self.window = self.run_xdotool(["search", "--sync", "--name", "Main Menu:"]).split()[0]

    def run_xdotool(self, args):
        env = dict(os.environ, DISPLAY=self.display)
        return subprocess.run(["xdotool"] + args, env=env, check=True, capture_output=True,
                              text=True).stdout

    def press(self, key):
        self.run_xdotool(["key", "--window", self.window, key])

    def clip_seconds(self, path):
        if path not in self.lengths:
            try:
                with wave.open(path) as w:
                    self.lengths[path] = w.getnframes() / w.getframerate()
            except (OSError, EOFError, wave.Error):
                self.lengths[path] = 0.0
        return self.lengths[path]

    def poll(self):
        """Reads what the trace gained since the last look, noting until when each slot's
        one-shot clip will sound."""
        try:
            with open(self.trace_file) as f:
                f.seek(self.read_at)
                chunk = f.read()
        except FileNotFoundError:
            return
        complete = chunk[: chunk.rfind("\n") + 1]
        self.read_at += len(complete.encode())
        now = time.monotonic()
        for line in complete.splitlines():
            fields = line.split("\t")
            self.lines.append(fields)
            if len(fields) >= 7 and fields[1] == "play" and fields[6] == "0":
                self.sounding[fields[2]] = now + self.clip_seconds(fields[3])
            elif len(fields) >= 3 and fields[1] == "stop":
                self.sounding[fields[2]] = now

    def wait_for(self, pattern, timeout=60):
        """Waits for the first trace line after the last one consumed that matches pattern;
        returns it and consumes everything up to it."""
        regex = re.compile(pattern)
        deadline = time.monotonic() + timeout
        while True:
            self.poll()
            while self.seen < len(self.lines):
                line = self.lines[self.seen]
                self.seen += 1
                if regex.search("\t".join(line)):
                    return line
            if self.proc.poll() is not None:
                raise Failure("the game ended while waiting for " + pattern)
            if time.monotonic() > deadline:
                raise Failure("never heard " + pattern)
            time.sleep(0.01)

    def wait_quiet(self, ms=250, timeout=60):
        """Waits until every clip heard has ended and nothing new is heard for ms: the prompt
        has finished."""
        deadline = time.monotonic() + timeout
        count, since = -1, time.monotonic()
        while time.monotonic() < deadline:
            self.poll()
            now = time.monotonic()
            if len(self.lines) != count or any(end > now for end in self.sounding.values()):
                count, since = len(self.lines), now
            elif now - since >= ms / 1000:
                self.seen = len(self.lines)
                return
            time.sleep(0.01)
        raise Failure("the game never fell quiet")

    def after(self, pattern, key, quiet=True):
        self.wait_for(pattern)
        if quiet:
            self.wait_quiet()
        self.press(key)

    def finish(self, timeout=30):
        try:
            status = self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("the game did not end")
        self.output.close()
        self.poll()
        return status

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()

    def failures(self):
        return ["\t".join(l) for l in self.lines if len(l) > 1 and l[1] in ("fail", "error")]

    def create_bowler(self):
        """The new-bowler wizard from the main menu's first item: first initial A, last
        initial A, male, right-handed; back at the main menu on its first item."""
        self.press("Down")
        self.after(r"/create\.wav\t", "Return")
        self.after(r"/uai\.wav\t", "Return")
        self.after(r"/initials/A\.wav\t", "Return")
        self.wait_for(r"/wyln\.wav\t")
        self.after(r"/initials/A\.wav\t", "Return")
        self.after(r"/male\.wav\t", "Return")
        self.wait_for(r"/sybh\.wav\t")
        self.after(r"/lefty\.wav\t", "Down")
        self.after(r"/righty\.wav\t", "Return")
        self.after(r"/create\.wav\t", "Up")
        self.wait_for(r"/lgb\.wav\t")
        self.wait_quiet()

    def choose_first_bowler(self, method=1, skill=1):
        """Main menu item 0 with the first bowler of the roster, play method and skill."""
        self.press("Return")
        self.wait_for(r"/selplyrs\.wav\t")
        self.wait_quiet()
        self.press("space")
        self.after(r"/active\.wav\t", "Return")
        self.wait_for(r"/psapm\.wav\t")
        for _ in range(method - 1):
            self.after(r"/pm\d\.wav\t", "Down")
        self.after(r"/pm%d\.wav\t" % method, "Return")
        self.wait_for(r"/pssl\.wav\t")
        for _ in range(skill - 1):
            self.after(r"/l\d\.wav\t", "Down")
        self.after(r"/ld%d\.wav\t" % skill, "Return")


def number_heard(files):
    """The number spoken by a run of number snippets ("1f.wav", "hundred.wav", "20p.wav")."""
    total, group = 0, 0
    for f in files:
        stem = re.sub(r"(f|p)?\.wav$", "", f)
        if stem == "hundred":
            group *= 100
        elif stem == "thousnd":
            total, group = (total + group) * 1000, 0
        elif stem == "negativ":
            continue
        else:
            group += int(stem)
    return total + group


def ten_pin_score(frames):
    """frames: ten lists of pins felled by each delivery (the tenth may hold three)."""
    rolls = [p for frame in frames for p in frame]
    score, i = 0, 0
    for frame in range(10):
        if frame == 9:
            score += sum(rolls[i:])
            break
        if rolls[i] == 10:
            score += 10 + rolls[i + 1] + rolls[i + 2]
            i += 1
        elif rolls[i] + rolls[i + 1] == 10:
            score += 10 + rolls[i + 2]
            i += 2
        else:
            score += rolls[i] + rolls[i + 1]
            i += 2
    return score


def temporary_folder():
    return tempfile.mkdtemp(prefix="strikora-e2e-")
