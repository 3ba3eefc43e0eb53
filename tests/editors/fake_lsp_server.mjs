// Stands in for `scenario-tool lsp` in the client's test: answers the handshake and shutdown with
// Content-Length framed messages on standard output, and logs its arguments and every method it
// receives, one JSON line each, to the file named by FAKE_LSP_LOG.
import fs from 'node:fs';

const log = (entry) => fs.appendFileSync(process.env.FAKE_LSP_LOG, JSON.stringify(entry) + '\n');
log({ argv: process.argv.slice(2) });

const send = (message) => {
  const body = Buffer.from(JSON.stringify({ jsonrpc: '2.0', ...message }), 'utf8');
  process.stdout.write(`Content-Length: ${body.length}\r\n\r\n`);
  process.stdout.write(body);
};

let pending = Buffer.alloc(0);
process.stdin.on('data', (chunk) => {
  pending = Buffer.concat([pending, chunk]);
  for (;;) {
    const headerEnd = pending.indexOf('\r\n\r\n');
    if (headerEnd < 0) return;
    const length = Number(/Content-Length: (\d+)/i.exec(pending.subarray(0, headerEnd).toString())[1]);
    if (pending.length < headerEnd + 4 + length) return;
    const message = JSON.parse(pending.subarray(headerEnd + 4, headerEnd + 4 + length).toString('utf8'));
    pending = pending.subarray(headerEnd + 4 + length);
    log({ method: message.method, params: message.params });
    if (message.method === 'initialize') {
      send({ id: message.id, result: { capabilities: { textDocumentSync: 1 } } });
    } else if (message.method === 'shutdown') {
      send({ id: message.id, result: null });
    } else if (message.method === 'exit') {
      process.exit(0);
    }
  }
});
