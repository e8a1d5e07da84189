// The built page served as any static web server serves it, on a free port of
// 127.0.0.1 (a secure context, as the browser's file-system access needs).
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { join } from 'node:path';

export async function servePage(folder) {
  const server = createServer((request, response) => {
    const name = new URL(request.url, 'http://x').pathname.slice(1) || 'index.html';
    try {
      response.end(readFileSync(join(folder, name.replace(/[^\w.-]/g, ''))));
    } catch {
      response.writeHead(404).end();
    }
  }).listen(0, '127.0.0.1');
  await new Promise((done) => server.once('listening', done));
  return { url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() };
}
