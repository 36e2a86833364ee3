// What the page's browser test and the screenshot tour share: a running
// `lintaro-cli serve`, the command line's own answers for comparison,
// Debian's Chromium driven by playwright-core, and axe-core.
import { spawn, execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, writeFileSync, existsSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, dirname } from 'node:path';
import { fileURLToPath } from 'node:url';
import { createRequire } from 'node:module';

const here = dirname(fileURLToPath(import.meta.url));
export const sourceDir = join(here, '..', '..');
export const buildDir = process.env.LINTARO_BUILD_DIR || join(sourceDir, 'build');
export const cli = process.env.LINTARO_CLI || join(buildDir, 'lintaro-cli');
export const gen = process.env.LINTARO_GEN || join(buildDir, 'gen_submission');
export const chromiumPath = process.env.LINTARO_CHROMIUM || '/usr/bin/chromium';

// Fails at once, with what to do, when something the test needs is missing.
export function requireTools() {
  const missing = [];
  if (!existsSync(join(here, 'node_modules', 'playwright-core'))) {
    missing.push('tests/web/node_modules (run: npm ci --prefix tests/web)');
  }
  if (!existsSync(chromiumPath)) missing.push(`${chromiumPath} (apt-get install chromium)`);
  if (!existsSync(cli)) missing.push(`${cli} (build first)`);
  if (missing.length) {
    console.error(`web test: missing ${missing.join('; ')}`);
    process.exit(2);
  }
}

// Folders made here hold results of test submissions: they go when the
// process ends, also when a signal (a timeout, Ctrl+C) ends it early.
const madeDirs = new Set();
function removeMadeDirs() {
  for (const dir of madeDirs) rmSync(dir, { recursive: true, force: true });
  madeDirs.clear();
}
process.on('exit', removeMadeDirs);
for (const [signal, number] of [['SIGINT', 2], ['SIGTERM', 15], ['SIGHUP', 1]]) {
  process.on(signal, () => {
    removeMadeDirs();
    process.exit(128 + number);
  });
}

export function tempDir(name) {
  const dir = mkdtempSync(join(tmpdir(), `lintaro-web-${name}-`));
  madeDirs.add(dir);
  return dir;
}

// Starts `lintaro-cli serve` on a port the system picks; its first line on
// standard error names the port.
export function startService(dataDir, extra = []) {
  return new Promise((resolve, reject) => {
    const child = spawn(cli, ['serve', '--listen', '127.0.0.1:0', '--data', dataDir, '--quiet', ...extra],
      { stdio: ['ignore', 'ignore', 'pipe'] });
    let err = '';
    let found = false;
    child.stderr.on('data', (chunk) => {
      if (found) return;
      err += chunk.toString();
      const m = /serving on (http:\/\/127\.0\.0\.1:(\d+)\/)/.exec(err.split('\n')[0] || '');
      if (m) {
        found = true;
        resolve({ url: m[1], port: Number(m[2]), data: dataDir, child, stop: () => stopChild(child) });
      }
    });
    child.on('exit', (code) => {
      if (!found) reject(new Error(`lintaro-cli serve ended (${code}): ${err}`));
    });
  });
}

function stopChild(child) {
  return new Promise((resolve) => {
    if (child.exitCode !== null) return resolve();
    child.on('exit', () => resolve());
    child.kill('SIGTERM');
  });
}

// What lintaro-cli prints; its exit status 1 (errors found) is no failure.
export function runCli(args) {
  try {
    return execFileSync(cli, args, { maxBuffer: 1 << 28 });
  } catch (e) {
    if (e.status === 1 || e.status === 0) return e.stdout;
    throw new Error(`lintaro-cli ${args.join(' ')}: status ${e.status}: ${e.stderr}`);
  }
}

// The JSON report of the files, as the command line checks them.
export function cliJsonReport(files) {
  const home = tempDir('cli');
  try {
    runCli(['check', '--home', home, '--quiet', ...files]);
    return JSON.parse(runCli(['report', '--home', home, '--format', 'json']).toString());
  } finally {
    rmSync(home, { recursive: true, force: true });
  }
}

// Debian's Chromium, headless, with no download of a browser of its own.
export async function launchBrowser() {
  const { chromium } = await import('playwright-core');
  return chromium.launch({
    executablePath: chromiumPath,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage'],
  });
}

const require = createRequire(import.meta.url);
const axeSource = readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');

// axe-core's WCAG 2.1 A and AA rules over the page as it is now.
export async function axeViolations(page) {
  await page.evaluate(axeSource);
  const result = await page.evaluate(() => window.axe.run(document, {
    runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa'] },
  }));
  return result.violations.map((v) => `${v.id}: ${v.help} (${v.nodes.map((n) => n.target.join(' ')).join(', ')})`);
}

// Writes a submission made from a sample with texts put at positions of
// its records: edits = [{record, position, text}] (both from 1).
export function editedSubmission(sample, out, edits) {
  const bytes = Buffer.from(readFileSync(sample));
  const stride = recordStride(bytes);
  for (const { record, position, text } of edits) {
    Buffer.from(text, 'latin1').copy(bytes, (record - 1) * stride + position - 1);
  }
  writeFileSync(out, bytes);
  return out;
}

// The length of a record with its line end (CR LF, LF or none).
function recordStride(bytes) {
  if (bytes[1024] === 0x0d) return 1026;
  return bytes[1024] === 0x0a ? 1025 : 1024;
}

// The sample's records split into two files after record `after`.
export function splitSubmission(sample, dir, after) {
  const bytes = readFileSync(sample);
  const stride = recordStride(bytes);
  const first = join(dir, 'part-1.txt');
  const second = join(dir, 'part-2.txt');
  writeFileSync(first, bytes.subarray(0, after * stride));
  writeFileSync(second, bytes.subarray(after * stride));
  return [first, second];
}

// Chooses files for the check through the page's "Choose files" button.
export async function chooseFiles(page, files) {
  const [chooser] = await Promise.all([page.waitForEvent('filechooser'), page.click('#choose')]);
  await chooser.setFiles(files);
}

// Holds every check the page follows at a running state: its status and
// events are answered with these fields (records_tested, bytes_read,
// bytes_total, files), as a check part way through would answer them;
// once released() is true, the service answers again.
// Presses Start and returns the id the service gave the page's upload. (The
// newest check by its creation time is no answer: that time is in whole
// seconds, so a check of the test before may share it.)
export async function startAndTakeId(page) {
  const [answer] = await Promise.all([
    page.waitForResponse((r) => r.request().method() === 'POST' && /\/api\/v1\/checks\?/.test(r.url())),
    page.click('#start'),
  ]);
  return (await answer.json()).id;
}

export async function holdChecksRunning(page, fields, released = () => false) {
  await page.route(/\/api\/v1\/checks\/[^/]+(\/events)?$/, (route) => {
    if (route.request().method() !== 'GET' || released()) return route.continue();
    const events = route.request().url().endsWith('/events');
    const id = route.request().url().split('/')[6];
    const status = { id, state: 'running', queue_position: null, ...fields };
    return route.fulfill(events
      ? { status: 200, contentType: 'text/event-stream', body: `data: ${JSON.stringify(status)}\n\n` }
      : { status: 200, contentType: 'application/json', body: JSON.stringify(status) });
  });
}
