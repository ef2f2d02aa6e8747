#!/usr/bin/env python3
"""Kills a portable player with SIGKILL at random moments of the library save
its close starts, and checks after each kill that Library.db is there with
every track and that the next start leaves no temporary of the save behind.

  scripts/kill-during-saves.py BUILD_DIR [--tries 20] [--tracks 100000] [--seed N]

BUILD_DIR is a build with the benchmarks (its library_db_bench writes the
generated library). Runs under offscreen Qt with a private HOME; prints one
line per try and a summary; exits 1 if any try lost data or left a temporary.
"""
import argparse
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

MUSIC = "/srv/music"  # the generator's root; missing here, so the library is kept offline


def temporaries(folder):
    return sorted(n for n in os.listdir(folder) if n.startswith("Library.db.tmp-"))


def open_files(pid, folder):
    """(inode, size) of each file of `folder` the process holds open for a save:
    an unnamed temporary ("#inode (deleted)") or a named one."""
    found = []
    fds = "/proc/%d/fd" % pid
    try:
        for fd in os.listdir(fds):
            link = os.path.join(fds, fd)
            target = os.readlink(link)
            if target.startswith(folder + "/#") or target.startswith(folder + "/Library.db.tmp-"):
                st = os.stat(link)
                found.append((st.st_ino, st.st_size))
    except OSError:
        pass
    return found


class SaveWatch:
    """Follows the files a closing player writes; the settings come first,
    the library's file is the second one it opens."""

    def __init__(self, pid, folder):
        self.pid, self.folder, self.seen = pid, folder, []

    def poll(self):
        files = open_files(self.pid, self.folder)
        for ino, _ in files:
            if ino not in self.seen:
                self.seen.append(ino)
        return files

    def library_open(self):
        return len(self.seen) >= 2

    def phase(self, alive):
        files = self.poll()
        if not alive:
            return "after the save (ended)"
        if any(size > (1 << 20) for _, size in files):
            return "library file written, before its rename"
        if files and self.library_open():
            return "library file opened, being written"
        if files:
            return "settings file being written"
        if self.library_open():
            return "after the library file (closing)"
        return "building the library's bytes" if self.seen else "before the first file"


class Player:
    def __init__(self, binary, env):
        self.proc = subprocess.Popen([binary], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        self.ready = threading.Event()
        self.reader = threading.Thread(target=self._drain, daemon=True)
        self.reader.start()

    def _drain(self):
        # Read to the end so the player never blocks on a full pipe.
        for line in self.proc.stderr:
            if b"tunevale-startup: ready" in line:
                self.ready.set()

    def wait_ready(self, timeout):
        return self.ready.wait(timeout)

    def finish(self, timeout=120):
        self.proc.wait(timeout)
        self.reader.join(timeout)


def track_count(tool, db):
    """Tracks Library.db loads with, or -1 when it is missing or damaged."""
    if not os.path.exists(db):
        return -1
    out = subprocess.run([tool, "library", "dump", db], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    if out.returncode != 0:
        return -1
    return out.stdout.count(b'{"type":"MUS"')


def close_and_time(player, folder):
    """Closes with SIGTERM; seconds until the library's file opens and until the end."""
    start = time.monotonic()
    player.proc.send_signal(signal.SIGTERM)
    watch = SaveWatch(player.proc.pid, folder)
    seen = None
    while player.proc.poll() is None:
        watch.poll()
        if seen is None and watch.library_open():
            seen = time.monotonic() - start
        time.sleep(0.0005)
    player.finish()
    return seen, time.monotonic() - start


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--tries", type=int, default=20)
    parser.add_argument("--tracks", type=int, default=100000)
    parser.add_argument("--seed", type=int, default=int(time.time()))
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    tool = os.path.join(build, "src/tools/tunevalectl")
    rng = random.Random(args.seed)
    root = tempfile.mkdtemp(prefix="tunevale-kill-")
    try:
        return run(args, build, tool, rng, root)
    finally:
        shutil.rmtree(root, ignore_errors=True)


def run(args, build, tool, rng, root):
    bin_dir = os.path.join(root, "bin")
    for d in ("bin", "home/.config", "run"):
        os.makedirs(os.path.join(root, d))
    os.chmod(os.path.join(root, "run"), 0o700)
    db = os.path.join(bin_dir, "Library.db")
    subprocess.run([os.path.join(build, "bench/library_db_bench"), "--tracks", str(args.tracks), "--write-db", db],
                   check=True)
    shutil.copy(os.path.join(build, "src/ui/tunevale"), bin_dir)
    with open(os.path.join(bin_dir, "Tunevale.ini"), "w") as ini:
        ini.write("[Tunevale]\nAppVersion=2.0.0.18\nFirstRun=0\nLibraryFolderCount=1\nLibraryFolder0=%s\n" % MUSIC)
    env = {"HOME": root + "/home", "XDG_RUNTIME_DIR": root + "/run", "XDG_CONFIG_HOME": root + "/home/.config",
           "XDG_DATA_HOME": root + "/home/.local/share", "XDG_CACHE_HOME": root + "/home/.cache",
           "QT_QPA_PLATFORM": "offscreen", "TUNEVALE_STARTUP_TRACE": "1", "PATH": "/usr/bin:/bin"}
    for key in ("ASAN_OPTIONS", "UBSAN_OPTIONS"):
        if key in os.environ:
            env[key] = os.environ[key]
    binary = os.path.join(bin_dir, "tunevale")

    def start():
        player = Player(binary, env)
        if not player.wait_ready(300):
            player.proc.kill()
            player.finish()
            sys.exit("the player did not get ready")
        return player

    # A plain close first: how long the save takes here.
    player = start()
    seen, total = close_and_time(player, bin_dir)
    print("seed %d; calibration close: library's file open after %s s, closed after %.3f s, %d tracks" %
          (args.seed, "%.3f" % seen if seen is not None else "-", total, track_count(tool, db)), flush=True)
    write_window = max(total - (seen or 0), 0.01)

    failures = lost = mid_save = 0
    for i in range(1, args.tries + 1):
        player = start()
        left_at_start = temporaries(bin_dir)  # what the previous kill left, after this start
        started = time.monotonic()
        player.proc.send_signal(signal.SIGTERM)
        watch = SaveWatch(player.proc.pid, bin_dir)
        # Odd tries: any moment of the close. Even tries: once the library's file is open.
        aim = "close" if i % 2 else "library write"
        if aim == "close":
            deadline = started + rng.uniform(0, total)
        else:
            while not watch.library_open() and player.proc.poll() is None and time.monotonic() - started < 60:
                watch.poll()
                time.sleep(0.0002)
            deadline = time.monotonic() + rng.uniform(0, write_window)
        while time.monotonic() < deadline and player.proc.poll() is None:
            watch.poll()
            time.sleep(0.0002)
        delay = time.monotonic() - started
        alive = player.proc.poll() is None
        phase = watch.phase(alive)
        player.proc.kill()
        player.finish()
        left = temporaries(bin_dir)
        mid_save += alive
        tracks = track_count(tool, db)
        # A start that found the file damaged would have kept a copy of it.
        damaged = os.path.exists(db + ".damaged")
        ok = tracks == args.tracks and not left_at_start and not damaged
        failures += not ok
        lost += tracks != args.tracks
        print("try %2d: aimed at the %s, killed %.3f s after SIGTERM (%s), temporaries after the kill %d, "
              "tracks %d, left after the previous kill and this start %d%s -> %s" %
              (i, aim, delay, phase, len(left), tracks, len(left_at_start), ", damaged copy" if damaged else "",
               "ok" if ok else "FAILED"), flush=True)

    player = start()
    final_left = temporaries(bin_dir)
    player.proc.send_signal(signal.SIGTERM)
    player.finish()
    failures += bool(final_left)
    print("after the last start: %d temporaries; kills before the player had ended: %d of %d; "
          "tries with tracks lost: %d; failed tries: %d" % (len(final_left), mid_save, args.tries, lost, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
