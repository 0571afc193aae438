// The match and its pictures come out the same on the web as on the desktop, to the last bit:
// runs each simulator script through the desktop's tarvel-sim and through the WebAssembly one
// under node, each in a folder of its own, and compares what they print, their exit status and
// every file they write, byte for byte.
//
//   node sim_identity.mjs NATIVE_SIM WASM_SIM.js SCRIPT...
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { basename, join, resolve } from 'node:path';

const [nativeSim, wasmSim, ...scripts] = process.argv.slice(2);
if (!nativeSim || !wasmSim || scripts.length === 0) {
  console.error('usage: node sim_identity.mjs NATIVE_SIM WASM_SIM.js SCRIPT...');
  process.exit(2);
}

function run(command, args, script) {
  const folder = mkdtempSync(join(tmpdir(), 'tarvel-sim-'));
  const result = spawnSync(command, args, {
    cwd: folder, input: readFileSync(script), maxBuffer: 1 << 28, timeout: 300000,
  });
  if (result.error) throw new Error(`${command}: ${result.error.message}`);
  const files = new Map(readdirSync(folder).sort().map((name) => [name, readFileSync(join(folder, name))]));
  rmSync(folder, { recursive: true, force: true });
  return { status: result.status, stdout: result.stdout, stderr: result.stderr, files };
}

let failed = 0;
for (const script of scripts) {
  const name = basename(script);
  const native = run(resolve(nativeSim), [], script);
  const web = run(process.execPath, ['--no-experimental-fetch', resolve(wasmSim)], script);
  const differences = [];
  if (native.status !== web.status) differences.push(`exit status ${native.status} vs ${web.status}`);
  if (!native.stdout.equals(web.stdout)) {
    const a = native.stdout.toString().split('\n');
    const b = web.stdout.toString().split('\n');
    const line = a.findIndex((text, i) => text !== b[i]);
    differences.push(`standard output differs from line ${line + 1}:\n  desktop: ${a[line]}\n  web:     ${b[line]}`);
  }
  if (!native.stderr.equals(web.stderr)) {
    differences.push(`standard error: '${native.stderr}' vs '${web.stderr}'`);
  }
  const names = new Set([...native.files.keys(), ...web.files.keys()]);
  for (const file of names) {
    const a = native.files.get(file);
    const b = web.files.get(file);
    if (!a || !b) differences.push(`${file} written by one side only`);
    else if (!a.equals(b)) differences.push(`${file} differs (${a.length} vs ${b.length} bytes)`);
  }
  if (differences.length) {
    ++failed;
    console.log(`FAIL ${name}\n  ${differences.join('\n  ')}`);
  } else {
    console.log(`ok   ${name} (exit ${native.status}, ${native.stdout.length} bytes out, ${native.files.size} files)`);
  }
}
console.log(`${scripts.length - failed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
