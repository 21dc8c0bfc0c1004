// The admin secret arrives as one JSON line on standard input, then end of file.
const SECRET_SHAPE = /^[0-9a-f]{64}$/;
const MAX_LINE = 4096;

export function parseSecretLine(line) {
  let value;
  try {
    value = JSON.parse(line);
  } catch {
    throw new Error('The admin secret line on standard input is not JSON.');
  }
  const secret = value?.adminSecret;
  if (typeof secret !== 'string' || !SECRET_SHAPE.test(secret)) {
    throw new Error('The admin secret line on standard input has no valid adminSecret.');
  }
  return secret;
}

// Reads the first line of `stream` within `timeoutMs`; rejects with words (never the line itself).
export function readSecret(stream, timeoutMs = 5000) {
  return new Promise((resolve, reject) => {
    let buffered = '';
    const finish = (error, secret) => {
      clearTimeout(timer);
      stream.removeListener('data', onData);
      stream.removeListener('end', onEnd);
      stream.removeListener('error', onEnd);
      stream.pause();
      if (error) reject(error);
      else resolve(secret);
    };
    const onData = (chunk) => {
      buffered += chunk;
      const newline = buffered.indexOf('\n');
      if (newline >= 0) {
        try {
          finish(null, parseSecretLine(buffered.slice(0, newline)));
        } catch (error) {
          finish(error);
        }
      } else if (buffered.length > MAX_LINE) {
        finish(new Error('The admin secret line on standard input is too long.'));
      }
    };
    const onEnd = () => finish(new Error('Standard input ended before the admin secret line arrived.'));
    const timer = setTimeout(
      () => finish(new Error(`No admin secret arrived on standard input within ${timeoutMs / 1000} seconds.`)),
      timeoutMs,
    );
    stream.setEncoding('utf8');
    stream.on('data', onData);
    stream.once('end', onEnd);
    stream.once('error', onEnd);
  });
}
