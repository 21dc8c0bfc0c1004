// Pairing codes for phones, and the limits on guessing them.
//
// A code is six digits and lives five minutes. Guessing is held back three ways: each address may
// make ATTEMPTS_PER_WINDOW wrong claims a minute; all addresses together may make
// ATTEMPTS_PER_WINDOW_OVERALL; and a live code is revoked after WRONG_CLAIMS_PER_CODE wrong claims
// in all, so that however many addresses guess, one code is never tried more than that many times
// (a chance of 10 in a million). What someone on the network can still do is spoil codes: the person
// then makes a new one.
import { randomInt } from 'node:crypto';

export const CODE_LIFETIME_MS = 5 * 60 * 1000;
const ATTEMPT_WINDOW_MS = 60 * 1000;
const ATTEMPTS_PER_WINDOW = 10;
const ATTEMPTS_PER_WINDOW_OVERALL = 30;
export const WRONG_CLAIMS_PER_CODE = 10;

// The moments within the last window; older ones are dropped as a side effect.
function recent(times, cutoff) {
  while (times.length > 0 && times[0] <= cutoff) times.shift();
  return times;
}

export class Pairing {
  constructor(now = Date.now) {
    this.now = now;
    this.current = null; // { code, expiresAt, wrongClaims }
    this.attempts = new Map(); // remote address -> recent wrong claim times, oldest first
    this.allAttempts = []; // every recent wrong claim time, oldest first
  }

  live() {
    if (this.current && this.current.expiresAt > this.now()) return this.current;
    this.current = null;
    return null;
  }

  create() {
    this.current = {
      code: String(randomInt(0, 1_000_000)).padStart(6, '0'),
      expiresAt: this.now() + CODE_LIFETIME_MS,
      wrongClaims: 0,
    };
    return { code: this.current.code, expiresAt: this.current.expiresAt };
  }

  isLimited(address) {
    const cutoff = this.now() - ATTEMPT_WINDOW_MS;
    const mine = recent(this.attempts.get(address) ?? [], cutoff);
    if (mine.length === 0) this.attempts.delete(address);
    else this.attempts.set(address, mine);
    return mine.length >= ATTEMPTS_PER_WINDOW || recent(this.allAttempts, cutoff).length >= ATTEMPTS_PER_WINDOW_OVERALL;
  }

  // Consumes the code when it matches; otherwise counts a wrong claim against the address, against
  // everyone, and against the live code, which is revoked once it has had too many.
  claim(code, address) {
    const live = this.live();
    if (live && typeof code === 'string' && code === live.code) {
      this.current = null;
      return true;
    }
    const at = this.now();
    if (this.attempts.size > 1000) this.forgetOldAttempts();
    const mine = this.attempts.get(address);
    if (mine) mine.push(at);
    else this.attempts.set(address, [at]);
    this.allAttempts.push(at);
    if (live && ++live.wrongClaims >= WRONG_CLAIMS_PER_CODE) this.current = null;
    return false;
  }

  // Many addresses that each guessed once and went away are not kept for ever.
  forgetOldAttempts() {
    const cutoff = this.now() - ATTEMPT_WINDOW_MS;
    for (const [address, times] of this.attempts) {
      if (recent(times, cutoff).length === 0) this.attempts.delete(address);
    }
  }
}
