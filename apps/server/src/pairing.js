// Pairing codes for phones, and the rate limit on guessing them.
import { randomInt } from 'node:crypto';

export const CODE_LIFETIME_MS = 5 * 60 * 1000;
const ATTEMPT_WINDOW_MS = 60 * 1000;
const ATTEMPTS_PER_WINDOW = 10;

export class Pairing {
  constructor(now = Date.now) {
    this.now = now;
    this.current = null; // { code, expiresAt }
    this.attempts = new Map(); // remote address -> recent failed attempt times
  }

  live() {
    if (this.current && this.current.expiresAt > this.now()) return this.current;
    this.current = null;
    return null;
  }

  create() {
    this.current = { code: String(randomInt(0, 1_000_000)).padStart(6, '0'), expiresAt: this.now() + CODE_LIFETIME_MS };
    return this.current;
  }

  isLimited(address) {
    const cutoff = this.now() - ATTEMPT_WINDOW_MS;
    const recent = (this.attempts.get(address) ?? []).filter((t) => t > cutoff);
    this.attempts.set(address, recent);
    return recent.length >= ATTEMPTS_PER_WINDOW;
  }

  // Consumes the code when it matches; remembers a failed attempt otherwise.
  claim(code, address) {
    const live = this.live();
    if (live && typeof code === 'string' && code === live.code) {
      this.current = null;
      return true;
    }
    const failed = this.attempts.get(address) ?? [];
    failed.push(this.now());
    this.attempts.set(address, failed);
    return false;
  }
}
