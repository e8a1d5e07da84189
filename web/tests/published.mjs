// The page as published (built without the tests' hooks): it loads in Chromium with no
// error, and carries none of the hooks the tests drive the page by.
//   node web/tests/published.mjs PAGE_FOLDER
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const require = createRequire(resolve('web/package.json'));
const { chromium } = require('playwright-core');
const pageFolder = resolve(process.argv[2]);
const failures = [];
if (readFileSync(join(pageFolder, 'app.js'), 'utf8').includes('TEST HOOKS'))
  failures.push('the published app.js carries the test hooks');
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
try {
  const page = await browser.newPage();
  page.on('pageerror', (error) => failures.push(`page error: ${error.message}`));
  await page.goto(pathToFileURL(join(pageFolder, 'index.html')).href);
  await page.waitForSelector('body[data-ready="true"]', { timeout: 20000 });
  if (await page.evaluate(() => 'quellhart' in window)) failures.push('window.quellhart is there');
} finally {
  await browser.close();
}
for (const failure of failures) console.log(`FAILED: ${failure}`);
if (failures.length) process.exit(1);
console.log('the published page: ready, without the tests\' hooks');
