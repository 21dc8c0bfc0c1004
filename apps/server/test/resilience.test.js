// The server never loses its state and never falls over: a full disk, a state file it cannot read or
// whose fields are wrong, leftovers of interrupted writes, a log that cannot be written, code guessing.
import { after, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import * as fs from 'node:fs';
import { hostname } from 'node:os';
import { join } from 'node:path';

import { localNetworkName } from '../src/api.js';
import { Pairing, WRONG_CLAIMS_PER_CODE } from '../src/pairing.js';
import { StateWriteError, Store } from '../src/store.js';
import { entry, freePort, newHome, newSecret, openDeviceSocket, startServer, stateFolder, stopAll } from './harness.js';

after(stopAll);

function homeWithState(text) {
  const home = newHome();
  fs.mkdirSync(stateFolder(home), { recursive: true });
  fs.writeFileSync(join(stateFolder(home), 'state.json'), text);
  return home;
}

test('a write the disk cannot finish fails, and the state before it stays on disk and in memory', () => {
  const folder = join(newHome(), 'corvane');
  const logged = [];
  const store = new Store(folder, (line) => logged.push(line));
  store.update((state) => {
    state.previewsEnabled = true;
  });
  const before = fs.readFileSync(store.file, 'utf8');

  // The disk takes ten bytes of each write, then has no room left.
  let calls = 0;
  const nearlyFull = {
    ...fs,
    writeSync: (fd, buffer, offset, length) => {
      if (++calls > 1) throw Object.assign(new Error('no space left on device'), { code: 'ENOSPC' });
      return fs.writeSync(fd, buffer, offset, Math.min(length, 10));
    },
  };
  const full = new Store(folder, () => {}, nearlyFull);
  full.load();
  assert.throws(() => full.update((state) => state.devices.push({ id: 'x' })), StateWriteError);
  assert.equal(fs.readFileSync(full.file, 'utf8'), before);
  assert.deepEqual(full.state.devices, []);
  assert.deepEqual(fs.readdirSync(folder), ['state.json'], 'no temporary file is left behind');

  // A disk that takes nothing at all, without saying why, fails the same way.
  const silent = new Store(folder, () => {}, { ...fs, writeSync: () => 0 });
  assert.throws(() => silent.update((state) => (state.previewsEnabled = false)), StateWriteError);
  assert.equal(fs.readFileSync(silent.file, 'utf8'), before);
});

test('a state file that is there but cannot be read stops the server in words and is left alone', async (t) => {
  const cases = [
    ['a folder', (file) => fs.mkdirSync(file)],
    ['a FIFO', (file) => execFileSync('mkfifo', [file])],
  ];
  if (process.getuid() !== 0) cases.push(['unreadable', (file) => fs.writeFileSync(file, '{}', { mode: 0o000 })]);
  for (const [name, make] of cases) {
    // A server that blocks on the file would never exit: the time limit turns that into a failure.
    await t.test(name, { timeout: 20_000 }, async () => {
      const home = newHome();
      fs.mkdirSync(stateFolder(home), { recursive: true });
      const file = join(stateFolder(home), 'state.json');
      make(file);
      const server = await startServer({ home, secret: newSecret(), waitForListening: false });
      const { code } = await server.exited;
      assert.equal(code, 1);
      assert.equal(server.stderr.trim().split('\n').length, 1);
      assert.match(server.stderr, /state\.json exists but cannot be read .*left as it is/);
      assert.deepEqual(fs.readdirSync(stateFolder(home)), ['state.json']);
    });
  }
});

test('wrong shapes in the state file are repaired field by field and nothing can crash the server', async (t) => {
  const sound = { id: 'a1', name: 'Phone', tokenDigest: 'f'.repeat(64), createdAt: '2026-01-01T00:00:00.000Z' };
  const deep = '['.repeat(20000) + ']'.repeat(20000);
  const cases = [
    ['an empty device', { devices: [{}], approval: { claude: 'ask', codex: 'ask' }, previewsEnabled: false, keys: {} }],
    ['a null device beside a sound one', { devices: [null, sound, 7] }],
    ['approval null', { approval: null, devices: [sound] }],
    ['keys null', { keys: null }],
    ['a digest that is not hex', { devices: [{ ...sound, tokenDigest: 'zz' }, { ...sound, id: 'b', tokenDigest: 'ab' }] }],
    ['fields of every wrong type', { approval: { claude: 'everything', codex: 3 }, previewsEnabled: 'yes', keys: [1], devices: {}, projectFolder: 5 }],
    ['deep nesting', `{"devices":${deep},"keys":${deep}}`],
    ['an array', []],
    ['null', null],
  ];
  for (const [name, content] of cases) {
    await t.test(name, async () => {
      const home = homeWithState(typeof content === 'string' ? content : JSON.stringify(content));
      const server = await startServer({ home, secret: newSecret() });
      for (const path of ['/api/setup', '/api/setup/approval', '/api/setup/agents', '/api/setup/previews', '/api/pair/devices']) {
        assert.equal((await server.request('GET', path)).status, 200, path);
      }
      // A device connection nobody knows, with and without a token: refused, and the server lives on.
      for (const token of ['', 'nobody']) {
        const { statusLine, socket } = await openDeviceSocket(server.port, token);
        assert.match(statusLine, / 401 /);
        socket.destroy();
      }
      const approval = await server.request('POST', '/api/setup/approval', { body: { backend: 'claude', mode: 'just_run' } });
      assert.equal(approval.status, 200);
      const devices = (await server.request('GET', '/api/pair/devices')).body.devices;
      assert.ok(devices.every((device) => typeof device.id === 'string' && typeof device.name === 'string'));
      assert.equal(server.child.exitCode, null);
      await server.stop();
      // The original is kept beside the repaired file.
      const names = fs.readdirSync(stateFolder(home));
      assert.ok(names.some((n) => n.startsWith('state.json.repaired-') || n.startsWith('state.json.corrupt-')), names.join());
    });
  }

  await t.test('a sound device among broken ones keeps its key', async () => {
    const token = 'token-of-the-phone';
    const { createHash } = await import('node:crypto');
    const device = { ...sound, tokenDigest: createHash('sha256').update(token).digest('hex') };
    const server = await startServer({ home: homeWithState(JSON.stringify({ devices: [{}, device, { id: 5 }] })), secret: newSecret() });
    assert.deepEqual((await server.request('GET', '/api/pair/devices')).body.devices, [{ id: 'a1', name: 'Phone' }]);
    const { statusLine, socket } = await openDeviceSocket(server.port, token);
    assert.match(statusLine, / 101 /);
    socket.destroy();
  });
});

test('temporary files of interrupted writes are removed at start, and nothing else', async () => {
  const home = homeWithState('{}');
  const folder = stateFolder(home);
  fs.writeFileSync(join(folder, 'state.json.4242.tmp'), '{"devi');
  fs.writeFileSync(join(folder, 'state.json.backup'), '{}');
  const server = await startServer({ home, secret: newSecret() });
  assert.deepEqual(fs.readdirSync(folder).sort(), ['state.json', 'state.json.backup']);
  assert.match(server.stdout, /removed state\.json\.4242\.tmp/);
});

test('a log that cannot be written loses lines, not the server', async () => {
  const secret = newSecret();
  const port = await freePort();
  const full = fs.openSync('/dev/full', 'w');
  const child = spawn(process.execPath, [entry], {
    env: { PATH: process.env.PATH, HOME: newHome(), PORT: String(port), CORVANE_SECRETS_ON_STDIN: '1' },
    stdio: ['pipe', full, full],
  });
  fs.closeSync(full);
  const exited = new Promise((resolve) => child.once('exit', (code) => resolve(code)));
  child.stdin.end(`{"adminSecret":"${secret}"}\n`);
  const get = () => fetch(`http://127.0.0.1:${port}/api/setup`, { headers: { 'X-Corvane-Admin': secret } });
  let answer;
  for (let tries = 0; tries < 100 && !answer; tries++) {
    answer = await get().catch(() => new Promise((resolve) => setTimeout(resolve, 50)));
  }
  assert.equal(answer?.status, 200);
  assert.equal((await get()).status, 200);
  assert.equal(child.exitCode, null);
  child.kill('SIGTERM');
  assert.equal(await exited, 0);
});

test('the computer is named as the local network knows it', async () => {
  for (const [host, name] of [
    ['vm', 'vm.local'],
    ['studio.local', 'studio.local'],
    ['build.example.org', 'build.example.org'],
    ['', ''],
  ]) {
    assert.equal(localNetworkName(host), name, host);
  }
  const server = await startServer({ secret: newSecret() });
  assert.equal((await server.request('GET', '/api/setup')).body.hostname, localNetworkName(hostname()));
});

test('a code cannot be guessed from many addresses', () => {
  let now = 1_000_000;
  const pairing = new Pairing(() => now);
  const { code } = pairing.create();
  const wrong = code === '000000' ? '000001' : '000000';
  // Each guess from an address of its own: the per-address limit never bites.
  for (let i = 0; i < WRONG_CLAIMS_PER_CODE; i++) {
    assert.equal(pairing.isLimited(`10.0.0.${i}`), false);
    assert.equal(pairing.claim(wrong, `10.0.0.${i}`), false);
  }
  assert.equal(pairing.live(), null, 'the code is revoked after too many wrong claims in all');
  assert.equal(pairing.claim(code, '10.0.1.1'), false);

  // Wrong claims from everyone together are limited too, and the limit passes with its minute.
  for (let i = 0; i < 40; i++) pairing.claim(wrong, `10.0.2.${i}`);
  assert.equal(pairing.isLimited('10.0.3.1'), true);
  now += 61_000;
  assert.equal(pairing.isLimited('10.0.3.1'), false);
  const fresh = pairing.create();
  assert.equal(pairing.claim(fresh.code, '10.0.3.1'), true);
});
