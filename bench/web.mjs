// The browser edition's figures in headless Chromium: the page's size, the time to
// a ready page, opening and committing a large save (the library's own work, as the
// page measures it, and the whole way from choosing the file to the shown save or
// the offered download), and the library's memory at its peak.
//   node bench/web.mjs PAGE_FOLDER SAVE [ROUNDS]     (see bench/web.sh)
import { readFileSync, statSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join, resolve } from 'node:path';
import { gzipSync } from 'node:zlib';
import { servePage } from '../web/tests/serve.mjs';

const require = createRequire(resolve('web/package.json'));
const { chromium } = require('playwright-core');
const [pageFolder, save] = process.argv.slice(2, 4).map((p) => resolve(p));
const rounds = Number(process.argv[4] ?? 5);
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor((xs.length - 1) / 2)];
const range = (xs) => `${Math.min(...xs).toFixed(0)}-${Math.max(...xs).toFixed(0)}`;

const script = readFileSync(join(pageFolder, 'quellhart.js'));
const wasmBase64 = /base64,([A-Za-z0-9+/=]+)/.exec(script.toString())[1];
const wasm = Buffer.from(wasmBase64, 'base64');
console.log(`| quellhart.js | ${(script.length / 1024).toFixed(0)} KiB, ${(gzipSync(script).length / 1024).toFixed(0)} KiB gzipped |`);
console.log(`| its WebAssembly | ${(wasm.length / 1024).toFixed(0)} KiB, ${(gzipSync(wasm).length / 1024).toFixed(0)} KiB gzipped |`);

const server = await servePage(pageFolder);
const { url } = server;

const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
const figures = { ready: [], open: [], openAll: [], commit: [], commitAll: [], memory: [] };
for (let round = 0; round < rounds; ++round) {
  const page = await browser.newPage({ acceptDownloads: true });
  let started = Date.now();
  await page.goto(url);
  await page.waitForSelector('body[data-ready="true"]');
  figures.ready.push(Date.now() - started);

  started = Date.now();
  await page.getByLabel('OpenFile').setInputFiles(save);
  await page.waitForFunction(() => performance.getEntriesByName('open save').length > 0);
  figures.openAll.push(Date.now() - started);
  await page.getByRole('group', { name: 'Player Data' }).getByLabel('Name', { exact: true }).fill('Benchmarked');
  await page.getByRole('button', { name: 'CommitChanges' }).click();
  const downloading = page.waitForEvent('download');
  started = Date.now();
  await page.getByRole('dialog', { name: 'Please Confirm' }).getByRole('button', { name: 'Yes' }).click();
  await (await downloading).path();
  figures.commitAll.push(Date.now() - started);
  const measured = await page.evaluate(() => ({
    open: performance.getEntriesByName('open save')[0].duration,
    commit: performance.getEntriesByName('commit')[0].duration,
    memory: window.quellhart.memoryBytes(),
  }));
  figures.open.push(measured.open);
  figures.commit.push(measured.commit);
  figures.memory.push(measured.memory / 1048576);
  await page.close();
}
await browser.close();
server.close();

const mib = (statSync(save).size / 1048576).toFixed(0);
const row = (what, xs, unit) => console.log(`| ${what} | ${median(xs).toFixed(0)} ${unit} (${range(xs)}) |`);
row('page ready (served, from navigation)', figures.ready, 'ms');
row(`open a ${mib} MiB save: the library`, figures.open, 'ms');
row(`open a ${mib} MiB save: choosing to shown`, figures.openAll, 'ms');
row(`commit it: the library`, figures.commit, 'ms');
row(`commit it: "Yes" to the download saved`, figures.commitAll, 'ms');
row('the library\'s memory at its peak', figures.memory, 'MiB');
