// The setup API (for the desktop application) and the device side of pairing.
import { readdirSync, realpathSync, statSync } from 'node:fs';
import { hostname, networkInterfaces } from 'node:os';
import { isAbsolute } from 'node:path';

import { HttpError, JsonText, readJsonBody, requireText } from './http.js';
import { digest, newDeviceKey, publicDevice } from './devices.js';
import { CLAUDE_MODES, CODEX_MODES } from './state.js';

const KEY_SHAPE = /^[A-Za-z0-9_-]{20,300}$/;
const VOICE = { state: 'off', message: 'Voice is off: this server has no speech model.' };

function lanAddresses() {
  return Object.values(networkInterfaces())
    .flat()
    .filter((entry) => entry && entry.family === 'IPv4' && !entry.internal)
    .map((entry) => entry.address);
}

// The name this computer answers to on the local network. A bare host name ("studio") is what few
// phones can resolve; its mDNS name ("studio.local") is what they can.
export function localNetworkName(host) {
  return host === '' || host.includes('.') ? host : `${host}.local`;
}

function checkKey(body, prefix, agent) {
  const key = body.apiKey;
  if (typeof key !== 'string' || !key.startsWith(prefix) || !KEY_SHAPE.test(key)) {
    throw new HttpError(400, `That doesn't look like ${agent} API key. It should start with "${prefix}".`);
  }
  return key;
}

// Compares in a time that does not depend on where the texts differ, without allocating: this runs on
// every setup request.
function sameSecret(given, secret) {
  if (typeof given !== 'string' || given.length !== secret.length) return false;
  let difference = 0;
  for (let i = 0; i < secret.length; i++) difference |= given.charCodeAt(i) ^ secret.charCodeAt(i);
  return difference === 0;
}

// How this computer is named and reached, asked of the system at most once every few seconds: it is
// on every status read, and it changes only when the computer is renamed or changes networks.
const NETWORK_LIFETIME_MS = 5000;
function networkReader(publicBind) {
  let network = null;
  let readAt = -Infinity;
  return () => {
    const now = Date.now();
    if (now - readAt >= NETWORK_LIFETIME_MS) {
      const next = { hostname: localNetworkName(hostname()), addresses: publicBind ? lanAddresses() : ['127.0.0.1'] };
      // The same answer keeps its identity, so that what is built from it can be kept too.
      if (network?.hostname !== next.hostname || network.addresses.join() !== next.addresses.join()) network = next;
      readAt = now;
    }
    return network;
  };
}

// The admin header, read from the raw header list: Node builds a request's header record only when
// asked, and this runs on every setup request. Sent more than once, it counts as not sent.
const ADMIN_HEADER = 'x-corvane-admin';
function adminHeader(request) {
  const raw = request.rawHeaders;
  let found;
  for (let i = 0; i < raw.length; i += 2) {
    if (raw[i].length !== ADMIN_HEADER.length || raw[i].toLowerCase() !== ADMIN_HEADER) continue;
    if (found !== undefined) return undefined;
    found = raw[i + 1];
  }
  return found;
}

// Setup routes are the desktop application's; the phone's claim of a code is not.
export function isSetupPath(path) {
  return path === '/api/setup' || path.startsWith('/api/setup/') || path === '/api/pair/code' ||
    path === '/api/pair/devices' || path.startsWith('/api/pair/devices/');
}

export function createApi({ config, store, pairing, liveConnections, disconnect, adminSecret, remoteIsLoopback }) {
  // The status answer is the one read many times a second; its text is made again only when
  // something in it has changed.
  const currentNetwork = networkReader(config.publicBind);
  let setupReply = { network: null, projectsConfigured: null, keepAwake: null, text: null };
  const setupInfo = () => {
    const network = currentNetwork();
    const projectsConfigured = store.state.projectFolder !== null;
    const keepAwake = liveConnections() > 0;
    const last = setupReply;
    if (last.network !== network || last.projectsConfigured !== projectsConfigured || last.keepAwake !== keepAwake) {
      const info = {
        port: config.port,
        hostname: network.hostname,
        addresses: network.addresses,
        lanEnabled: config.publicBind,
        projectsConfigured,
        voice: VOICE,
        keepAwake,
      };
      setupReply = { network, projectsConfigured, keepAwake, text: new JsonText(JSON.stringify(info)) };
    }
    return setupReply.text;
  };
  const codeReply = (code) => (code ? { code: code.code, expiresAt: code.expiresAt } : { code: null, expiresAt: null });
  const approval = () => ({ claude: store.state.approval.claude, codex: store.state.approval.codex });
  const agentStatus = (key) => (key ? { authenticated: true, method: 'api_key' } : { authenticated: false });
  const issue = (name) => {
    const key = newDeviceKey();
    store.update((state) => {
      state.devices.push({ id: key.deviceId, name, tokenDigest: digest(key.token), createdAt: new Date().toISOString() });
    });
    return key;
  };
  const deviceName = (body) => {
    const name = requireText(body, 'name', 'A device needs a name.');
    if (name.length > 100) throw new HttpError(400, 'That device name is too long.');
    return name;
  };

  const routes = {
    'GET /api/setup': () => setupInfo(),
    'GET /api/pair/code': () => codeReply(pairing.live()),
    'POST /api/pair/code': () => codeReply(pairing.create()),
    'GET /api/pair/devices': () => ({ devices: store.state.devices.map(publicDevice) }),
    'POST /api/pair/devices': async (request) => issue(deviceName(await readJsonBody(request))),
    'GET /api/setup/previews': () => ({ enabled: store.state.previewsEnabled }),
    'POST /api/setup/previews': async (request) => {
      const body = await readJsonBody(request);
      if (typeof body.enabled !== 'boolean') throw new HttpError(400, 'Say whether previews are on with true or false.');
      store.update((state) => { state.previewsEnabled = body.enabled; });
      return { enabled: store.state.previewsEnabled };
    },
    'GET /api/setup/approval': () => approval(),
    'POST /api/setup/approval': async (request) => {
      const body = await readJsonBody(request);
      const modes = body.backend === 'claude' ? CLAUDE_MODES : body.backend === 'codex' ? CODEX_MODES : null;
      if (!modes) throw new HttpError(400, 'The agent must be "claude" or "codex".');
      if (!modes.includes(body.mode)) throw new HttpError(400, `That isn't a permission mode ${body.backend} has.`);
      store.update((state) => { state.approval[body.backend] = body.mode; });
      return approval();
    },
    'GET /api/setup/agents': () => ({
      agents: { claude: agentStatus(store.state.keys.claude), codex: agentStatus(store.state.keys.codex) },
    }),
    'POST /api/setup/agents/codex/login': () => {
      throw new HttpError(501, 'ChatGPT sign-in isn’t available from this server. Save an OpenAI API key for Codex instead.');
    },
    'POST /api/setup/agents/codex/login/cancel': async (request) => {
      requireText(await readJsonBody(request), 'loginId', 'Say which sign-in to cancel.');
      return { ok: true };
    },
    'POST /api/setup/agents/claude/key': async (request) => {
      const key = checkKey(await readJsonBody(request), 'sk-ant-', 'an Anthropic');
      store.update((state) => { state.keys.claude = key; });
      return { ok: true };
    },
    'DELETE /api/setup/agents/claude/key': () => {
      store.update((state) => { delete state.keys.claude; });
      return { ok: true };
    },
    'POST /api/setup/agents/codex/key': async (request) => {
      const key = checkKey(await readJsonBody(request), 'sk-', 'an OpenAI');
      store.update((state) => { state.keys.codex = key; });
      return { ok: true };
    },
    'POST /api/setup/project-folder': async (request) => {
      const path = requireText(await readJsonBody(request), 'path', 'Choose a folder for your projects.');
      let cwd;
      try {
        if (!isAbsolute(path)) throw new Error('relative');
        cwd = realpathSync(path);
        if (!statSync(cwd).isDirectory()) throw new Error('not a folder');
      } catch {
        throw new HttpError(400, `There is no folder at ${path}.`);
      }
      let bookmarks;
      try {
        bookmarks = readdirSync(cwd, { withFileTypes: true })
          .filter((entry) => entry.isDirectory() && !entry.name.startsWith('.'))
          .map((entry) => entry.name)
          .sort();
      } catch {
        throw new HttpError(400, `Kestrin's server can't look inside ${path}.`);
      }
      store.update((state) => { state.projectFolder = cwd; });
      return { ok: true, cwd, bookmarks };
    },
    'POST /api/pair/claim': async (request) => {
      const body = await readJsonBody(request);
      const address = request.socket.remoteAddress ?? '';
      if (pairing.isLimited(address)) throw new HttpError(429, 'Too many wrong codes. Wait a minute and try again.');
      const name = deviceName(body);
      if (!pairing.claim(body.code, address)) throw new HttpError(403, 'That code is wrong or has expired.');
      return issue(name);
    },
  };

  // The answer to a request: a value, or a promise of one for the routes that read a body. Throws (or
  // rejects with) an HttpError for a refusal.
  return function handle(request, path) {
    if (isSetupPath(path)) {
      const allowed = adminSecret
        ? sameSecret(adminHeader(request), adminSecret)
        : remoteIsLoopback(request);
      if (!allowed) throw new HttpError(401, 'This request needs Kestrin’s admin key.');
    }
    if (request.method === 'DELETE' && path.startsWith('/api/pair/devices/')) {
      let id;
      try {
        id = decodeURIComponent(path.slice('/api/pair/devices/'.length));
      } catch {
        throw new HttpError(400, 'That device id is not valid.');
      }
      if (!store.state.devices.some((device) => device.id === id)) throw new HttpError(404, 'There is no such device.');
      store.update((state) => { state.devices = state.devices.filter((device) => device.id !== id); });
      disconnect(id);
      return { ok: true };
    }
    const route = routes[`${request.method} ${path}`];
    if (route) return route(request);
    if (Object.keys(routes).some((key) => key.endsWith(` ${path}`))) {
      throw new HttpError(405, `${request.method} is not allowed here.`);
    }
    throw new HttpError(404, 'There is nothing at that address.');
  };
}
