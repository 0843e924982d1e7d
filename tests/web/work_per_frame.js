// Measures the milliseconds of work per frame (the frame function, flip
// included, timed inside the page) of the browser edition in headless
// Chromium: the tilted view without rebuilds and the animated frame.
//   node work_per_frame.js WEB_BUILD_DIR [WIDTH HEIGHT]
'use strict';
const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const [webDir, W = '640', H = '480'] = process.argv.slice(2);
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

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

// Mean and median work of the frames shown over a few seconds.
async function sample(page, label) {
  await page.evaluate(() => { Module.workLog.length = 0; });
  await sleep(4000);
  const log = await page.evaluate(() => Module.workLog.slice());
  const sorted = log.slice().sort((a, b) => a - b);
  const mean = log.reduce((a, b) => a + b, 0) / log.length;
  console.log(`${label}: ${mean.toFixed(2)} ms mean, ${sorted[sorted.length >> 1].toFixed(2)} ms median ` +
              `of ${log.length} frames`);
}

async function main() {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'relvane-work-'));
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
    await page.goto(`http://127.0.0.1:${port}/index.html?-w${W}&-h${H}`);
    await page.waitForFunction(() => Module.workLog && Module.workLog.length > 3);
    await page.keyboard.press('x');
    await sleep(500);
    await sample(page, 'straight down (lit colour), no rebuild');
    // Three seconds of Down: the view at about 45 degrees.
    await page.keyboard.down('ArrowDown');
    await sleep(3000);
    await page.keyboard.up('ArrowDown');
    await sample(page, 'tilted view at about 45 degrees, no rebuild');
    await page.keyboard.press('Space');
    await sample(page, 'animated, tilted view');
    await page.keyboard.down('ArrowUp');
    await sleep(4000);
    await page.keyboard.up('ArrowUp');
    await sample(page, 'animated, straight down (lit colour)');
    await page.keyboard.press('Escape');
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
