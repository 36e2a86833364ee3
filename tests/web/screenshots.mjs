// The web page's pictures for scripts/screenshots: each state of the page
// (empty, files chosen, uploading, running, done with findings, the record
// view, done clean, an error message, the token asked for) at 1280x800,
// 1920x1080 and 390x844, and at 1280x800 and 390x844 in the dark scheme, as PNGs in
// OUT/web/SIZE[-dark]/.
//
//   node tests/web/screenshots.mjs OUT
import { mkdirSync, writeFileSync, rmSync } from 'node:fs';
import { join } from 'node:path';
import {
  requireTools, tempDir, startService, launchBrowser, sourceDir, chooseFiles, holdChecksRunning,
} from './support.mjs';

requireTools();
const out = join(process.argv[2] || 'screenshots', 'web');
const mistakes = join(sourceDir, 'samples', 'mistakes.txt');
const clean = join(sourceDir, 'samples', 'clean.txt');
const work = tempDir('shots');

async function tour(browser, service, name, viewport, colorScheme) {
  const dir = join(out, name);
  mkdirSync(dir, { recursive: true });
  const context = await browser.newContext({ viewport, colorScheme, acceptDownloads: false });
  const page = await context.newPage();
  const shot = (file, full = true) => page.screenshot({ path: join(dir, `${file}.png`), fullPage: full });
  await page.goto(service.url);
  await page.waitForSelector('body[data-ready="yes"]');
  await shot('01-empty');
  await chooseFiles(page, [mistakes, clean]);
  await shot('02-files-chosen');
  await page.click('button[aria-label="Remove clean.txt"]');

  const cdp = await context.newCDPSession(page);
  await cdp.send('Network.enable');
  await cdp.send('Network.emulateNetworkConditions',
    { offline: false, latency: 0, downloadThroughput: -1, uploadThroughput: 6 * 1024 });
  await page.click('#start');
  await page.waitForFunction(() => document.getElementById('progress-bar').value > 0);
  await shot('03-uploading', false);
  await page.waitForSelector('body[data-state="done"][data-outcome="findings"]', { timeout: 60000 });
  await cdp.send('Network.emulateNetworkConditions',
    { offline: false, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });
  await page.waitForSelector('#record-fields[data-record]');
  await shot('05-done-with-findings');
  await page.fill('#goto', '3');
  await page.press('#goto', 'Enter');
  await page.waitForSelector('#record-fields[data-record="3"]');
  await page.locator('#viewer-title').scrollIntoViewIfNeeded();
  await shot('06-record-view', false);

  // A check that runs, held there: its status and events answered for the
  // page as a check half way through would answer them.
  await holdChecksRunning(page, {
    records_tested: 41250, bytes_read: 42322500, bytes_total: 61560000, files: ['long-submission.txt'],
  });
  await chooseFiles(page, [mistakes]);
  await page.click('#start');
  await page.waitForFunction(() => document.body.dataset.state === 'running'
    && document.getElementById('progress-label').textContent === 'Checking'
    && document.getElementById('progress-bar').value > 0, null, { timeout: 60000 });
  await page.evaluate(() => window.scrollTo(0, 0));
  await shot('04-running', false);
  await page.click('#cancel');
  await page.waitForSelector('body:not([data-state="running"])');
  await page.unroute(/\/api\/v1\/checks\/[^/]+(\/events)?$/);
  await page.click('button[aria-label="Remove mistakes.txt"]');

  await chooseFiles(page, [clean]);
  await page.click('#start');
  await page.waitForSelector('body[data-state="done"][data-outcome="clean"]');
  await page.evaluate(() => window.scrollTo(0, 0));
  await shot('07-done-clean');
  await page.fill('#max-errors', '30000');
  await chooseFiles(page, [mistakes]);
  await page.click('#start');
  await page.waitForSelector('#message:not([hidden])');
  await page.evaluate(() => window.scrollTo(0, 0));
  await shot('08-error-message', false);
  await context.close();
}

async function tokenShot(browser, name, viewport, colorScheme) {
  const tokenFile = join(work, 'token');
  writeFileSync(tokenFile, 'a-token\n', { mode: 0o600 });
  const guarded = await startService(join(work, `guarded-${name}`), ['--token-file', tokenFile]);
  const context = await browser.newContext({ viewport, colorScheme });
  const page = await context.newPage();
  await page.goto(guarded.url);
  await page.waitForSelector('#token-dialog[open]');
  await page.screenshot({ path: join(out, name, '09-token-asked.png') });
  await context.close();
  await guarded.stop();
}

const service = await startService(join(work, 'data'));
const browser = await launchBrowser();
try {
  const sizes = [
    ['1280x800', { width: 1280, height: 800 }, 'light'],
    ['1920x1080', { width: 1920, height: 1080 }, 'light'],
    ['390x844', { width: 390, height: 844 }, 'light'],
    ['1280x800-dark', { width: 1280, height: 800 }, 'dark'],
    ['390x844-dark', { width: 390, height: 844 }, 'dark'],
  ];
  for (const [name, viewport, scheme] of sizes) {
    await tour(browser, service, name, viewport, scheme);
    await tokenShot(browser, name, viewport, scheme);
  }
} finally {
  await browser.close();
  await service.stop();
  rmSync(work, { recursive: true, force: true });
}
console.log(`web page pictures in ${out}`);
