// The web page's benchmark, in Debian's headless Chromium on this machine:
//   - bytes sent on a first visit, gzip as web/serve.py sends it (every file the page and its
//     service worker fetch, headers included);
//   - time from navigation to the first game frame, with an empty browser profile;
//   - CPU time of the page's renderer process per second of play, against the floor: a bare page
//     of ours that puts a 480 x 640 picture on a canvas every 50 ms (bench/web_floor/);
//   - the game timer's mean period and worst lateness;
//   - what recording the match costs: the page with its recording on and the same page with it
//     off, each in a browser of its own, played side by side at the same time, in --pairs
//     crossovers (each opened first once in each), and the bytes the recording keeps.
// Every page gets the same pointer circling over it. The game and the floor take turns at going
// first, each in a browser of its own; the figures are medians over the runs with their middle half, and the CPU
// ratio is given both as that of the medians and as each run's own (paired) ratio, whose middle
// half must lie within the goal. With --before, a second build of the page (another tree's
// build/web) is measured in the same runs, taking its turn with the other two, so that a change
// is judged against what it changed rather than against another session's figures.
//
// --recording-only measures only the recording's cost (the other figures are left out).
//
//   node bench/web_bench.mjs [SITE] [--seconds 20] [--runs 5] [--pairs 3] [--before SITE]
//                            [--recording-only]                              SITE: build/web
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { spawn } from 'node:child_process';
import { existsSync } from 'node:fs';
import { Browser, delay } from '../tests/web/browser.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const root = join(here, '..');
const options = { site: join(root, 'build', 'web'), seconds: 20, runs: 5, pairs: 3, before: null,
  recordingOnly: false };
const USAGE = 'usage: node bench/web_bench.mjs [SITE] [--seconds N] [--runs N] [--pairs N] [--before SITE] [--recording-only]';
const args = process.argv.slice(2);
for (let i = 0; i < args.length; ++i) {
  if (args[i] === '--seconds' || args[i] === '--runs' || args[i] === '--pairs') {
    const value = Number(args[++i]);
    if (!Number.isInteger(value) || value < 1 || value > 600) {
      console.error(`web_bench: bad ${args[i - 1]} '${args[i]}': expected a whole number 1 to 600`);
      process.exit(2);
    }
    options[args[i - 1].slice(2)] = value;
  } else if (args[i] === '--before') {
    if (i + 1 >= args.length || args[i + 1].startsWith('-')) {
      console.error('web_bench: --before needs the folder of a built page, e.g. /tmp/before/build/web');
      process.exit(2);
    }
    options.before = resolve(args[++i]);
  } else if (args[i] === '--recording-only') {
    options.recordingOnly = true;
  } else if (!args[i].startsWith('-')) {
    options.site = resolve(args[i]);
  } else {
    console.error(`web_bench: unknown option '${args[i]}'\n${USAGE}`);
    process.exit(2);
  }
}

if (options.before && options.recordingOnly) {
  console.error('web_bench: --before measures the page against another build; --recording-only measures only the recording');
  process.exit(2);
}
for (const [what, folder] of [['SITE', options.site], ['--before', options.before]]) {
  if (folder && !existsSync(join(folder, 'index.html'))) {
    console.error(`web_bench: ${what} ${folder} holds no built page (index.html); scripts/web builds one`);
    process.exit(2);
  }
}

const GOALS = { firstVisitBytes: 1.5e6, firstFrameMs: 1000, cpuRatio: 1.5, recordingRatio: 1.03 };

// web/serve.py for `folder`, with its count of what each connection sent.
function serve(folder) {
  const child = spawn('python3', [join(root, 'web', 'serve.py'), '--log', '--port', '0', folder],
    { stdio: ['ignore', 'pipe', 'inherit'] });
  const server = { sent: 0, url: null, child };
  return new Promise((resolvePromise, reject) => {
    let text = '';
    child.stdout.on('data', (chunk) => {
      text += chunk;
      let end;
      while ((end = text.indexOf('\n')) >= 0) {
        const line = text.slice(0, end);
        text = text.slice(end + 1);
        const served = /^serving (\S+)/.exec(line);
        const sent = /^connection (\d+)$/.exec(line);
        if (served) {
          server.url = served[1];
          resolvePromise(server);
        } else if (sent) {
          server.sent += Number(sent[1]);
        }
      }
    });
    child.on('exit', (code) => reject(new Error(`web/serve.py exited (${code})`)));
  });
}

async function stop(server) {
  await new Promise((done) => {
    server.child.removeAllListeners('exit');
    server.child.on('exit', done);
    server.child.kill();
  });
}

async function rendererCpuSeconds(browser) {
  const { processInfo } = await browser.send('SystemInfo.getProcessInfo');
  return processInfo.filter((p) => p.type === 'renderer').reduce((sum, p) => sum + p.cpuTime, 0);
}

// A fresh browser with the page opened in it, its first visit over.
async function open(folder, query, recording = true) {
  const server = await serve(folder);
  const browser = Browser.launch();
  try {
    const page = await browser.newPage({ width: 480, height: 640 });
    if (!recording) {
      await page.send('Page.addScriptToEvaluateOnNewDocument', { source: 'window.tarvelRecording = false;' });
    }
    await page.navigate(server.url + query);
    await page.waitFor('the first frame', "performance.getEntriesByName('tarvel-first-frame').length > 0", 20000);
    const firstFrameMs = await page.evaluate("performance.getEntriesByName('tarvel-first-frame')[0].startTime");
    // The first visit is over once the service worker (the game's) has what it keeps.
    await page.evaluate('navigator.serviceWorker.getRegistration().then((r) => r ? navigator.serviceWorker.ready : null)');
    await delay(1000);
    return { label: folder + query, recording, server, browser, page, firstFrameMs, firstVisitBytes: server.sent };
  } catch (error) {
    await close({ server, browser });
    throw error;
  }
}

async function close({ server, browser }) {
  await browser.close();
  await stop(server);
}

// The pointer circling over every one of `opened` for `seconds`, all at once: the same moves on
// a fixed clock, every 25 ms, whatever each page's answers take (a slower page would otherwise
// get fewer). Pages played together share the machine's load as it comes. The first
// WARM_UP_SECONDS of play are not measured: in its first ten seconds or so the browser compiles
// the game's hot code a second time, optimised, on a thread of the renderer (150 to 240 ms of
// CPU), and measured seconds that hold part of it swing with how much.
const WARM_UP_SECONDS = 8;
// The characters the page's recording holds.
const RECORDED = "typeof TarvelReplay === 'object' ? TarvelReplay.pieces.join('').length : 0";
async function play(opened) {
  const circle = async (step) => {
    const angle = step * 0.15;
    await Promise.all(opened.map(({ page }) =>
      page.mouse('mouseMoved', 240 + 150 * Math.cos(angle), 420 + 120 * Math.sin(angle))));
  };
  let step = 0;
  const onClock = async (started, steps) => {
    for (let i = 0; i < steps; ++i) {
      await circle(step++);
      const wait = started + (i + 1) * 25 - Date.now();
      if (wait > 0) {
        await delay(wait);
      }
    }
  };
  await onClock(Date.now(), WARM_UP_SECONDS * 40);
  const before = await Promise.all(opened.map(async ({ browser, page }) => ({
    timer: await page.evaluate('({ ...TarvelPage.timer })'),
    cpu: await rendererCpuSeconds(browser),
    recorded: await page.evaluate(RECORDED),
  })));
  const started = Date.now();
  await onClock(started, options.seconds * 40);
  const playedSeconds = (Date.now() - started) / 1000;
  return Promise.all(opened.map(async ({ label, recording, browser, page, firstFrameMs, firstVisitBytes }, i) => {
    const cpuSeconds = (await rendererCpuSeconds(browser)) - before[i].cpu;
    const timer = await page.evaluate('({ ...TarvelPage.timer })');
    const ticks = timer.ticks - before[i].timer.ticks;
    const recorded = (await page.evaluate(RECORDED)) - before[i].recorded;
    if ((recorded > 0) !== recording) {
      throw new Error(`${label}: ${recorded} bytes recorded with recording ${recording ? 'on' : 'off'}`);
    }
    return {
      recordedBytesPerMinute: (recorded * 60) / playedSeconds,
      firstVisitBytes,
      firstFrameMs,
      cpuMsPerSecond: (cpuSeconds * 1000) / playedSeconds,
      meanPeriodMs: ticks > 1 ? (timer.last - before[i].timer.last) / ticks : NaN,
      worstLatenessMs: timer.worstLateness,
    };
  }));
}

// One program's run: a fresh browser, the page opened, the pointer circling for `seconds`.
// (The floor records nothing: it is measured as not recording.)
async function measure(folder, query, recording = true) {
  const opened = await open(folder, query, recording);
  try {
    return (await play([opened]))[0];
  } finally {
    await close(opened);
  }
}

// The game with its recording on and off, each in a browser of its own, played side by side at
// the same time: both meet the same load from the rest of the machine, which one after the other
// they would not. The browser opened first costs a few hundredths more than the other (seen on
// this machine, either way round, even when both play the very same match), so the pair is played
// in crossovers, each opened first once in each, and the run's ratio is the geometric mean of all
// of them. A single pair still ranges about ±5 % on this machine when nothing differs between
// the two pages, hence several crossovers a run.
async function measureRecording(folder, query) {
  const ratios = [];
  const cpu = { recording: [], unrecorded: [] };
  for (let played = 0; played < 2 * options.pairs; ++played) {
    const recordingFirst = played % 2 === 0;
    const opened = [];
    try {
      for (const recording of recordingFirst ? [true, false] : [false, true]) {
        opened.push(await open(folder, query, recording));
      }
      const played = await play(opened);
      const on = played[recordingFirst ? 0 : 1];
      const off = played[recordingFirst ? 1 : 0];
      ratios.push(on.cpuMsPerSecond / off.cpuMsPerSecond);
      cpu.recording.push(on);
      cpu.unrecorded.push(off);
    } finally {
      for (const each of opened) {
        await close(each);
      }
    }
  }
  const mean = (runs) => runs.reduce((sum, run) => sum + run.cpuMsPerSecond, 0) / runs.length;
  const geometricMean = Math.exp(ratios.reduce((sum, ratio) => sum + Math.log(ratio), 0) / ratios.length);
  return { ratio: geometricMean, pairs: ratios, recording: mean(cpu.recording),
    unrecorded: mean(cpu.unrecorded), recordedBytesPerMinute: cpu.recording[0].recordedBytesPerMinute };
}

const quantile = (values, q) => {
  const sorted = [...values].sort((a, b) => a - b);
  const at = q * (sorted.length - 1);
  const below = Math.floor(at);
  const above = Math.min(below + 1, sorted.length - 1);
  return sorted[below] + (sorted[above] - sorted[below]) * (at - below);
};
const median = (values) => quantile(values, 0.5);
// The middle half: the 25th to the 75th percentile.
const spread = (values, digits) =>
  `${quantile(values, 0.25).toFixed(digits)}-${quantile(values, 0.75).toFixed(digits)}`;

const verdict = (ok) => (ok ? 'met' : 'NOT met');

function reportRecording(runs) {
  const u = runs.map((r) => r.unrecorded);
  const cost = runs.map((r) => r.ratio);
  const perMinute = median(runs.map((r) => r.recordedBytesPerMinute));
  console.log(`${'not recording: CPU, ms per s'.padEnd(34)} ${median(u).toFixed(1).padStart(9)} (${spread(u, 1)}); ` +
    `recording keeps ${perMinute.toFixed(0)} bytes a minute in memory (${(perMinute * 60 / 1e6).toFixed(2)} MB an hour)`);
  console.log(`recording on against off, paired: ${median(cost).toFixed(3)} (${spread(cost, 3)}) ` +
    `(goal <= ${GOALS.recordingRatio} for the middle half): ${verdict(quantile(cost, 0.75) <= GOALS.recordingRatio)}`);
}

async function main() {
  const results = { game: [], floor: [], recording: [], before: [] };
  const sites = { game: [options.site, '?screen=480x640'], floor: [join(here, 'web_floor'), '', false],
    before: [options.before, '?screen=480x640'] };
  const which = options.recordingOnly ? ['recording']
    : ['game', 'floor', 'recording', ...(options.before ? ['before'] : [])];
  for (let run = 0; run < options.runs; ++run) {
    // Each program goes first, in the middle and last in turn.
    const order = which.map((_, i) => which[(i + run) % which.length]);
    for (const name of order) {
      await delay(1000);
      results[name].push(await (name === 'recording'
        ? measureRecording(options.site, '?screen=480x640')
        : measure(...sites[name])));
    }
    const r = results.recording[run];
    const sideBySide = `side by side: recording ${r.recording.toFixed(1)} ms/s, not ${r.unrecorded.toFixed(1)} ms/s, ${r.ratio.toFixed(3)}`;
    if (options.recordingOnly) {
      console.log(`run ${run + 1}: ${sideBySide} (pairs: ${r.pairs.map((ratio) => ratio.toFixed(3)).join(' ')})`);
      continue;
    }
    const g = results.game[run];
    const f = results.floor[run];
    const b = options.before ? `; before ${results.before[run].cpuMsPerSecond.toFixed(1)} ms/s` : '';
    console.log(`run ${run + 1}: game ${g.cpuMsPerSecond.toFixed(1)} ms/s, first frame ${g.firstFrameMs.toFixed(0)} ms, ` +
      `${(g.firstVisitBytes / 1e6).toFixed(3)} MB; floor ${f.cpuMsPerSecond.toFixed(1)} ms/s, first frame ${f.firstFrameMs.toFixed(0)} ms; ` +
      `${sideBySide}${b}`);
  }
  if (options.recordingOnly) {
    console.log(`\n${options.runs} runs of ${options.pairs} crossovers of ${options.seconds} s`);
    reportRecording(results.recording);
    return;
  }
  const { game, floor, before } = results;
  const row = (name, key, digits, unit) => {
    const a = game.map((r) => r[key]);
    const b = floor.map((r) => r[key]);
    return `${name.padEnd(34)} ${median(a).toFixed(digits).padStart(9)} (${spread(a, digits)})  ` +
      `${median(b).toFixed(digits).padStart(9)} (${spread(b, digits)}) ${unit}`;
  };
  console.log(`\n${options.runs} runs of ${options.seconds} s, medians (middle half):  game                floor`);
  console.log(row('CPU of the renderer, ms per s', 'cpuMsPerSecond', 1, ''));
  console.log(row('navigation to first frame, ms', 'firstFrameMs', 0, ''));
  console.log(row('first visit, bytes sent', 'firstVisitBytes', 0, ''));
  console.log(row('timer mean period, ms', 'meanPeriodMs', 2, ''));
  console.log(row('timer worst lateness, ms', 'worstLatenessMs', 0, ''));
  reportRecording(results.recording);
  if (options.before) {
    const b = before.map((r) => r.cpuMsPerSecond);
    const againstFloor = before.map((r, i) => r.cpuMsPerSecond / floor[i].cpuMsPerSecond);
    const againstBefore = game.map((r, i) => r.cpuMsPerSecond / before[i].cpuMsPerSecond);
    console.log(`${'before: CPU of the renderer, ms per s'.padEnd(34)} ${median(b).toFixed(1).padStart(9)} (${spread(b, 1)}); ` +
      `paired with the floor ${median(againstFloor).toFixed(2)} (${spread(againstFloor, 2)})`);
    console.log(`game against before, paired: ${median(againstBefore).toFixed(2)} (${spread(againstBefore, 2)})`);
  }
  const cpuRatio = median(game.map((r) => r.cpuMsPerSecond)) / median(floor.map((r) => r.cpuMsPerSecond));
  // Each run's game against the floor measured next to it; the goal is met when the middle half
  // of these lies within it.
  const paired = game.map((g, i) => g.cpuMsPerSecond / floor[i].cpuMsPerSecond);
  const pairedHigh = quantile(paired, 0.75);
  const bytes = median(game.map((r) => r.firstVisitBytes));
  const firstFrame = median(game.map((r) => r.firstFrameMs));
  console.log(`\nCPU ratio of the medians ${cpuRatio.toFixed(2)}; paired ${median(paired).toFixed(2)} ` +
    `(${spread(paired, 2)}) (goal <= ${GOALS.cpuRatio} for the middle half): ` +
    `${verdict(pairedHigh <= GOALS.cpuRatio)}`);
  console.log(`first visit ${(bytes / 1e6).toFixed(3)} MB (goal <= 1.5 MB): ${verdict(bytes <= GOALS.firstVisitBytes)}`);
  console.log(`first frame ${firstFrame.toFixed(0)} ms (goal <= 1000 ms): ${verdict(firstFrame <= GOALS.firstFrameMs)}`);
}

main().catch((error) => {
  console.error(`web_bench: ${error.message}`);
  process.exit(1);
});
