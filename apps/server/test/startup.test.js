import { after, test } from 'node:test';
import assert from 'node:assert/strict';
import { request } from 'node:http';
import { connect } from 'node:net';

import { freePort, newSecret, startServer, stopAll } from './harness.js';

after(stopAll);

test('the admin secret line on standard input', async (t) => {
  const cases = [
    { name: 'malformed JSON', line: 'adminSecret=abc\n', words: /not JSON/ },
    { name: 'wrong shape', line: '{"adminSecret":"ABC"}\n', words: /no valid adminSecret/ },
    { name: 'end of file before a line', line: '', words: /ended before/ },
  ];
  for (const { name, line, words } of cases) {
    await t.test(name, async () => {
      const server = await startServer({ stdinLine: line, waitForListening: false });
      const { code } = await server.exited;
      assert.notEqual(code, 0);
      assert.match(server.stderr, words);
      assert.equal(server.stderr.trim().split('\n').length, 1);
      assert.ok(!server.stdout.includes('listening'));
    });
  }
  await t.test('a line that never comes', async () => {
    const server = await startServer({ env: { CORVANE_SECRETS_ON_STDIN: '1' }, waitForListening: false });
    const { code } = await server.exited;
    assert.notEqual(code, 0);
    assert.match(server.stderr, /No admin secret arrived/);
  });
  await t.test('a good line: setup needs it, and it is never printed', async () => {
    const secret = newSecret();
    const server = await startServer({ secret });
    assert.equal((await server.request('GET', '/api/setup')).status, 200);
    const refused = await server.request('GET', '/api/setup', { admin: false });
    assert.equal(refused.status, 401);
    assert.equal(typeof refused.body.error, 'string');
    const wrong = await server.request('GET', '/api/setup', { admin: false, headers: { 'X-Corvane-Admin': newSecret() } });
    assert.equal(wrong.status, 401);
    // The header's name in any case; sent twice, even with the right secret both times, it is refused.
    const statusWith = (headers) =>
      new Promise((resolve, reject) => {
        request({ host: '127.0.0.1', port: server.port, path: '/api/setup', headers }, (response) => {
          response.resume();
          resolve(response.statusCode);
        }).on('error', reject).end();
      });
    assert.equal(await statusWith({ 'x-CORVANE-admin': secret }), 200);
    assert.equal(await statusWith({ 'X-Corvane-Admin': [secret, secret] }), 401);
    assert.equal(await statusWith({ 'X-Corvane-Admin': secret.slice(1) }), 401);
    assert.ok(!JSON.stringify(refused.body).includes(secret));
    await server.stop();
    assert.ok(!server.stdout.includes(secret) && !server.stderr.includes(secret));
  });
});

test('binding', async (t) => {
  await t.test('a public address is refused unless allowed', async () => {
    const server = await startServer({ env: { BIND_HOST: '0.0.0.0' }, waitForListening: false });
    const { code } = await server.exited;
    assert.notEqual(code, 0);
    assert.match(server.stderr, /ALLOW_PUBLIC_BIND=true/);
  });
  await t.test('allowed, it answers on 127.0.0.1 and reports the home network', async () => {
    const server = await startServer({ secret: newSecret(), env: { BIND_HOST: '0.0.0.0', ALLOW_PUBLIC_BIND: 'true' } });
    const { status, body } = await server.request('GET', '/api/setup');
    assert.equal(status, 200);
    assert.equal(body.lanEnabled, true);
    assert.ok(!body.addresses.includes('127.0.0.1'));
    await server.stop();
  });
  await t.test('a malformed port is refused with words', async () => {
    const server = await startServer({ env: { PORT: '80a' }, waitForListening: false });
    assert.notEqual((await server.exited).code, 0);
    assert.match(server.stderr, /PORT must be a number/);
  });
});

test('SIGTERM and SIGINT stop cleanly and free the port at once', async (t) => {
  for (const signal of ['SIGTERM', 'SIGINT']) {
    await t.test(signal, async () => {
      const port = await freePort();
      const server = await startServer({ port, secret: newSecret() });
      server.child.kill(signal);
      const { code } = await server.exited;
      assert.equal(code, 0);
      const refused = await new Promise((resolve) => {
        const socket = connect(port, '127.0.0.1');
        socket.once('connect', () => (socket.destroy(), resolve(false)));
        socket.once('error', () => resolve(true));
      });
      assert.ok(refused, 'the port is free');
    });
  }
});
