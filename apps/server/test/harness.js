// Starts the built server as the desktop application does, on a free port with a temporary HOME.
import { spawn } from 'node:child_process';
import { randomBytes } from 'node:crypto';
import { mkdtempSync, readFileSync } from 'node:fs';
import { createServer, connect } from 'node:net';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const running = new Set();

// Stops every server a test file started, even those of a test that failed half-way.
export async function stopAll() {
  await Promise.all([...running].map((server) => server.stop()));
}

export const entry = join(dirname(fileURLToPath(import.meta.url)), '..', 'dist', 'index.js');

// Ports outside the kernel's ephemeral range, which outgoing connections also draw from: a port
// probed free there can be taken before the server binds it. Each is free on every IPv4 address when
// handed out, and never handed out twice in one test file.
function ephemeralRange() {
  try {
    const range = readFileSync('/proc/sys/net/ipv4/ip_local_port_range', 'utf8');
    const [low, high] = range.trim().split(/\s+/).map(Number);
    if (Number.isInteger(low) && Number.isInteger(high) && low <= high) return [low, high];
  } catch {
    // not Linux, or no /proc: Linux's default range
  }
  return [32768, 60999];
}

const handedOut = new Set();

function portIsFree(port) {
  return new Promise((resolve) => {
    const probe = createServer();
    probe.once('error', () => resolve(false));
    probe.listen(port, '0.0.0.0', () => probe.close(() => resolve(true)));
  });
}

export async function freePort() {
  const [low, high] = ephemeralRange();
  const ranges = [
    [10000, low - 1],
    [Math.max(high + 1, 10000), 65535],
  ].filter(([first, last]) => first <= last);
  const size = ranges.reduce((sum, [first, last]) => sum + last - first + 1, 0);
  for (let attempt = 0; size > 0 && attempt < 200; attempt++) {
    let pick = Math.floor(Math.random() * size);
    for (const [first, last] of ranges) {
      if (pick <= last - first) {
        pick += first;
        break;
      }
      pick -= last - first + 1;
    }
    if (!handedOut.has(pick) && (await portIsFree(pick))) {
      handedOut.add(pick);
      return pick;
    }
  }
  // No room outside the ephemeral range: one from the kernel.
  return new Promise((resolve) => {
    const probe = createServer();
    probe.listen(0, '0.0.0.0', () => {
      const { port } = probe.address();
      probe.close(() => resolve(port));
    });
  });
}

// Where the server keeps its state file under a HOME without XDG_DATA_HOME.
export const stateFolder = (home) => join(home, '.local', 'share', 'corvane');

export function newHome() {
  return mkdtempSync(join(tmpdir(), 'kestrin-server-'));
}

export function newSecret() {
  return randomBytes(32).toString('hex');
}

// Runs the server. `stdinLine` is written then standard input is closed; `undefined` leaves it open.
export async function startServer({ home = newHome(), port, env = {}, secret, stdinLine, waitForListening = true } = {}) {
  port ??= await freePort();
  const child = spawn(process.execPath, [entry], {
    env: {
      PATH: process.env.PATH,
      HOME: home,
      PORT: String(port),
      ...(secret || stdinLine !== undefined ? { CORVANE_SECRETS_ON_STDIN: '1' } : {}),
      ...env,
    },
    stdio: ['pipe', 'pipe', 'pipe'],
  });
  const server = { child, port, home, secret, stdout: '', stderr: '' };
  child.stdout.on('data', (chunk) => (server.stdout += chunk));
  child.stderr.on('data', (chunk) => (server.stderr += chunk));
  server.exited = new Promise((resolve) => child.once('exit', (code, signal) => resolve({ code, signal })));
  running.add(server);
  server.exited.then(() => running.delete(server));
  if (secret) child.stdin.end(`{"adminSecret":"${secret}"}\n`);
  else if (stdinLine !== undefined) child.stdin.end(stdinLine);
  if (waitForListening) {
    await new Promise((resolve, reject) => {
      const check = () => (server.stdout.includes('listening on') ? resolve() : null);
      child.stdout.on('data', check);
      server.exited.then(() => reject(new Error(`server exited early: ${server.stderr}`)));
      check();
    });
  }
  server.request = (method, path, { body, raw, admin = true, headers = {} } = {}) =>
    fetch(`http://127.0.0.1:${port}${path}`, {
      method,
      headers: {
        ...(admin && secret ? { 'X-Corvane-Admin': secret } : {}),
        ...(body !== undefined || raw !== undefined ? { 'Content-Type': 'application/json' } : {}),
        ...headers,
      },
      body: raw ?? (body !== undefined ? JSON.stringify(body) : undefined),
    }).then(async (response) => ({ status: response.status, body: await response.json().catch(() => null) }));
  server.stop = async () => {
    if (child.exitCode === null && child.signalCode === null) child.kill('SIGTERM');
    return server.exited;
  };
  return server;
}

// Opens a WebSocket on /ws with `token`; resolves with the HTTP status line and the open socket.
export function openDeviceSocket(port, token) {
  return new Promise((resolve, reject) => {
    const socket = connect(port, '127.0.0.1', () => {
      socket.write(
        `GET /ws?token=${encodeURIComponent(token)} HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\n` +
          `Connection: Upgrade\r\nSec-WebSocket-Key: ${randomBytes(16).toString('base64')}\r\n` +
          'Sec-WebSocket-Version: 13\r\n\r\n',
      );
    });
    let answer = '';
    const onData = (chunk) => {
      answer += chunk.toString('latin1');
      if (answer.includes('\r\n')) {
        socket.removeListener('data', onData);
        resolve({ statusLine: answer.split('\r\n')[0], socket });
      }
    };
    socket.on('data', onData);
    socket.on('error', reject);
    setTimeout(() => reject(new Error('no answer to the WebSocket request')), 5000).unref();
  });
}
