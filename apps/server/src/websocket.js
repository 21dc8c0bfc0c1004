// Device connections on /ws: just enough of RFC 6455 to accept a device, answer pings and notice when
// it goes away. The device proves itself with its token (?token=… or "Authorization: Bearer …").
import { createHash } from 'node:crypto';

const GUID = '258EAFA5-E914-47DA-95CA-C5AB0DC85B11';
const MAX_FRAME = 64 * 1024;

// One final, unmasked frame; a ping's payload (at most 125 bytes) is the largest the server echoes.
function frame(opcode, payload = Buffer.alloc(0)) {
  return Buffer.concat([Buffer.from([0x80 | opcode, payload.length]), payload]);
}

function refuse(socket, status, words) {
  socket.end(`HTTP/1.1 ${status}\r\nConnection: close\r\nContent-Type: text/plain\r\n\r\n${words}\n`);
}

export class DeviceConnections {
  constructor({ authenticate, onSeen, log }) {
    this.authenticate = authenticate; // token -> device or null
    this.onSeen = onSeen; // device id -> void
    this.log = log;
    this.sockets = new Map(); // socket -> device id
  }

  get count() {
    return this.sockets.size;
  }

  upgrade(request, socket, url) {
    const bearer = /^Bearer (.+)$/.exec(request.headers.authorization ?? '')?.[1];
    const device = this.authenticate(url.searchParams.get('token') ?? bearer ?? '');
    const key = request.headers['sec-websocket-key'];
    if (url.pathname !== '/ws') return refuse(socket, '404 Not Found', 'There is nothing at that address.');
    if (!key || (request.headers.upgrade ?? '').toLowerCase() !== 'websocket') {
      return refuse(socket, '400 Bad Request', 'This address only takes WebSocket connections.');
    }
    if (!device) return refuse(socket, '401 Unauthorized', 'That device key is not known here.');

    const accept = createHash('sha1').update(key + GUID).digest('base64');
    socket.write(
      'HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n' +
        `Sec-WebSocket-Accept: ${accept}\r\n\r\n`,
    );
    this.sockets.set(socket, device.id);
    this.onSeen(device.id);
    this.log(`device ${device.id} connected`);
    let pending = Buffer.alloc(0);
    socket.on('data', (chunk) => {
      pending = Buffer.concat([pending, chunk]);
      pending = this.consume(socket, device.id, pending);
    });
    const forget = () => {
      if (this.sockets.delete(socket)) this.log(`device ${device.id} disconnected`);
    };
    socket.on('close', forget);
    socket.on('error', forget);
  }

  // Handles every complete frame in `buffer` and returns what is left.
  consume(socket, deviceId, buffer) {
    while (buffer.length >= 2) {
      const opcode = buffer[0] & 0x0f;
      const masked = (buffer[1] & 0x80) !== 0;
      let length = buffer[1] & 0x7f;
      let offset = 2;
      if (length === 126) {
        if (buffer.length < 4) return buffer;
        length = buffer.readUInt16BE(2);
        offset = 4;
      } else if (length === 127) {
        socket.destroy(); // nothing a device sends is that large
        return Buffer.alloc(0);
      }
      // Devices must mask; control frames never carry more than 125 bytes.
      if (!masked || length > MAX_FRAME || (opcode >= 0x8 && length > 125)) {
        socket.destroy();
        return Buffer.alloc(0);
      }
      if (buffer.length < offset + 4 + length) return buffer;
      const mask = buffer.subarray(offset, offset + 4);
      const payload = Buffer.from(buffer.subarray(offset + 4, offset + 4 + length));
      for (let i = 0; i < payload.length; i++) payload[i] ^= mask[i % 4];
      buffer = buffer.subarray(offset + 4 + length);
      if (opcode === 0x8) {
        socket.end(frame(0x8, payload.subarray(0, 2)));
        return Buffer.alloc(0);
      }
      if (opcode === 0x9) socket.write(frame(0xa, payload));
      this.onSeen(deviceId);
    }
    return buffer;
  }

  // A revoked device stops counting at once, not when its side of the connection has closed.
  disconnect(deviceId) {
    for (const [socket, id] of this.sockets) {
      if (id !== deviceId) continue;
      this.sockets.delete(socket);
      socket.end(frame(0x8, Buffer.from([0x03, 0xe8])));
    }
  }

  closeAll() {
    for (const socket of this.sockets.keys()) socket.destroy();
    this.sockets.clear();
  }
}
