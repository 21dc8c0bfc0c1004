// Measures the running application in its terminal face, with the reference server of this checkout:
// launch to ON, idle CPU over 60 s, resident memory, a network switch back to ON, and SIGTERM to exit.
// Usage: node bench/kestrin.mjs [path to kestrin]   (default: the folder scripts/run lays out)
import { spawn } from 'node:child_process';
import { mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { freePort, idleCpu, residentMiB, sleep } from './process.mjs';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');
const kestrin = process.argv[2] ?? join(root, 'build/Kestrin/Contents/bin/kestrin');
const idleSeconds = Number(process.env.IDLE_SECONDS ?? 60);


const port = await freePort();
const started = performance.now();
const child = spawn(kestrin, ['--headless'], {
  env: { ...process.env, HOME: mkdtempSync(join(tmpdir(), 'kestrin-bench-')), CORVANE_PORT: String(port) },
  stdio: ['pipe', 'pipe', 'inherit'],
});
let output = '';
const waiters = [];
child.stdout.on('data', (chunk) => {
  output += chunk;
  for (const waiter of [...waiters]) waiter();
});
// Resolves with the time at which the output (from `from` on) first matches `pattern`.
const waitFor = (pattern, from = 0) =>
  new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error(`no ${pattern} in:\n${output}`)), 20000);
    const check = () => {
      const match = output.slice(from).match(pattern);
      if (!match) return;
      clearTimeout(timer);
      waiters.splice(waiters.indexOf(check), 1);
      resolve({ at: performance.now(), match });
    };
    waiters.push(check);
    check();
  });

const on = await waitFor(/Kestrin ON · PORT \d+ · PROCESS (\d+)/);
const read = await waitFor(/Kestrin is only answering this computer/);
console.log(`launch to ON: ${(on.at - started).toFixed(0)} ms; to the first readout from the server: ${(read.at - started).toFixed(0)} ms`);

const idle = await idleCpu(child.pid, idleSeconds);
console.log(`idle CPU over ${idleSeconds} s with the server running: ${idle.toFixed(3)}% of one core`);
console.log(`resident memory: ${residentMiB(child.pid).toFixed(1)} MiB`);

const switchFrom = output.length;
const switched = performance.now();
child.stdin.write('h\n');
const restarted = await waitFor(new RegExp(`Kestrin ON · PORT \\d+ · PROCESS (?!${on.match[1]}\\b)\\d+`), switchFrom);
const answering = await waitFor(/Type this into Kestrin on your phone|This computer isn.t on a network/, switchFrom);
console.log(`network switch to ON again: ${(restarted.at - switched).toFixed(0)} ms; to its first readout: ${(answering.at - switched).toFixed(0)} ms`);

const exited = new Promise((resolve) => child.once('exit', (code) => resolve({ code, at: performance.now() })));
await sleep(2000);
const term = performance.now();
child.kill('SIGTERM');
const { code, at } = await exited;
console.log(`SIGTERM to exit: ${(at - term).toFixed(0)} ms (exit code ${code})`);
