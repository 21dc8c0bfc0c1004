// The server's settings and devices, in one JSON file written atomically with mode 0600.
import { closeSync, fsyncSync, mkdirSync, openSync, readFileSync, renameSync, writeSync } from 'node:fs';
import { join } from 'node:path';

export function dataDirectory(env) {
  const base = env.XDG_DATA_HOME || join(env.HOME || '/', '.local', 'share');
  return join(base, 'corvane');
}

function emptyState() {
  return {
    version: 1,
    approval: { claude: 'ask', codex: 'ask' },
    previewsEnabled: false,
    projectFolder: null,
    keys: {},
    devices: [],
  };
}

function isValidState(value) {
  return (
    value !== null &&
    typeof value === 'object' &&
    typeof value.approval === 'object' &&
    typeof value.previewsEnabled === 'boolean' &&
    typeof value.keys === 'object' &&
    Array.isArray(value.devices)
  );
}

export class Store {
  constructor(directory, log) {
    this.directory = directory;
    this.file = join(directory, 'state.json');
    this.log = log;
    this.state = emptyState();
  }

  load() {
    let text;
    try {
      text = readFileSync(this.file, 'utf8');
    } catch (error) {
      if (error.code !== 'ENOENT') this.log(`could not read ${this.file}: ${error.code}; starting clean`);
      return;
    }
    try {
      const parsed = JSON.parse(text);
      if (!isValidState(parsed)) throw new Error('unexpected shape');
      this.state = { ...emptyState(), ...parsed };
    } catch {
      const aside = `${this.file}.corrupt-${Date.now()}`;
      try {
        renameSync(this.file, aside);
        this.log(`state file was unreadable; moved it to ${aside} and started clean`);
      } catch (error) {
        this.log(`state file was unreadable and could not be moved aside (${error.code}); starting clean`);
      }
    }
  }

  // Applies `change` to a copy and keeps it only once it is safely on disk: a failed write changes
  // nothing, in memory or on disk.
  update(change) {
    const next = structuredClone(this.state);
    change(next);
    this.write(next);
    this.state = next;
    return next;
  }

  write(state) {
    mkdirSync(this.directory, { recursive: true, mode: 0o700 });
    const temporary = `${this.file}.${process.pid}.tmp`;
    const fd = openSync(temporary, 'w', 0o600);
    try {
      writeSync(fd, JSON.stringify(state, null, 2) + '\n');
      fsyncSync(fd);
    } finally {
      closeSync(fd);
    }
    renameSync(temporary, this.file);
  }
}
