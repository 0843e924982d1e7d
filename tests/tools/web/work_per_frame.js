// Measures the milliseconds of work per frame of the browser edition in
// headless Chromium: the tilted view without rebuilds and the animated
// frame. Two figures: the frame function's time inside the page (flip
// included), and the processor time of the page's main thread per frame,
// which other processes on the machine do not inflate.
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

// The stat files of the main threads of the renderers of the browser whose
// profile is in profileDir; the page's is the busiest of them.
function mainThreads(profileDir) {
  const files = [];
  for (const pid of fs.readdirSync('/proc').filter((p) => /^\d+$/.test(p))) {
    let cmd;
    try { cmd = fs.readFileSync(`/proc/${pid}/cmdline`, 'latin1'); } catch (e) { continue; }
    if (cmd.includes('--type=renderer') && cmd.includes(profileDir)) files.push(`/proc/${pid}/task/${pid}/stat`);
  }
  if (!files.length) throw new Error('no renderer found');
  return files;
}

// Processor time (ms) so far of each thread.
function cpuMs(files) {
  return files.map((f) => {
    const fields = fs.readFileSync(f, 'latin1').split(') ')[1].split(' ');
    return (+fields[11] + +fields[12]) * 1000 / 100;  // utime + stime in 1/100 s
  });
}

// Work per frame over a few seconds: the page's own timing (mean and
// median) and the main thread's processor time per frame.
async function sample(page, stat, label) {
  await page.evaluate(() => { Module.workLog.length = 0; });
  const cpu0 = cpuMs(stat);
  await sleep(5000);
  const cpu1 = cpuMs(stat);
  const log = await page.evaluate(() => Module.workLog.slice());
  const sorted = log.slice().sort((a, b) => a - b);
  const mean = log.reduce((a, b) => a + b, 0) / log.length;
  console.log(`${label}: ${mean.toFixed(2)} ms mean, ${sorted[sorted.length >> 1].toFixed(2)} ms median ` +
              `of ${log.length} frames; main thread ${(Math.max(...cpu1.map((t, i) => t - cpu0[i])) / log.length).toFixed(2)} ms processor time per frame`);
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
    const stat = mainThreads(path.join(work, 'profile'));
    await page.keyboard.press('x');
    await sleep(500);
    await sample(page, stat, 'straight down (lit colour), no rebuild');
    // Three seconds of Down: the view at about 45 degrees.
    await page.keyboard.down('ArrowDown');
    await sleep(3000);
    await page.keyboard.up('ArrowDown');
    await sample(page, stat, 'tilted view at about 45 degrees, no rebuild');
    await page.keyboard.press('Space');
    await sample(page, stat, 'animated, tilted view');
    await page.keyboard.down('ArrowUp');
    await sleep(4000);
    await page.keyboard.up('ArrowUp');
    await sample(page, stat, 'animated, straight down (lit colour)');
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
