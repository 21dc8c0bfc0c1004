// The shape of the server's state, and the repair of a state file whose fields are not of that shape:
// each field that is wrong is put back to its default (a device that is wrong is dropped), so every
// route answers from a sound state whatever was on disk.

export const CLAUDE_MODES = ['read_only', 'ask', 'just_run'];
export const CODEX_MODES = ['ask', 'just_run', 'danger_full'];

const DIGEST = /^[0-9a-f]{64}$/;

const isRecord = (value) => value !== null && typeof value === 'object' && !Array.isArray(value);
const isText = (value) => typeof value === 'string' && value !== '';

function soundDevice(device) {
  if (!isRecord(device) || !isText(device.id) || typeof device.name !== 'string') return null;
  if (typeof device.tokenDigest !== 'string' || !DIGEST.test(device.tokenDigest)) return null;
  const sound = { id: device.id, name: device.name, tokenDigest: device.tokenDigest };
  if (typeof device.createdAt === 'string') sound.createdAt = device.createdAt;
  if (typeof device.lastSeenAt === 'string') sound.lastSeenAt = device.lastSeenAt;
  return sound;
}

// Returns { state, repairs }: a sound state and, for the log, what had to be mended.
export function repairState(value) {
  const repairs = [];
  const source = isRecord(value) ? value : (repairs.push('no settings object'), {});
  const approval = isRecord(source.approval) ? source.approval : {};
  const mode = (agent, modes) => {
    if (modes.includes(approval[agent])) return approval[agent];
    if (source.approval !== undefined) repairs.push(`an unknown ${agent} permission mode`);
    return 'ask';
  };
  const state = {
    version: 1,
    approval: { claude: mode('claude', CLAUDE_MODES), codex: mode('codex', CODEX_MODES) },
    previewsEnabled: source.previewsEnabled === true,
    projectFolder: isText(source.projectFolder) && source.projectFolder.startsWith('/') ? source.projectFolder : null,
    keys: {},
    devices: [],
  };
  if (source.previewsEnabled !== undefined && typeof source.previewsEnabled !== 'boolean') {
    repairs.push('a previews switch that is not true or false');
  }
  if (source.projectFolder != null && state.projectFolder === null) repairs.push('a project folder that is not a path');

  const keys = isRecord(source.keys) ? source.keys : {};
  if (source.keys !== undefined && !isRecord(source.keys)) repairs.push('keys that are not a record');
  for (const agent of ['claude', 'codex']) {
    if (keys[agent] === undefined) continue;
    if (isText(keys[agent])) state.keys[agent] = keys[agent];
    else repairs.push(`a ${agent} key that is not text`);
  }

  const devices = Array.isArray(source.devices) ? source.devices : [];
  if (source.devices !== undefined && !Array.isArray(source.devices)) repairs.push('devices that are not a list');
  const seen = new Set();
  for (const device of devices) {
    const sound = soundDevice(device);
    if (sound && !seen.has(sound.id)) {
      seen.add(sound.id);
      state.devices.push(sound);
    } else {
      repairs.push('a device that is not sound');
    }
  }
  return { state, repairs };
}
