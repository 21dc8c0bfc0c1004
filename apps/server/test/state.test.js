import { after, test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdirSync, readdirSync, readFileSync, statSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';

import { newHome, newSecret, openDeviceSocket, startServer, stateFolder, stopAll } from './harness.js';

after(stopAll);

test('settings survive a restart, in a file only the owner can read', async () => {
  const home = newHome();
  const first = await startServer({ home, secret: newSecret() });
  await first.request('POST', '/api/setup/approval', { body: { backend: 'codex', mode: 'just_run' } });
  await first.request('POST', '/api/setup/previews', { body: { enabled: true } });
  const key = `sk-ant-${'k'.repeat(40)}`;
  await first.request('POST', '/api/setup/agents/claude/key', { body: { apiKey: key } });
  const device = (await first.request('POST', '/api/pair/devices', { body: { name: 'Phone' } })).body;
  await first.stop();

  const file = join(stateFolder(home), 'state.json');
  assert.equal(statSync(file).mode & 0o777, 0o600);
  assert.ok(!readFileSync(file, 'utf8').includes(device.token), 'device tokens are kept only as digests');

  const second = await startServer({ home, secret: newSecret() });
  assert.equal((await second.request('GET', '/api/setup/approval')).body.codex, 'just_run');
  assert.deepEqual((await second.request('GET', '/api/setup/previews')).body, { enabled: true });
  assert.equal((await second.request('GET', '/api/setup/agents')).body.agents.claude.authenticated, true);
  const { statusLine, socket } = await openDeviceSocket(second.port, device.token);
  assert.match(statusLine, / 101 /);
  socket.destroy();
  await second.stop();
  assert.ok(!second.stdout.includes(key) && !second.stdout.includes(device.token));
});

test('a corrupt state file is moved aside and the server starts clean', async () => {
  const home = newHome();
  mkdirSync(stateFolder(home), { recursive: true });
  writeFileSync(join(stateFolder(home), 'state.json'), '{"approval": {"claude": "ask"');
  const server = await startServer({ home, secret: newSecret() });
  assert.deepEqual((await server.request('GET', '/api/setup/approval')).body, { claude: 'ask', codex: 'ask' });
  assert.ok(readdirSync(stateFolder(home)).some((name) => name.startsWith('state.json.corrupt-')));
  assert.match(server.stdout, /moved it to/);
  await server.stop();
});

test('a phone claims a code and a device connection is seen', async () => {
  const server = await startServer({ secret: newSecret() });
  const code = (await server.request('POST', '/api/pair/code')).body.code;
  const wrong = code === '000000' ? '000001' : '000000';
  const refused = await server.request('POST', '/api/pair/claim', { admin: false, body: { code: wrong, name: 'Phone' } });
  assert.equal(refused.status, 403);
  assert.match(refused.body.error, /wrong or has expired/);
  const claimed = await server.request('POST', '/api/pair/claim', { admin: false, body: { code, name: 'Phone' } });
  assert.equal(claimed.status, 200);
  assert.match(claimed.body.token, /^[0-9a-f]{64}$/);
  const again = await server.request('POST', '/api/pair/claim', { admin: false, body: { code, name: 'Phone' } });
  assert.equal(again.status, 403, 'a code is used once');

  const before = (await server.request('GET', '/api/pair/devices')).body.devices;
  assert.equal(before.find((d) => d.id === claimed.body.deviceId).lastSeenAt, undefined);
  const { statusLine, socket } = await openDeviceSocket(server.port, claimed.body.token);
  assert.match(statusLine, / 101 /);
  const seen = (await server.request('GET', '/api/pair/devices')).body.devices.find((d) => d.id === claimed.body.deviceId);
  assert.ok(!Number.isNaN(Date.parse(seen.lastSeenAt)));
  assert.equal((await server.request('GET', '/api/setup')).body.keepAwake, true);

  const closed = new Promise((resolve) => socket.once('close', resolve));
  await server.request('DELETE', `/api/pair/devices/${claimed.body.deviceId}`);
  await closed; // a revoked device is disconnected
  assert.equal((await server.request('GET', '/api/setup')).body.keepAwake, false);

  const unknown = await openDeviceSocket(server.port, 'f'.repeat(64));
  assert.match(unknown.statusLine, / 401 /);
  unknown.socket.destroy();
  await server.stop();
});

test('guessing codes is rate-limited', async () => {
  const server = await startServer({ secret: newSecret() });
  const code = (await server.request('POST', '/api/pair/code')).body.code;
  const wrong = code === '111111' ? '222222' : '111111';
  const statuses = [];
  for (let attempt = 0; attempt < 11; attempt++) {
    statuses.push((await server.request('POST', '/api/pair/claim', { admin: false, body: { code: wrong, name: 'P' } })).status);
  }
  assert.deepEqual(statuses, [...Array(10).fill(403), 429]);
  const blocked = await server.request('POST', '/api/pair/claim', { admin: false, body: { code, name: 'P' } });
  assert.equal(blocked.status, 429, 'even the right code waits out the limit');
  await server.stop();
});

// A frame as a device sends it: final, masked.
function deviceFrame(opcode, payload, { masked = true } = {}) {
  const mask = Buffer.from([1, 2, 3, 4]);
  const body = Buffer.from(payload);
  if (!masked) return Buffer.concat([Buffer.from([0x80 | opcode, body.length]), body]);
  for (let i = 0; i < body.length; i++) body[i] ^= mask[i % 4];
  return Buffer.concat([Buffer.from([0x80 | opcode, 0x80 | body.length]), mask, body]);
}

test('device frames: a ping is answered, a frame breaking the rules ends the connection', async (t) => {
  const server = await startServer({ secret: newSecret() });
  const key = (await server.request('POST', '/api/pair/devices', { body: { name: 'Phone' } })).body;
  await t.test('ping', { timeout: 5000 }, async () => {
    const { socket } = await openDeviceSocket(server.port, key.token);
    const pong = new Promise((resolve) => socket.once('data', resolve));
    socket.write(deviceFrame(0x9, 'are you there'));
    assert.deepEqual(await pong, Buffer.concat([Buffer.from([0x8a, 13]), Buffer.from('are you there')]));
    socket.destroy();
  });
  const rows = [
    { name: 'unmasked', bytes: deviceFrame(0x1, 'hello', { masked: false }) },
    { name: 'ping over 125 bytes', bytes: Buffer.concat([Buffer.from([0x89, 0x80 | 126, 0, 200]), Buffer.alloc(4), Buffer.alloc(200)]) },
  ];
  for (const row of rows) {
    await t.test(row.name, { timeout: 5000 }, async () => {
      const { socket } = await openDeviceSocket(server.port, key.token);
      const closed = new Promise((resolve) => socket.once('close', resolve));
      socket.write(row.bytes);
      await closed;
    });
  }
  assert.equal((await server.request('GET', '/api/setup')).status, 200);
  await server.stop();
});
