#!/usr/bin/env python3
"""What the game costs on a desktop, against the floor of showing its frames at all.

Starts its own Xvfb and, one after the other on it, runs tarvel and bench/sdl_floor (which only
uploads and presents a 480 x 640 frame every 50 ms) for the same time, with the pointer moving
over each window as a player's would. For each it measures:

  - CPU time per second of play (user + system, from /proc/PID/stat), from one second after
    the first frame to the end, so start-up does not count twice;
  - the time from starting the process to its first frame on the screen (tarvel reports it
    through TARVEL_REPORT_FIRST_FRAME; sdl_floor prints it);
  - peak memory (VmHWM from /proc/PID/status);
  - the timer's mean period and worst lateness (tarvel through TARVEL_REPORT_TIMER).

Runs the pair --runs times and prints the medians, their ratios (and the median of each run's
own ratio) and the goals. Builds nothing:

    bench/desktop_bench.py [BUILD_DIR] [--seconds 20] [--runs 3]

BUILD_DIR defaults to build/release (from the top folder); it needs app/tarvel and
bench/sdl_floor. Exits 0 when both goals are met, 1 when one is not, 2 when it cannot run.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

CPU_GOAL = 1.25
FIRST_FRAME_GOAL = 1.2
CLOCK_TICKS = os.sysconf('SC_CLK_TCK')
# The pointer circles over the lower half of the pitch at 50 moves a second.
MOVE_PERIOD = 0.02
# Seconds of rest before each program starts.
SETTLE = 1.0


class BenchError(Exception):
    pass


def cpu_seconds(pid):
    with open('/proc/%d/stat' % pid) as stat:
        fields = stat.read().rsplit(')', 1)[1].split()
    # utime and stime are fields 14 and 15; the first field after the name is field 3.
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def peak_rss_mib(pid):
    with open('/proc/%d/status' % pid) as status:
        for line in status:
            if line.startswith('VmHWM:'):
                return int(line.split()[1]) / 1024
    raise BenchError('no VmHWM for process %d' % pid)


def read_fields(path):
    """key=value pairs from the lines of a report file."""
    fields = {}
    if os.path.exists(path):
        with open(path) as report:
            for word in report.read().split():
                if '=' in word:
                    key, value = word.split('=', 1)
                    fields[key] = float(value)
    return fields


def wait_for(what, condition, timeout):
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise BenchError('timed out waiting for ' + what)
        time.sleep(0.005)


class Display:
    def __enter__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ['Xvfb', '-displayfd', str(write_end), '-screen', '0', '1280x1024x24', '-nolisten',
             'tcp', '-noreset'], pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise BenchError('Xvfb did not start')
        self.env = dict(os.environ, DISPLAY=':' + number)
        for name in ('WAYLAND_DISPLAY', 'SDL_VIDEODRIVER', 'TARVEL_REPORT_FIRST_FRAME',
                     'TARVEL_REPORT_TIMER'):
            self.env.pop(name, None)
        return self

    def __exit__(self, *_):
        self.process.terminate()
        self.process.wait()


def pointer_moves(env, window, seconds):
    """One xdotool run that circles the pointer over the window for `seconds`."""
    command = ['xdotool']
    steps = int(seconds / MOVE_PERIOD)
    for i in range(steps):
        # A square path, plain integer steps: 100 px a side around (240, 450).
        side, at = divmod(i % 200, 50)
        x, y = [(190 + 2 * at, 400), (290, 400 + 2 * at), (290 - 2 * at, 500),
                (190, 500 - 2 * at)][side]
        command += ['mousemove', '--window', window, str(x), str(y), 'sleep', str(MOVE_PERIOD)]
    return subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)


def play(display, command, window_name, seconds, env_extra, first_frame_report):
    """Runs one program for `seconds` with the pointer moving; returns its figures."""
    env = dict(display.env, **env_extra)
    # Each program starts on a quiet machine: the X server and the kernel are done with the
    # one before (its window, its shared memory, its pages).
    time.sleep(SETTLE)
    started_wall = time.time()
    started = time.monotonic()
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE)
    try:
        first = wait_for('the first frame of ' + window_name,
                         lambda: read_fields(first_frame_report).get('first_frame_unix_ms'),
                         timeout=10)
        window = wait_for('the window ' + window_name, lambda: subprocess.run(
            ['xdotool', 'search', '--name', '^%s$' % window_name], env=display.env,
            capture_output=True, text=True).stdout.split(), timeout=10)[0]
        mover = pointer_moves(display.env, window, seconds)
        # The steady part: from a second after the first frame to just before the end.
        settle = first / 1000 - started_wall + 1.0
        time.sleep(max(0.0, started + settle - time.monotonic()))
        cpu_start, measured_from = cpu_seconds(process.pid), time.monotonic()
        server_start = cpu_seconds(display.process.pid)
        time.sleep(max(0.0, started + seconds - 0.5 - time.monotonic()))
        cpu_end, measured_to = cpu_seconds(process.pid), time.monotonic()
        server_end = cpu_seconds(display.process.pid)
        peak = peak_rss_mib(process.pid)
        mover.kill()
        mover.wait()
        if process.poll() is None:
            process.terminate()  # the game closes its window and writes its timer report
        status = process.wait(timeout=10)
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()
    if status != 0:
        raise BenchError('%s ended with status %d: %s' %
                         (window_name, status, process.stderr.read().decode().strip()))
    span = measured_to - measured_from
    return {
        'cpu': (cpu_end - cpu_start) * 1000 / span,
        'server_cpu': (server_end - server_start) * 1000 / span,
        'first_frame': first - started_wall * 1000,
        'peak': peak,
    }


def run_pair(display, build, seconds, scratch, floor_first):
    tarvel_first = os.path.join(scratch, 'tarvel-first-frame')
    tarvel_timer = os.path.join(scratch, 'tarvel-timer')
    floor_report = os.path.join(scratch, 'floor-report')
    for path in (tarvel_first, tarvel_timer, floor_report):
        if os.path.exists(path):
            os.remove(path)
    def play_game():
        game = play(display, [os.path.join(build, 'app', 'tarvel')], 'Tarvel', seconds,
                    {'TARVEL_REPORT_FIRST_FRAME': tarvel_first,
                     'TARVEL_REPORT_TIMER': tarvel_timer}, tarvel_first)
        timer = read_fields(tarvel_timer)
        if 'mean_period_ms' not in timer:
            raise BenchError('tarvel wrote no timer report')
        game['period'], game['lateness'] = timer['mean_period_ms'], timer['worst_lateness_ms']
        return game

    def play_floor():
        floor = play(display, [os.path.join(build, 'bench', 'sdl_floor'), str(seconds),
                               floor_report], 'sdl_floor', seconds, {}, floor_report)
        fields = read_fields(floor_report)
        if 'mean_period_ms' not in fields:
            raise BenchError('sdl_floor wrote no end report')
        floor['period'], floor['lateness'] = fields['mean_period_ms'], fields['worst_lateness_ms']
        return floor

    # Taking turns at going first, so that neither always comes after the other.
    if floor_first:
        floor = play_floor()
        game = play_game()
    else:
        game = play_game()
        floor = play_floor()
    return game, floor


ROWS = [
    ('cpu', 'CPU, ms per second of play', '%.1f', CPU_GOAL),
    ('first_frame', 'start to first frame, ms', '%.0f', FIRST_FRAME_GOAL),
    ('peak', 'peak memory (VmHWM), MiB', '%.1f', None),
    ('period', 'timer mean period, ms', '%.2f', None),
    ('lateness', 'timer worst lateness, ms', '%.1f', None),
    ('server_cpu', 'Xvfb CPU meanwhile, ms/s', '%.1f', None),
]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument('build', nargs='?', default=os.path.join(top, 'build', 'release'))
    parser.add_argument('--seconds', type=int, default=20)
    parser.add_argument('--runs', type=int, default=3)
    options = parser.parse_args()
    if options.seconds < 5 or options.runs < 1:
        parser.error('--seconds must be at least 5 and --runs at least 1')
    for program in (('app', 'tarvel'), ('bench', 'sdl_floor')):
        if not os.access(os.path.join(options.build, *program), os.X_OK):
            print('desktop_bench: no %s in %s: build it first' % ('/'.join(program),
                                                                  options.build))
            return 2
    games, floors = [], []
    try:
        with Display() as display, tempfile.TemporaryDirectory() as scratch:
            for run in range(options.runs):
                game, floor = run_pair(display, options.build, options.seconds, scratch,
                                       run % 2 == 1)
                games.append(game)
                floors.append(floor)
                print('run %d: tarvel %.1f ms/s, first frame %.0f ms; sdl_floor %.1f ms/s, '
                      'first frame %.0f ms' % (run + 1, game['cpu'], game['first_frame'],
                                               floor['cpu'], floor['first_frame']), flush=True)
    except (BenchError, OSError, subprocess.SubprocessError) as error:
        print('desktop_bench: %s' % error)
        return 2

    print('\nmedians of %d runs of %d s on Xvfb, 480 x 640 at scale 1 (ratio: of the medians; '
          'paired: median of each run\'s ratio):\n' %
          (options.runs, options.seconds))
    print('| %-28s | %8s | %9s | %6s | %6s | %-10s |' % ('', 'tarvel', 'sdl_floor', 'ratio',
                                                        'paired', 'goal'))
    print('|%s|%s|%s|%s|%s|%s|' % ('-' * 30, '-' * 10, '-' * 11, '-' * 8, '-' * 8, '-' * 12))
    met = True
    for key, label, form, goal in ROWS:
        game = statistics.median(g[key] for g in games)
        floor = statistics.median(f[key] for f in floors)
        ratio = game / floor if floor > 0 else float('inf')
        # Each run's own ratio too, for a look at how much they swing; the goal is judged on the
        # ratio of the medians, since the two programs' noise is their own, not shared.
        paired = statistics.median(g[key] / f[key] if f[key] > 0 else float('inf')
                                   for g, f in zip(games, floors))
        verdict = ''
        if goal is not None:
            verdict = '<= %.2f %s' % (goal, 'met' if ratio <= goal else 'MISSED')
            met = met and ratio <= goal
        print('| %-28s | %8s | %9s | %6.2f | %6.2f | %-10s |' % (label, form % game, form % floor,
                                                                 ratio, paired, verdict))
    return 0 if met else 1


if __name__ == '__main__':
    sys.exit(main())
