// Kestrin's local server: the setup API for the desktop application, pairing for phones and device
// connections on /ws. Started by the desktop application with its whole environment and, when
// CORVANE_SECRETS_ON_STDIN is "1", the admin secret as one JSON line on standard input.
import { writeSync } from 'node:fs';
import { createServer } from 'node:http';

import { createApi } from './api.js';
import { readConfig, isLoopback } from './config.js';
import { findByToken } from './devices.js';
import { HttpError, sendJson } from './http.js';
import { Pairing } from './pairing.js';
import { readSecret } from './secret.js';
import { StateWriteError, Store, dataDirectory } from './store.js';
import { DeviceConnections } from './websocket.js';

const SEEN_INTERVAL_MS = 60 * 1000;

// Writes all of `text` to a standard stream, or as much as the stream takes: a log that cannot be
// written (a full disk) loses lines, never the server.
function writeOut(fd, text) {
  const bytes = Buffer.from(text);
  try {
    for (let written = 0; written < bytes.length; ) written += writeSync(fd, bytes, written);
  } catch {}
}

// Lines are gathered for a moment and written together: one write for a burst of requests instead of
// one each. Whatever is pending is written before the process exits, even when it fails.
const LOG_GATHERING_MS = 50;
const pendingLog = [];
function flushLog() {
  if (pendingLog.length === 0) return;
  writeOut(1, pendingLog.join(''));
  pendingLog.length = 0;
}
process.on('exit', flushLog);

// Many lines of a busy moment share a millisecond, and so their time stamp.
let stamp = { at: 0, text: '' };
function log(line) {
  const now = Date.now();
  if (now !== stamp.at) stamp = { at: now, text: new Date(now).toISOString() };
  if (pendingLog.push(`${stamp.text} ${line}\n`) === 1) setTimeout(flushLog, LOG_GATHERING_MS).unref();
}

// What a failed request is told.
function wordsFor(error) {
  if (error instanceof HttpError) return error.message;
  if (error instanceof StateWriteError) return 'The server could not save that change (is the disk full?). Nothing was changed.';
  return 'The server could not do that.';
}

function answerWith(response, started, path, status, value) {
  sendJson(response, status, value);
  log(`${response.req.method} ${path} ${status} ${(performance.now() - started).toFixed(1)}ms`);
}

function refuse(response, started, path, error) {
  if (!(error instanceof HttpError)) log(`error on ${response.req.method} ${path}: ${error.code ?? error.message}`);
  if (response.headersSent) return response.destroy();
  answerWith(response, started, path, error instanceof HttpError ? error.status : 500, { error: wordsFor(error) });
}

function fail(words) {
  flushLog();
  writeOut(2, `kestrin server: ${words}\n`);
  process.exit(1);
}

async function main() {
  let config;
  try {
    config = readConfig(process.env);
  } catch (error) {
    fail(error.message);
  }
  let adminSecret = null;
  if (config.secretsOnStdin) {
    try {
      adminSecret = await readSecret(process.stdin);
    } catch (error) {
      fail(error.message);
    }
  }

  const store = new Store(dataDirectory(process.env), log);
  try {
    store.load();
  } catch (error) {
    fail(error.message);
  }
  const pairing = new Pairing();
  const lastWritten = new Map();
  const connections = new DeviceConnections({
    authenticate: (token) => findByToken(store.state.devices, token),
    // A device's lastSeenAt is written when it connects and then at most once a minute.
    onSeen: (deviceId) => {
      const now = Date.now();
      if (now - (lastWritten.get(deviceId) ?? 0) < SEEN_INTERVAL_MS) return;
      lastWritten.set(deviceId, now);
      try {
        store.update((state) => {
          const device = state.devices.find((d) => d.id === deviceId);
          if (device) device.lastSeenAt = new Date(now).toISOString();
        });
      } catch (error) {
        log(`could not record that device ${deviceId} was seen: ${error.code ?? error.message}`);
      }
    },
    log,
  });
  const handle = createApi({
    config,
    store,
    pairing,
    adminSecret,
    liveConnections: () => connections.count,
    disconnect: (deviceId) => {
      lastWritten.delete(deviceId);
      connections.disconnect(deviceId);
    },
    remoteIsLoopback: (request) => isLoopback((request.socket.remoteAddress ?? '').replace(/^::ffff:/, '')),
  });

  // Most routes answer at once; only those that read a body answer later. An answer that is ready is
  // sent in the same turn of the event loop, without waiting for a promise.
  const server = createServer((request, response) => {
    const started = performance.now();
    // The path as sent, without its query: routes and the admin check both see exactly this.
    const url = request.url ?? '';
    const query = url.indexOf('?');
    const path = query < 0 ? url : url.slice(0, query);
    try {
      if (!/^\/[\x21-\x7e]*$/.test(url)) throw new HttpError(400, 'That address is not valid.');
      const answer = handle(request, path);
      if (answer instanceof Promise) {
        answer.then(
          (value) => answerWith(response, started, path, 200, value),
          (error) => refuse(response, started, path, error),
        );
      } else {
        answerWith(response, started, path, 200, answer);
      }
    } catch (error) {
      refuse(response, started, path, error);
    }
  });
  server.on('upgrade', (request, socket) => {
    socket.on('error', () => {});
    try {
      connections.upgrade(request, socket, new URL(request.url ?? '/', 'http://server'));
    } catch (error) {
      log(`error on a device connection: ${error.code ?? error.message}`);
      socket.destroy();
    }
  });
  server.on('clientError', (error, socket) => {
    if (socket.writable) socket.end('HTTP/1.1 400 Bad Request\r\nConnection: close\r\n\r\n');
  });

  let stopping = false;
  const stop = (signal) => {
    if (stopping) return;
    stopping = true;
    log(`${signal}: stopping`);
    server.close(() => process.exit(0));
    connections.closeAll();
    server.closeAllConnections?.();
    // State is written on every change; nothing is pending. A last resort if a connection hangs on.
    setTimeout(() => process.exit(0), 2000).unref();
  };
  process.on('SIGTERM', () => stop('SIGTERM'));
  process.on('SIGINT', () => stop('SIGINT'));

  // Bound to every IPv4 address, the server answers on 127.0.0.1 too.
  server.listen({ port: config.port, host: config.bindHost === 'localhost' ? '127.0.0.1' : config.bindHost }, () => {
    log(`listening on ${config.bindHost}:${config.port}${adminSecret ? ' (setup needs the admin key)' : ''}`);
  });
  server.on('error', (error) => fail(`could not listen on ${config.bindHost}:${config.port}: ${error.code}`));
}

main();
