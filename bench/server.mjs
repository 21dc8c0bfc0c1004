// Measures the reference server: time from process start to listening, and sustained authenticated
// GET /api/setup over loopback (requests per second, p50 and p99 latency). Reported, never asserted.
import { spawn } from 'node:child_process';
import { randomBytes } from 'node:crypto';
import { Agent, request } from 'node:http';
import { mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const entry = new URL('../apps/server/dist/index.js', import.meta.url).pathname;
const secret = randomBytes(32).toString('hex');
const port = 20000 + Math.floor(Math.random() * 20000);

async function startOnce() {
  const started = process.hrtime.bigint();
  const child = spawn(process.execPath, [entry], {
    env: { PATH: process.env.PATH, HOME: mkdtempSync(join(tmpdir(), 'kestrin-bench-')), PORT: String(port), CORVANE_SECRETS_ON_STDIN: '1' },
    stdio: ['pipe', 'pipe', 'inherit'],
  });
  child.stdin.end(`{"adminSecret":"${secret}"}\n`);
  await new Promise((resolve) => child.stdout.on('data', (c) => String(c).includes('listening') && resolve()));
  return { child, millis: Number(process.hrtime.bigint() - started) / 1e6 };
}

const starts = [];
for (let i = 0; i < 5; i++) {
  const { child, millis } = await startOnce();
  starts.push(millis);
  child.kill('SIGTERM');
  await new Promise((resolve) => child.once('exit', resolve));
}
console.log(`start to listening: ${starts.map((m) => m.toFixed(0)).join(', ')} ms (5 runs)`);

const { child } = await startOnce();
child.stdout.resume();
const agent = new Agent({ keepAlive: true, maxSockets: 8 });
const latencies = [];
const get = () =>
  new Promise((resolve, reject) => {
    const t0 = process.hrtime.bigint();
    const req = request({ host: '127.0.0.1', port, path: '/api/setup', agent, headers: { 'X-Corvane-Admin': secret } }, (res) => {
      res.resume();
      res.on('end', () => {
        if (res.statusCode !== 200) reject(new Error(`status ${res.statusCode}`));
        latencies.push(Number(process.hrtime.bigint() - t0) / 1e6);
        resolve();
      });
    });
    req.on('error', reject);
    req.end();
  });

const seconds = 5;
const deadline = Date.now() + seconds * 1000;
const worker = async () => {
  while (Date.now() < deadline) await get();
};
await Promise.all(Array.from({ length: 8 }, worker));
latencies.sort((a, b) => a - b);
const at = (q) => latencies[Math.floor(latencies.length * q)].toFixed(2);
console.log(`GET /api/setup, 8 connections, ${seconds} s: ${(latencies.length / seconds).toFixed(0)} requests/s, p50 ${at(0.5)} ms, p99 ${at(0.99)} ms`);
agent.destroy();
child.kill('SIGTERM');
