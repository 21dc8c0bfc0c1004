import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { mkdirSync, mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

import { newSecret, startServer, stopAll } from './harness.js';

let server;
before(async () => {
  server = await startServer({ secret: newSecret() });
});
after(stopAll);

test('setup information', async () => {
  const { status, body } = await server.request('GET', '/api/setup');
  assert.equal(status, 200);
  assert.equal(body.port, server.port);
  assert.equal(typeof body.hostname, 'string');
  assert.deepEqual(body.addresses, ['127.0.0.1']);
  assert.equal(body.lanEnabled, false);
  assert.equal(body.projectsConfigured, false);
  assert.equal(body.voice.state, 'off');
  assert.match(body.voice.message, /no speech model/);
  assert.equal(body.keepAwake, false);
});

test('pairing code: none, then a fresh one that lives five minutes', async () => {
  assert.deepEqual((await server.request('GET', '/api/pair/code')).body, { code: null, expiresAt: null });
  const asked = Date.now();
  const created = await server.request('POST', '/api/pair/code');
  assert.equal(created.status, 200);
  assert.match(created.body.code, /^[0-9]{6}$/);
  assert.ok(Number.isInteger(created.body.expiresAt));
  assert.ok(Math.abs(created.body.expiresAt - asked - 300_000) < 5_000);
  assert.deepEqual((await server.request('GET', '/api/pair/code')).body, created.body);
});

test('paired devices: issue, list, revoke', async () => {
  const issued = await server.request('POST', '/api/pair/devices', { body: { name: 'Glasses' } });
  assert.equal(issued.status, 200);
  assert.match(issued.body.token, /^[0-9a-f]{64}$/);
  assert.equal(typeof issued.body.deviceId, 'string');
  const listed = await server.request('GET', '/api/pair/devices');
  assert.deepEqual(listed.body.devices.find((d) => d.id === issued.body.deviceId), { id: issued.body.deviceId, name: 'Glasses' });
  assert.ok(!JSON.stringify(listed.body).includes(issued.body.token));
  assert.equal((await server.request('DELETE', `/api/pair/devices/${issued.body.deviceId}`)).status, 200);
  assert.equal((await server.request('DELETE', `/api/pair/devices/${issued.body.deviceId}`)).status, 404);
  assert.equal((await server.request('DELETE', '/api/pair/devices/a%20b/c')).status, 404);
  assert.equal((await server.request('POST', '/api/pair/devices', { body: { name: '' } })).status, 400);
  assert.equal((await server.request('POST', '/api/pair/devices', { body: { name: 7 } })).status, 400);
});

test('previews', async () => {
  assert.deepEqual((await server.request('GET', '/api/setup/previews')).body, { enabled: false });
  assert.deepEqual((await server.request('POST', '/api/setup/previews', { body: { enabled: true } })).body, { enabled: true });
  assert.deepEqual((await server.request('GET', '/api/setup/previews')).body, { enabled: true });
  const refused = await server.request('POST', '/api/setup/previews', { body: { enabled: 'yes' } });
  assert.equal(refused.status, 400);
  assert.deepEqual((await server.request('GET', '/api/setup/previews')).body, { enabled: true });
});

test('approval modes', async (t) => {
  assert.deepEqual((await server.request('GET', '/api/setup/approval')).body, { claude: 'ask', codex: 'ask' });
  const rows = [
    { backend: 'claude', mode: 'read_only', status: 200 },
    { backend: 'claude', mode: 'just_run', status: 200 },
    { backend: 'codex', mode: 'danger_full', status: 200 },
    { backend: 'codex', mode: 'read_only', status: 400 },
    { backend: 'claude', mode: 'danger_full', status: 400 },
    { backend: 'gemini', mode: 'ask', status: 400 },
    { backend: 'claude', mode: 3, status: 400 },
  ];
  for (const row of rows) {
    await t.test(`${row.backend} ${row.mode}`, async () => {
      const { status, body } = await server.request('POST', '/api/setup/approval', { body: { backend: row.backend, mode: row.mode } });
      assert.equal(status, row.status);
      if (status === 200) assert.equal(body[row.backend], row.mode);
      else assert.equal(typeof body.error, 'string');
    });
  }
  assert.deepEqual((await server.request('GET', '/api/setup/approval')).body, { claude: 'just_run', codex: 'danger_full' });
});

test('agents, keys and sign-in', async () => {
  const signedOut = { claude: { authenticated: false }, codex: { authenticated: false } };
  assert.deepEqual((await server.request('GET', '/api/setup/agents')).body, { agents: signedOut });
  const badKey = await server.request('POST', '/api/setup/agents/claude/key', { body: { apiKey: 'hello' } });
  assert.equal(badKey.status, 400);
  assert.match(badKey.body.error, /sk-ant-/);
  const claudeKey = `sk-ant-${'a'.repeat(40)}`;
  assert.deepEqual((await server.request('POST', '/api/setup/agents/claude/key', { body: { apiKey: claudeKey } })).body, { ok: true });
  assert.deepEqual((await server.request('POST', '/api/setup/agents/codex/key', { body: { apiKey: `sk-${'b'.repeat(40)}` } })).body, { ok: true });
  const signedIn = await server.request('GET', '/api/setup/agents');
  assert.deepEqual(signedIn.body.agents.claude, { authenticated: true, method: 'api_key' });
  assert.deepEqual(signedIn.body.agents.codex, { authenticated: true, method: 'api_key' });
  assert.ok(!JSON.stringify(signedIn.body).includes(claudeKey));
  assert.deepEqual((await server.request('DELETE', '/api/setup/agents/claude/key')).body, { ok: true });
  assert.equal((await server.request('GET', '/api/setup/agents')).body.agents.claude.authenticated, false);

  const login = await server.request('POST', '/api/setup/agents/codex/login');
  assert.equal(login.status, 501);
  assert.match(login.body.error, /sign-in isn’t available from this server/);
  assert.deepEqual((await server.request('POST', '/api/setup/agents/codex/login/cancel', { body: { loginId: 'x' } })).body, { ok: true });
  assert.equal((await server.request('POST', '/api/setup/agents/codex/login/cancel', { body: {} })).status, 400);
  assert.ok(!server.stdout.includes(claudeKey));
});

test('project folder', async () => {
  const folder = mkdtempSync(join(tmpdir(), 'kestrin-projects-'));
  mkdirSync(join(folder, 'beta'));
  mkdirSync(join(folder, 'alpha'));
  mkdirSync(join(folder, '.hidden'));
  writeFileSync(join(folder, 'notes.txt'), 'x');
  const chosen = await server.request('POST', '/api/setup/project-folder', { body: { path: folder } });
  assert.deepEqual(chosen.body, { ok: true, cwd: folder, bookmarks: ['alpha', 'beta'] });
  assert.equal((await server.request('GET', '/api/setup')).body.projectsConfigured, true);
  for (const path of [join(folder, 'missing'), join(folder, 'notes.txt'), 'relative/path', '']) {
    const refused = await server.request('POST', '/api/setup/project-folder', { body: { path } });
    assert.equal(refused.status, 400, path);
    assert.equal(typeof refused.body.error, 'string');
  }
});

test('bad input is a worded 4xx and the server carries on', async (t) => {
  const rows = [
    { name: 'malformed JSON', method: 'POST', path: '/api/setup/previews', raw: '{"enabled":', status: 400 },
    { name: 'an array body', method: 'POST', path: '/api/setup/approval', raw: '[1,2]', status: 400 },
    { name: 'over 64 KiB', method: 'POST', path: '/api/setup/agents/claude/key', raw: JSON.stringify({ apiKey: 'x'.repeat(70_000) }), status: 413 },
    { name: 'unknown path', method: 'GET', path: '/api/setup/nothing', status: 404 },
    { name: 'wrong method', method: 'PUT', path: '/api/setup/previews', status: 405 },
    { name: 'no route outside the API', method: 'GET', path: '/', status: 404 },
  ];
  for (const row of rows) {
    await t.test(row.name, async () => {
      const { status, body } = await server.request(row.method, row.path, { raw: row.raw });
      assert.equal(status, row.status);
      assert.equal(typeof body.error, 'string');
    });
  }
  assert.equal((await server.request('GET', '/api/setup')).status, 200);
  assert.match(server.stdout, /GET \/api\/setup 200 [0-9.]+ms/);
});
