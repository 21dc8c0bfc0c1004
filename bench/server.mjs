// Measures the reference server: time from process start to listening, and authenticated
// GET /api/setup over loopback beside a bare Node.js server that sends the same body, so that the
// ratio between the two is what is reported. The load comes from wrk (Debian's package) when it is
// installed, else from a small Node.js client. Reported, never asserted.
//
//   node bench/server.mjs [seconds per turn, default 5]
import { execFileSync, spawn } from 'node:child_process';
import { randomBytes } from 'node:crypto';
import { Agent, request } from 'node:http';
import { closeSync, mkdtempSync, openSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const entry = new URL('../apps/server/dist/index.js', import.meta.url).pathname;
const secret = randomBytes(32).toString('hex');
const seconds = Number(process.argv[2] ?? 5);
const scratch = mkdtempSync(join(tmpdir(), 'kestrin-bench-'));
let nextPort = 20000 + Math.floor(Math.random() * 20000);

function hasWrk() {
  try {
    execFileSync('wrk', ['--version'], { stdio: 'ignore' });
    return true;
  } catch (error) {
    return error.status === 1; // wrk prints its version and exits 1
  }
}

// The reference server as Kestrin runs it: the secret on standard input, its output appended to a log.
async function startReference() {
  const port = nextPort++;
  const started = process.hrtime.bigint();
  const log = openSync(join(scratch, 'server.log'), 'a');
  const child = spawn(process.execPath, [entry], {
    env: { PATH: process.env.PATH, HOME: scratch, PORT: String(port), CORVANE_SECRETS_ON_STDIN: '1' },
    stdio: ['pipe', log, 'inherit'],
  });
  closeSync(log); // the server has its own copy
  child.stdin.end(`{"adminSecret":"${secret}"}\n`);
  await untilAnswering(port);
  return { child, port, millis: Number(process.hrtime.bigint() - started) / 1e6 };
}

// A bare node:http server that answers every request with the reference server's own reply.
async function startBare(body) {
  const port = nextPort++;
  const program = `
    const body = ${JSON.stringify(body)};
    require('node:http').createServer((request, response) => {
      response.writeHead(200, { 'Content-Type': 'application/json; charset=utf-8',
        'Content-Length': Buffer.byteLength(body), 'Cache-Control': 'no-store' });
      response.end(body);
    }).listen(${port}, '127.0.0.1');`;
  const child = spawn(process.execPath, ['-e', program], { stdio: 'inherit' });
  await untilAnswering(port);
  return { child, port };
}

async function untilAnswering(port) {
  for (;;) {
    try {
      return await get(port);
    } catch {
      await new Promise((resolve) => setTimeout(resolve, 10));
    }
  }
}

function get(port, agent) {
  return new Promise((resolve, reject) => {
    const req = request({ host: '127.0.0.1', port, path: '/api/setup', agent, headers: { 'X-Corvane-Admin': secret } }, (res) => {
      let body = '';
      res.on('data', (chunk) => (body += chunk));
      res.on('end', () => (res.statusCode === 200 ? resolve(body) : reject(new Error(`status ${res.statusCode}`))));
    });
    req.on('error', reject);
    req.end();
  });
}

// { rate: requests per second, p99: milliseconds }
function loadWithWrk(port, connections) {
  const text = execFileSync('wrk', ['-t', '1', '-c', String(connections), '-d', `${seconds}s`, '--latency',
    '-H', `X-Corvane-Admin: ${secret}`, `http://127.0.0.1:${port}/api/setup`], { encoding: 'utf8' });
  if (/Non-2xx/.test(text)) throw new Error(`some requests failed:\n${text}`);
  const millis = (value, unit) => Number(value) * { us: 0.001, ms: 1, s: 1000 }[unit];
  const p99 = /99%\s+([0-9.]+)(us|ms|s)/.exec(text);
  return { rate: Number(/Requests\/sec:\s+([0-9.]+)/.exec(text)[1]), p99: millis(p99[1], p99[2]) };
}

async function loadWithNode(port, connections) {
  const agent = new Agent({ keepAlive: true, maxSockets: connections });
  const latencies = [];
  const deadline = Date.now() + seconds * 1000;
  const worker = async () => {
    while (Date.now() < deadline) {
      const t0 = process.hrtime.bigint();
      await get(port, agent);
      latencies.push(Number(process.hrtime.bigint() - t0) / 1e6);
    }
  };
  await Promise.all(Array.from({ length: connections }, worker));
  agent.destroy();
  latencies.sort((a, b) => a - b);
  return { rate: latencies.length / seconds, p99: latencies[Math.floor(latencies.length * 0.99)] };
}

const stop = (child) => new Promise((resolve) => child.once('exit', resolve).kill('SIGTERM'));

const starts = [];
for (let i = 0; i < 5; i++) {
  const { child, millis } = await startReference();
  starts.push(millis);
  await stop(child);
}
console.log(`start to answering: ${starts.map((m) => m.toFixed(0)).join(', ')} ms (5 runs)`);

const load = hasWrk() ? loadWithWrk : loadWithNode;
const reference = await startReference();
const bare = await startBare(await get(reference.port));
// The two servers take turns, so that whatever else the machine does weighs on both alike.
const rounds = 3;
console.log(`GET /api/setup, ${rounds} turns of ${seconds} s each, load from ${load === loadWithWrk ? 'wrk' : 'a Node.js client'}:`);
for (const connections of [8, 64]) {
  const ours = [];
  const baseline = [];
  for (let round = 0; round < rounds; round++) {
    ours.push(await load(reference.port, connections));
    baseline.push(await load(bare.port, connections));
  }
  const rate = (runs) => runs.reduce((sum, run) => sum + run.rate, 0) / runs.length;
  const p99 = (runs) => Math.max(...runs.map((run) => run.p99));
  console.log(
    `  ${connections} connections: reference ${rate(ours).toFixed(0)}/s (p99 ${p99(ours).toFixed(2)} ms), ` +
      `bare Node.js ${rate(baseline).toFixed(0)}/s (p99 ${p99(baseline).toFixed(2)} ms): ` +
      `${(rate(ours) / rate(baseline)).toFixed(2)}× the bare rate`,
  );
}
await Promise.all([stop(reference.child), stop(bare.child)]);
