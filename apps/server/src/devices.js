// Device keys: a device holds the token; the server keeps only its digest.
import { createHash, randomBytes, timingSafeEqual } from 'node:crypto';

export function digest(token) {
  return createHash('sha256').update(token).digest('hex');
}

export function newDeviceKey() {
  return { token: randomBytes(32).toString('hex'), deviceId: randomBytes(8).toString('hex') };
}

export function findByToken(devices, token) {
  if (typeof token !== 'string' || token === '') return null;
  const wanted = Buffer.from(digest(token), 'hex');
  // Every stored digest is 64 hex digits (the state is repaired when loaded); one that is not can
  // never match, and is never compared.
  return (
    devices.find((device) => {
      const stored = Buffer.from(typeof device?.tokenDigest === 'string' ? device.tokenDigest : '', 'hex');
      return stored.length === wanted.length && timingSafeEqual(stored, wanted);
    }) ?? null
  );
}

export function publicDevice(device) {
  const shown = { id: device.id, name: device.name };
  if (device.lastSeenAt) shown.lastSeenAt = device.lastSeenAt;
  return shown;
}
