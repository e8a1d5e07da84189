// The built page served as any static web server serves it, on a free port of
// 127.0.0.1 (a secure context, as the browser's file-system access needs): with a
// Last-Modified of its files and no Cache-Control, which leaves the browser free to keep
// them a while. `changed` maps a file's name to the text served in its place, with the
// same date, as a page updated on the server by a copy that kept the files' times.
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, join } from 'node:path';

// As a web server says them: a service worker is taken only as JavaScript.
const kTypes = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
  '.webmanifest': 'application/manifest+json', '.svg': 'image/svg+xml', '.png': 'image/png' };

// A date long past: the browser's guess at a file's freshness grows with its age.
const kLastModified = 'Mon, 01 Jan 2024 00:00:00 GMT';

export async function servePage(folder, changed = new Map()) {
  const server = createServer((request, response) => {
    const name = new URL(request.url, 'http://x').pathname.slice(1) || 'index.html';
    try {
      const file = name.replace(/[^\w.-]/g, '');
      const bytes = changed.get(file) ?? readFileSync(join(folder, file));
      response.writeHead(200, { 'Content-Type': kTypes[extname(file)] ?? 'application/octet-stream',
        'Last-Modified': kLastModified });
      response.end(bytes);
    } catch {
      response.writeHead(404).end();
    }
  }).listen(0, '127.0.0.1');
  await new Promise((done) => server.once('listening', done));
  return { url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() };
}
