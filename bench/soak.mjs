// Runs the soak (bench/soak): Kestrin's tray face in one process, with the reference server of this
// checkout, in Xvfb with trayer: the panel opened and closed 2,000 times, each window 300 times, 200
// network switches and a day of the refresh clock, with resident memory, descriptors, threads and live
// QObjects after the warm-up and after each phase. Exit status 1 when memory grew by 2 MiB or more, a
// descriptor was left open, or the run could not be carried out.
// Usage: node bench/soak.mjs   (builds bench_soak optimised in build/, or in BUILD_DIR; SOAK_SCALE, default 1,
// scales every count: 0.05 for a short try)
import { execFileSync } from 'node:child_process';
import { createWriteStream, existsSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { createInterface } from 'node:readline';
import { fileURLToPath } from 'node:url';
import { openDisplayWithTray } from './display.mjs';
import { freePort } from './process.mjs';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');
const buildDir = resolve(process.env.BUILD_DIR ?? join(root, 'build'));

if (!existsSync(join(root, 'apps/server/dist/index.js'))) throw new Error('no apps/server/dist: run scripts/bootstrap first');

// Optimised, without sanitizers: what is measured is the application, not the instrumentation.
execFileSync('cmake', ['-S', root, '-B', buildDir, '-G', 'Ninja', '-DCMAKE_BUILD_TYPE=RelWithDebInfo',
  '-DKESTRIN_TESTS=OFF', '-DKESTRIN_BENCH=ON'], { stdio: ['ignore', 'ignore', 'inherit'] });
execFileSync('cmake', ['--build', buildDir, '--target', 'bench_soak', '--parallel', '2'],
  { stdio: ['ignore', 'ignore', 'inherit'] });
const soak = join(buildDir, 'bench/soak/bench_soak');
// A server run from a checkout writes its log to the output it was given, which is the soak's: its
// lines (each begins with its time) go to a file of their own, and the soak's own come through.
const serverLog = join(buildDir, 'soak-server.log');
const serverLines = createWriteStream(serverLog);
const serverLine = /^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d(\.\d+)?Z /;
const passThrough = (from, to) => {
  const lines = createInterface({ input: from, crlfDelay: Infinity });
  lines.on('line', (line) => (serverLine.test(line) ? serverLines : to).write(`${line}\n`));
  return new Promise((done) => lines.once('close', done));
};

const { start, close } = await openDisplayWithTray();
const home = mkdtempSync(join(tmpdir(), 'kestrin-soak-'));
const runtime = mkdtempSync(join(tmpdir(), 'kestrin-soak-run-'));
let status = 1;
try {
  const extra = {
    HOME: home,
    XDG_RUNTIME_DIR: runtime,
    CORVANE_PORT: String(await freePort()),
    CORVANE_SUPPRESS_WELCOME: '1',
    CORVANE_REPO_ROOT: root,
  };
  // Everything of the soak's own under its private home.
  for (const name of ['XDG_CONFIG_HOME', 'XDG_DATA_HOME', 'XDG_STATE_HOME', 'XDG_CACHE_HOME', 'CORVANE_LOG_DIR'])
    extra[name] = undefined;
  const child = start(soak, [], extra, ['ignore', 'pipe', 'pipe']);
  const output = Promise.all([passThrough(child.stdout, process.stdout), passThrough(child.stderr, process.stderr)]);
  // Interrupted, the soak quits as the application does (its server stopped first) before the display goes.
  const stop = () => child.kill('SIGTERM');
  process.once('SIGINT', stop);
  process.once('SIGTERM', stop);
  status = await new Promise((done) => child.once('exit', (code) => done(code ?? 1)));
  await output;
  console.log(`the server's own output: ${serverLog}`);
} finally {
  serverLines.end();
  close();
  rmSync(home, { recursive: true, force: true });
  rmSync(runtime, { recursive: true, force: true });
}
process.exitCode = status;
