// The server's settings and devices, in one JSON file written atomically with mode 0600.
import * as fs from 'node:fs';
import { join } from 'node:path';

import { repairState } from './state.js';

export function dataDirectory(env) {
  const base = env.XDG_DATA_HOME || join(env.HOME || '/', '.local', 'share');
  return join(base, 'corvane');
}

// A state file that is there but cannot be read: the server must not start over it, or the next
// change would replace every paired device with an empty list.
export class UnreadableStateError extends Error {
  constructor(file, why) {
    super(`${file} exists but cannot be read (${why}); it was left as it is. Fix it or move it away, then start again.`);
  }
}

// A change that could not be put on disk; nothing was changed, in memory or on disk.
export class StateWriteError extends Error {
  constructor(cause) {
    super(`could not save the state file: ${cause.code ?? cause.message}`);
    this.code = cause.code;
  }
}

const LEFTOVER_TEMPORARY = /^state\.json\.[0-9]+\.tmp$/;

export class Store {
  // `files` stands in for node:fs in tests that need a disk to fail.
  constructor(directory, log, files = fs) {
    this.directory = directory;
    this.file = join(directory, 'state.json');
    this.log = log;
    this.fs = files;
    this.state = repairState({}).state;
  }

  // Reads the state file. Throws UnreadableStateError when something is there that cannot be read.
  load() {
    this.removeLeftovers();
    const text = this.readText();
    if (text === null) return;
    let parsed;
    try {
      parsed = JSON.parse(text);
    } catch {
      this.setAside('corrupt', 'state file was unreadable');
      return;
    }
    const { state, repairs } = repairState(parsed);
    this.state = state;
    if (repairs.length === 0) return;
    // The original is kept beside the repaired file, so that nothing it held is lost.
    if (this.setAside('repaired', `state file had ${repairs.join(', ')}`)) {
      try {
        this.write(state);
      } catch (error) {
        this.log(`the repaired state could not be saved yet: ${error.code ?? error.message}`);
      }
    }
  }

  // The file's text; null when there is none. Never blocks: a FIFO or device is refused, not read.
  readText() {
    let fd;
    try {
      fd = this.fs.openSync(this.file, fs.constants.O_RDONLY | fs.constants.O_NONBLOCK | fs.constants.O_NOFOLLOW);
    } catch (error) {
      if (error.code === 'ENOENT') return null;
      throw new UnreadableStateError(this.file, error.code ?? error.message);
    }
    try {
      if (!this.fs.fstatSync(fd).isFile()) throw new UnreadableStateError(this.file, 'not a regular file');
      return this.fs.readFileSync(fd, 'utf8');
    } catch (error) {
      if (error instanceof UnreadableStateError) throw error;
      throw new UnreadableStateError(this.file, error.code ?? error.message);
    } finally {
      this.fs.closeSync(fd);
    }
  }

  // Moves the state file aside with `label` in its name; says whether that worked.
  setAside(label, why) {
    const aside = `${this.file}.${label}-${Date.now()}`;
    try {
      this.fs.renameSync(this.file, aside);
      this.log(`${why}; moved it to ${aside}`);
      return true;
    } catch (error) {
      this.log(`${why} and it could not be moved aside (${error.code}); it was left as it is`);
      return false;
    }
  }

  // Temporary files of writes that a crash or power cut interrupted.
  removeLeftovers() {
    let names;
    try {
      names = this.fs.readdirSync(this.directory);
    } catch {
      return;
    }
    for (const name of names.filter((n) => LEFTOVER_TEMPORARY.test(n))) {
      try {
        this.fs.unlinkSync(join(this.directory, name));
        this.log(`removed ${name}, left by an interrupted write`);
      } catch (error) {
        this.log(`could not remove ${name}: ${error.code}`);
      }
    }
  }

  // Applies `change` to a copy and keeps it only once it is safely on disk: a failed write changes
  // nothing, in memory or on disk, and throws StateWriteError.
  update(change) {
    const next = structuredClone(this.state);
    change(next);
    this.write(next);
    this.state = next;
    return next;
  }

  write(state) {
    const temporary = `${this.file}.${process.pid}.tmp`;
    const bytes = Buffer.from(JSON.stringify(state, null, 2) + '\n');
    let fd;
    try {
      this.fs.mkdirSync(this.directory, { recursive: true, mode: 0o700 });
      fd = this.fs.openSync(temporary, 'w', 0o600);
      // A nearly full disk takes part of a write: carry on until all is written or it fails.
      for (let written = 0; written < bytes.length; ) {
        const count = this.fs.writeSync(fd, bytes, written, bytes.length - written);
        if (count <= 0) throw Object.assign(new Error('nothing could be written'), { code: 'ENOSPC' });
        written += count;
      }
      this.fs.fsyncSync(fd);
      this.fs.closeSync(fd);
      fd = undefined;
      this.fs.renameSync(temporary, this.file);
    } catch (error) {
      if (fd !== undefined) {
        try {
          this.fs.closeSync(fd);
        } catch {}
      }
      try {
        this.fs.unlinkSync(temporary);
      } catch {}
      throw new StateWriteError(error);
    }
  }
}
