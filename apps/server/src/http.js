// Small helpers for JSON over node:http.
export const MAX_BODY_BYTES = 64 * 1024;

export class HttpError extends Error {
  constructor(status, words) {
    super(words);
    this.status = status;
  }
}

// A reply already in JSON text, sent as it is.
export class JsonText {
  constructor(text) {
    this.text = text;
  }
}

export function sendJson(response, status, value) {
  const body = value instanceof JsonText ? value.text : JSON.stringify(value);
  response.writeHead(status, {
    'Content-Type': 'application/json; charset=utf-8',
    'Content-Length': Buffer.byteLength(body),
    'Cache-Control': 'no-store',
  });
  response.end(body);
}

// The request's JSON object body; an empty body is an empty object.
export function readJsonBody(request) {
  return new Promise((resolve, reject) => {
    const declared = Number(request.headers['content-length'] ?? 0);
    if (declared > MAX_BODY_BYTES) {
      reject(new HttpError(413, 'That request is too large.'));
      request.resume();
      return;
    }
    const chunks = [];
    let size = 0;
    let failed = false;
    request.on('data', (chunk) => {
      if (failed) return;
      size += chunk.length;
      if (size > MAX_BODY_BYTES) {
        failed = true;
        reject(new HttpError(413, 'That request is too large.'));
        return;
      }
      chunks.push(chunk);
    });
    request.on('error', () => {
      failed = true;
      reject(new HttpError(400, 'The request could not be read.'));
    });
    request.on('end', () => {
      if (failed) return;
      const text = Buffer.concat(chunks).toString('utf8');
      if (text.trim() === '') return resolve({});
      let value;
      try {
        value = JSON.parse(text);
      } catch {
        return reject(new HttpError(400, 'The request body is not valid JSON.'));
      }
      if (value === null || typeof value !== 'object' || Array.isArray(value)) {
        return reject(new HttpError(400, 'The request body must be a JSON object.'));
      }
      resolve(value);
    });
  });
}

export function requireText(body, key, words) {
  const value = body[key];
  if (typeof value !== 'string' || value.trim() === '') throw new HttpError(400, words);
  return value;
}
