#!/usr/bin/env python3
"""What the game costs on a desktop, against the floor of showing its frames at all.

Starts its own Xvfb and, one after the other on it, runs tarvel and bench/sdl_floor (which only
uploads and presents a 480 x 640 frame every 50 ms) for the same time, with the pointer moving
over each window as a player's would. For each it measures:

  - CPU time per second of play (every thread's, from /proc/PID/task/*/schedstat), from one
    second after the first frame to the end, so start-up does not count twice;
  - the time from starting the process to its first frame on the screen (tarvel reports it
    through TARVEL_REPORT_FIRST_FRAME; sdl_floor prints it);
  - peak memory (VmHWM from /proc/PID/status);
  - the timer's mean period and worst lateness (tarvel through TARVEL_REPORT_TIMER).

Runs the pair --runs times, taking turns at going first, and prints for each figure the median
with the middle half of the runs (the 25th to the 75th percentile), the ratio of the medians
and the median of each run's own ratio with its middle half, and the goals, each met when that
middle half lies within it: CPU at most 1.25 times the floor, the first frame at most 1.2 times,
peak memory at most 1.5 times.

With --fullscreen the pair is the game in full screen against the game in its 480 x 640
window, on a display of --display WxH (3840x2160 for a 4K screen), with the same pointer motion
over the pitch; the goal is the full-screen CPU at most 3 times the window's on a 4K display
and 1.5 times on a 1920 x 1080 one. With --recording the pair is the game recording its match
(--record) against the game keeping none (--no-record); the goal is the recording's CPU at most
1.03 times, its peak memory at most 1.03 times. --window-manager runs openbox on the display
first. Builds nothing:

    bench/desktop_bench.py [BUILD_DIR] [--seconds 10] [--runs 9] [--display WxH]
                           [--fullscreen | --recording] [--window-manager]

BUILD_DIR defaults to build/release (from the top folder); it needs app/tarvel and
bench/sdl_floor. Exits 0 when every goal is met, 1 when one is not, 2 when it cannot run.
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
MEMORY_GOAL = 1.5
# Full screen's CPU against the window's, by display size.
FULLSCREEN_GOALS = {(3840, 2160): 3.0, (1920, 1080): 1.5}
# Recording a match against keeping none.
RECORDING_GOAL = 1.03
DEVICE = (480, 640)
# The pointer circles over the lower half of the pitch at 50 moves a second.
MOVE_PERIOD = 0.02
# Seconds of rest before each program starts.
SETTLE = 1.0


class BenchError(Exception):
    pass


def cpu_seconds(pid):
    """The CPU time of every thread of `pid`, in nanoseconds from the scheduler (the clock ticks
    of /proc/PID/stat are 10 ms: too coarse for a few milliseconds a second)."""
    total = 0
    task_dir = '/proc/%d/task' % pid
    for task in os.listdir(task_dir):
        try:
            with open(os.path.join(task_dir, task, 'schedstat')) as schedstat:
                total += int(schedstat.read().split()[0])
        except (FileNotFoundError, ProcessLookupError):
            pass  # a thread that ended meanwhile
    return total / 1e9


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
    def __init__(self, size, window_manager):
        self.size = size
        self.window_manager = window_manager
        self.manager = None

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ['Xvfb', '-displayfd', str(write_end), '-screen', '0', '%dx%dx24' % self.size, '-nolisten',
             'tcp', '-noreset'], pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise BenchError('Xvfb did not start')
        self.env = dict(os.environ, DISPLAY=':' + number)
        for name in ('WAYLAND_DISPLAY', 'SDL_VIDEODRIVER', 'SDL_RENDER_DRIVER',
                     'TARVEL_REPORT_FIRST_FRAME', 'TARVEL_REPORT_TIMER'):
            self.env.pop(name, None)
        if self.window_manager:
            self.manager = subprocess.Popen(['openbox'], env=self.env, stdout=subprocess.DEVNULL,
                                            stderr=subprocess.DEVNULL)
            wait_for('openbox to manage the display', lambda: '_NET_SUPPORTING_WM_CHECK(WINDOW)'
                     in subprocess.run(['xprop', '-root', '_NET_SUPPORTING_WM_CHECK'],
                                       env=self.env, capture_output=True, text=True).stdout,
                     timeout=10)
        return self

    def __exit__(self, *_):
        for process in (self.manager, self.process):
            if process is not None:
                process.terminate()
                process.wait()


def fit_screen(area):
    """Where the 480 x 640 screen is shown in a window of `area` pixels: (x, y, scale), as the
    game lays it out (a fit within a fifteenth above a whole factor is shown at that factor)."""
    width, height = area
    if width * DEVICE[1] <= height * DEVICE[0]:
        fitted = (width, width * DEVICE[1] // DEVICE[0])
    else:
        fitted = (height * DEVICE[0] // DEVICE[1], height)
    whole = min(width // DEVICE[0], height // DEVICE[1])
    if whole > 0 and whole * DEVICE[0] * 16 >= fitted[0] * 15:
        fitted = (whole * DEVICE[0], whole * DEVICE[1])
    return (width - fitted[0]) // 2, (height - fitted[1]) // 2, fitted[0] / DEVICE[0]


def window_size(env, window):
    shape = subprocess.run(['xdotool', 'getwindowgeometry', '--shell', window], env=env,
                           capture_output=True, text=True).stdout
    fields = dict(line.split('=', 1) for line in shape.split() if '=' in line)
    return int(fields['WIDTH']), int(fields['HEIGHT'])


def pointer_moves(env, window, seconds):
    """One xdotool run that circles the pointer over the pitch for `seconds`: the same path in
    device pixels whatever the window's size."""
    left, top, scale = fit_screen(window_size(env, window))
    command = ['xdotool']
    steps = int(seconds / MOVE_PERIOD)
    for i in range(steps):
        # A square path, plain integer steps: 100 device pixels a side around (240, 450).
        side, at = divmod(i % 200, 50)
        x, y = [(190 + 2 * at, 400), (290, 400 + 2 * at), (290 - 2 * at, 500),
                (190, 500 - 2 * at)][side]
        command += ['mousemove', '--window', window, str(left + int(x * scale)),
                    str(top + int(y * scale)), 'sleep', str(MOVE_PERIOD)]
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


def run_pair(display, build, seconds, scratch, second_first, mode):
    """Plays the pair once: the game and the floor, the game in full screen and in its window,
    or the game recording its match and keeping none. Returns the first's figures and the
    second's."""
    tarvel_first = os.path.join(scratch, 'tarvel-first-frame')
    tarvel_timer = os.path.join(scratch, 'tarvel-timer')
    floor_report = os.path.join(scratch, 'floor-report')

    def fresh(*paths):
        for path in paths:
            if os.path.exists(path):
                os.remove(path)

    def play_game(options):
        fresh(tarvel_first, tarvel_timer)
        # Its last match goes to the scratch folder, not the user's.
        game = play(display, [os.path.join(build, 'app', 'tarvel')] + options, 'Tarvel',
                    seconds, {'TARVEL_REPORT_FIRST_FRAME': tarvel_first,
                              'TARVEL_REPORT_TIMER': tarvel_timer,
                              'XDG_STATE_HOME': scratch}, tarvel_first)
        timer = read_fields(tarvel_timer)
        if 'mean_period_ms' not in timer:
            raise BenchError('tarvel wrote no timer report')
        game['period'], game['lateness'] = timer['mean_period_ms'], timer['worst_lateness_ms']
        return game

    def play_floor():
        fresh(floor_report)
        floor = play(display, [os.path.join(build, 'bench', 'sdl_floor'), str(seconds),
                               floor_report], 'sdl_floor', seconds, {}, floor_report)
        fields = read_fields(floor_report)
        if 'mean_period_ms' not in fields:
            raise BenchError('sdl_floor wrote no end report')
        floor['period'], floor['lateness'] = fields['mean_period_ms'], fields['worst_lateness_ms']
        return floor

    if mode == 'fullscreen':
        first, second = (lambda: play_game(['--fullscreen'])), (lambda: play_game([]))
    elif mode == 'recording':
        recording = os.path.join(scratch, 'bench.tarvel')
        first = lambda: play_game(['--record', recording])
        second = lambda: play_game(['--no-record'])
    else:
        first, second = (lambda: play_game([])), play_floor
    # Taking turns at going first, so that neither always comes after the other.
    if second_first:
        b = second()
        return first(), b
    a = first()
    return a, second()


ROWS = [
    ('cpu', 'CPU, ms per second of play', '%.1f'),
    ('first_frame', 'start to first frame, ms', '%.0f'),
    ('peak', 'peak memory (VmHWM), MiB', '%.1f'),
    ('period', 'timer mean period, ms', '%.2f'),
    ('lateness', 'timer worst lateness, ms', '%.1f'),
    ('server_cpu', 'Xvfb CPU meanwhile, ms/s', '%.1f'),
]


def spread(values):
    """The median and the middle half (25th to 75th percentile) of `values`."""
    values = sorted(values)
    if len(values) < 2:
        return values[0], values[0], values[0]
    low, middle, high = statistics.quantiles(values, n=4, method='inclusive')
    return statistics.median(values), low, high


def size_argument(text):
    try:
        width, height = (int(part) for part in text.split('x'))
    except ValueError:
        raise argparse.ArgumentTypeError('%r is not WIDTHxHEIGHT' % text)
    if not (480 <= width <= 8192 and 640 <= height <= 8192) and not (
            640 <= width <= 8192 and 480 <= height <= 8192):
        raise argparse.ArgumentTypeError('%r: each side must be 480 to 8192 pixels' % text)
    return width, height


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument('build', nargs='?', default=os.path.join(top, 'build', 'release'))
    parser.add_argument('--seconds', type=int, default=10)
    parser.add_argument('--runs', type=int, default=9)
    parser.add_argument('--display', type=size_argument, default=None,
                        help='the virtual display, WIDTHxHEIGHT (1280x1024; 3840x2160 with '
                        '--fullscreen)')
    parser.add_argument('--fullscreen', action='store_true',
                        help='the game in full screen against the game in its window')
    parser.add_argument('--recording', action='store_true',
                        help='the game recording its match against the game keeping none')
    parser.add_argument('--window-manager', action='store_true', help='run openbox first')
    options = parser.parse_args()
    if options.fullscreen and options.recording:
        parser.error('--fullscreen and --recording are two different pairs')
    mode = 'fullscreen' if options.fullscreen else 'recording' if options.recording else 'floor'
    if options.seconds < 5 or options.runs < 1:
        parser.error('--seconds must be at least 5 and --runs at least 1')
    display_size = options.display or ((3840, 2160) if options.fullscreen else (1280, 1024))
    for program in (('app', 'tarvel'), ('bench', 'sdl_floor')):
        if not os.access(os.path.join(options.build, *program), os.X_OK):
            print('desktop_bench: no %s in %s: build it first' % ('/'.join(program),
                                                                  options.build))
            return 2
    names = {'fullscreen': ('full screen', 'window'), 'recording': ('recording', 'not recording'),
             'floor': ('tarvel', 'sdl_floor')}[mode]
    if options.fullscreen:
        goals = {'cpu': FULLSCREEN_GOALS.get(display_size)}
    elif options.recording:
        goals = {'cpu': RECORDING_GOAL, 'peak': RECORDING_GOAL}
    else:
        goals = {'cpu': CPU_GOAL, 'first_frame': FIRST_FRAME_GOAL, 'peak': MEMORY_GOAL}
    firsts, seconds = [], []
    try:
        with Display(display_size, options.window_manager) as display, \
                tempfile.TemporaryDirectory() as scratch:
            for run in range(options.runs):
                a, b = run_pair(display, options.build, options.seconds, scratch, run % 2 == 1,
                                mode)
                firsts.append(a)
                seconds.append(b)
                print('run %d: %s %.1f ms/s, first frame %.0f ms, %.1f MiB; %s %.1f ms/s, '
                      'first frame %.0f ms, %.1f MiB' %
                      (run + 1, names[0], a['cpu'], a['first_frame'], a['peak'], names[1],
                       b['cpu'], b['first_frame'], b['peak']), flush=True)
    except (BenchError, OSError, subprocess.SubprocessError) as error:
        print('desktop_bench: %s' % error)
        return 2

    print('\n%d runs of %d s on Xvfb at %d x %d%s, the screen 480 x 640: medians with the middle '
          'half of the runs;\nratio of the medians, and the median (middle half) of each run\'s '
          'own ratio:\n' % (options.runs, options.seconds, display_size[0], display_size[1],
                            ' with openbox' if options.window_manager else ''))
    print('| %-28s | %-18s | %-18s | %5s | %-17s | %-11s |' %
          ('', names[0], names[1], 'ratio', 'paired', 'goal'))
    print('|%s|%s|%s|%s|%s|%s|' % ('-' * 30, '-' * 20, '-' * 20, '-' * 7, '-' * 19, '-' * 13))
    met = True
    for key, label, form in ROWS:
        a = spread(r[key] for r in firsts)
        b = spread(r[key] for r in seconds)
        ratio = a[0] / b[0] if b[0] > 0 else float('inf')
        paired = spread(x[key] / y[key] if y[key] > 0 else float('inf')
                        for x, y in zip(firsts, seconds))
        goal = goals.get(key)
        verdict = ''
        if goal is not None:
            # Met when the middle half of the runs' own ratios lies within the goal: a figure
            # whose pairs swing across it is not met.
            ok = paired[2] <= goal
            verdict = '<= %.2f %s' % (goal, 'met' if ok else 'MISSED')
            met = met and ok
        shown = lambda v: ('%s (%s-%s)' % (form % v[0], form % v[1], form % v[2]))
        print('| %-28s | %-18s | %-18s | %5.2f | %-17s | %-11s |' %
              (label, shown(a), shown(b), ratio,
               '%.2f (%.2f-%.2f)' % paired, verdict))
    return 0 if met else 1


if __name__ == '__main__':
    sys.exit(main())
