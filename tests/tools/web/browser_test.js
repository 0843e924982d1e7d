// Drives the browser edition in headless Chromium: after the opening move
// and in every display mode the canvas must equal, pixel for pixel, the
// frame the native build renders for the same state; holding Down tilts the
// view; Escape prints the frame rate and ends the program. Odd sizes in the
// query either run (a 0 side takes the canvas's) or show the program's own
// failure on the page; none throws.
//   node browser_test.js WEB_BUILD_DIR NATIVE_BUILD_DIR
'use strict';
const { spawn, execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const [webDir, nativeDir] = process.argv.slice(2);
const W = 320, H = 240;

function fail(message) {
  throw new Error(message);
}

// The RGB bytes of a binary PPM written by relvane-frame.
function readPpm(file) {
  const data = fs.readFileSync(file);
  const header = data.toString('latin1', 0, 64).match(/^P6\s+(\d+)\s+(\d+)\s+255\s/);
  if (!header || +header[1] !== W || +header[2] !== H) fail(`${file}: not a ${W}x${H} PPM`);
  return data.subarray(header[0].length).toString('base64');
}

// Serves dir on 127.0.0.1 at a free port; resolves to [server, port].
function serve(dir) {
  return new Promise((resolve, reject) => {
    const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', dir],
                         { stdio: ['ignore', 'pipe', 'ignore'] });
    let out = '';
    server.stdout.on('data', (chunk) => {
      out += chunk;
      const m = out.match(/port (\d+)/);
      if (m) resolve([server, +m[1]]);
    });
    server.on('exit', (code) => reject(new Error(`http.server exited with ${code}`)));
  });
}

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

async function waitFor(what, test, seconds = 20) {
  for (let i = 0; i < seconds * 10; i++) {
    if (await test()) return;
    await sleep(100);
  }
  fail(`timed out waiting for ${typeof what === 'function' ? what() : what}`);
}

// Number of canvas pixels whose RGB differs from the expected frame.
function differing(page, expected) {
  return page.evaluate((b64) => {
    const want = Uint8Array.from(atob(b64), (c) => c.charCodeAt(0));
    const c = document.getElementById('canvas');
    const got = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    if (c.width * c.height * 3 !== want.length) return -1;
    let n = 0;
    for (let i = 0, j = 0; j < want.length; i += 4, j += 3)
      if (got[i] !== want[j] || got[i + 1] !== want[j + 1] || got[i + 2] !== want[j + 2]) n++;
    return n;
  }, expected);
}

async function main() {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'relvane-web-'));
  const expected = [];
  for (let mode = 0; mode < 4; mode++) {
    const file = path.join(work, `expect${mode}.ppm`);
    execFileSync(path.join(nativeDir, 'tests', 'relvane-frame'), [W, H, mode, file].map(String));
    expected.push(readPpm(file));
  }
  const [server, port] = await serve(webDir);
  const browser = await puppeteer.launch({
    executablePath: process.env.RELVANE_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: path.join(work, 'profile'),
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'],
  });
  try {
    const page = await browser.newPage();
    const console_ = [];
    // The program's own lines; a page resource the browser asks for on its
    // own (the site icon) is not the program's.
    page.on('console', (m) => {
      if (m.type() === 'error' && /favicon\.ico$/.test((m.location() || {}).url || '')) return;
      console_.push(m.text());
    });
    page.on('pageerror', (e) => console_.push(`page error: ${e.message}`));
    await page.goto(`http://127.0.0.1:${port}/index.html?-w${W}&-h${H}`);
    await waitFor('the first frames', () => page.evaluate(() => Module.workLog && Module.workLog.length > 3));

    // step: sends the input, then waits until the canvas shows the mode.
    const step = async (mode, label, input) => {
      await input();
      let diff = -2;
      await waitFor(() => `${label} to show display mode ${mode} (${diff} pixels differ)`, async () => {
        diff = await differing(page, expected[mode]);
        return diff === 0;
      });
      console.log(`ok: ${label} shows display mode ${mode}`);
    };
    await step(0, 'a key ending the opening move', () => page.keyboard.press('x'));
    await step(1, 'F2', () => page.keyboard.press('F2'));
    await step(2, 'F3', () => page.keyboard.press('F3'));
    await step(3, 'F4', () => page.keyboard.press('F4'));
    await step(0, 'a click after F4', () => page.click('#canvas'));
    await step(1, 'a second click', () => page.click('#canvas'));
    // "*" (Shift and 8 on the main keyboard) doubles the band height, "/"
    // halves it back.
    await page.keyboard.down('Shift');
    await page.keyboard.press('Digit8');
    await page.keyboard.up('Shift');
    await waitFor('"*" to change the profiles', async () => (await differing(page, expected[1])) > 0);
    await step(1, '"/" after "*"', () => page.keyboard.press('/'));
    await step(0, 'F1', () => page.keyboard.press('F1'));

    // A second of Down lowers the view from straight down by about 15
    // degrees: the picture changes and sky shows above the far terrain.
    await page.keyboard.down('ArrowDown');
    await sleep(1000);
    await page.keyboard.up('ArrowDown');
    await sleep(300);
    const tilted = await page.evaluate(() => {
      const c = document.getElementById('canvas');
      const d = c.getContext('2d').getImageData(0, 0, c.width, 1).data;
      let sky = 0;
      for (let i = 0; i < d.length; i += 4) if (d[i] === 64 && d[i + 1] === 64 && d[i + 2] === 96) sky++;
      return sky;
    });
    if ((await differing(page, expected[0])) === 0 || tilted === 0) fail('holding Down did not tilt the view');
    console.log(`ok: holding Down tilts the view (${tilted} sky pixels in the top row)`);

    await page.keyboard.press('Escape');
    await waitFor('the end of the program', () =>
      page.evaluate(() => document.getElementById('status').textContent === 'Relvane Test has ended.'));
    const options = console_.slice(0, 2).join('|');
    if (options !== `Requested width ${W}.|Requested height ${H}.`) fail(`option messages: ${options}`);
    const status = await page.evaluate(() => Module.exitStatus);
    if (status !== 0) fail(`exit status ${status}`);
    const fps = console_.filter((l) => /^Average fps: [0-9]+\.[0-9]{6}$/.test(l));
    if (fps.length !== 1) fail(`fps line: ${JSON.stringify(console_)}`);
    const errors = console_.filter((l) => /error/i.test(l));
    if (errors.length) fail(`console: ${errors.join('\n')}`);
    console.log(`ok: Escape ends the program (${fps[0]})`);

    // Odd sizes: [query, the message the page must show, or null for a
    // program that runs on a canvas of some size].
    const oddSizes = [
      ['-w0', null], ['-h0', null], ['-w0&-h100', null], ['-w5&-h0', null], ['-w%zz', null], ['-w%00', null],
      ['-w0&-h0', null], ['-w-5', 'Failed to open screen!'], ['-w100000&-h100000', 'Failed to open screen!'],
      ['-w16384&-h16384', 'Failed to create engine objects!'],
    ];
    for (const [query, message] of oddSizes) {
      const odd = await browser.newPage();
      const errors = [];
      odd.on('pageerror', (e) => errors.push(e.message));
      await odd.goto(`http://127.0.0.1:${port}/index.html?${query}`);
      const state = () => odd.evaluate(() => ({
        frames: Module.workLog.length, status: Module.exitStatus, rate: document.getElementById('rate').textContent,
        w: document.getElementById('canvas').width, h: document.getElementById('canvas').height }));
      let s = {};
      await waitFor(() => `?${query} to run or fail (${JSON.stringify(s)}, ${errors})`, async () => {
        s = await state();
        return errors.length > 0 || (message ? s.status !== undefined && s.rate !== 'Starting\u2026' : s.frames > 0);
      });
      const ok = errors.length === 0 && (message ? s.status === 1 && s.rate === message : s.w > 0 && s.h > 0);
      if (!ok) fail(`?${query}: ${JSON.stringify(s)}, page errors ${JSON.stringify(errors)}`);
      console.log(`ok: ?${query} ${message ? `shows "${message}"` : `runs on a ${s.w} x ${s.h} canvas`}`);
      await odd.close();
    }
  } finally {
    await browser.close();
    server.kill();
    fs.rmSync(work, { recursive: true, force: true });
  }
}

main().catch((e) => {
  console.error(`FAIL: ${e.message}`);
  process.exit(1);
});
