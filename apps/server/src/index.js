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

function log(line) {
  writeOut(1, `${new Date().toISOString()} ${line}\n`);
}

function fail(words) {
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

  const server = createServer(async (request, response) => {
    const started = process.hrtime.bigint();
    // The path as sent, without its query: routes and the admin check both see exactly this.
    const path = (request.url ?? '').split('?', 1)[0];
    try {
      if (!/^\/[\x21-\x7e]*$/.test(request.url ?? '')) throw new HttpError(400, 'That address is not valid.');
      sendJson(response, 200, await handle(request, path));
    } catch (error) {
      const status = error instanceof HttpError ? error.status : 500;
      if (!(error instanceof HttpError)) log(`error on ${request.method} ${path}: ${error.code ?? error.message}`);
      const words =
        error instanceof HttpError
          ? error.message
          : error instanceof StateWriteError
            ? 'The server could not save that change (is the disk full?). Nothing was changed.'
            : 'The server could not do that.';
      if (!response.headersSent) sendJson(response, status, { error: words });
      else response.destroy();
    }
    const millis = Number(process.hrtime.bigint() - started) / 1e6;
    log(`${request.method} ${path} ${response.statusCode} ${millis.toFixed(1)}ms`);
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
