// What the server is told by its environment.
import { isIP } from 'node:net';

const LOOPBACK = new Set(['127.0.0.1', '::1', 'localhost']);

export function isLoopback(host) {
  return LOOPBACK.has(host) || host.startsWith('127.');
}

// Returns { port, bindHost, publicBind, secretsOnStdin } or throws an Error whose message is the one
// line the server prints before it exits.
export function readConfig(env) {
  const portText = env.PORT ?? '';
  if (!/^[0-9]+$/.test(portText) || Number(portText) < 1 || Number(portText) > 65535) {
    throw new Error(`PORT must be a number from 1 to 65535 (got "${portText}").`);
  }
  const bindHost = env.BIND_HOST || '127.0.0.1';
  if (bindHost !== 'localhost' && isIP(bindHost) === 0) {
    throw new Error(`BIND_HOST must be an IP address (got "${bindHost}").`);
  }
  const publicBind = !isLoopback(bindHost);
  if (publicBind && env.ALLOW_PUBLIC_BIND !== 'true') {
    throw new Error(
      `Refusing to listen on ${bindHost}: that address is reachable from other computers. ` +
        'Set ALLOW_PUBLIC_BIND=true to allow it.',
    );
  }
  return {
    port: Number(portText),
    bindHost,
    publicBind,
    secretsOnStdin: env.CORVANE_SECRETS_ON_STDIN === '1',
  };
}
